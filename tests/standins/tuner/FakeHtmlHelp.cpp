// A stand-in for the HTML Help engine: its narrow-text entry (exported by
// ordinal 14, as hhctrl.ocx does) appends each request to the file named by
// the environment variable QUILLBAR_TEST_HELP_LOG, one line per request:
// "<file>|<command>|<data>".

#include <windows.h>

#include <cstdio>

extern "C" HWND WINAPI FakeHtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR data)
{
    char log[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("QUILLBAR_TEST_HELP_LOG", log, sizeof log))
        return nullptr;
    if (FILE* out = std::fopen(log, "ab")) {
        std::fprintf(out, "%s|%u|%lu\n", file ? file : "(null)", command,
                     static_cast<unsigned long>(data));
        std::fclose(out);
    }
    return nullptr;
}
