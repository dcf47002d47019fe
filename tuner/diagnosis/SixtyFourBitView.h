#pragma once

// This program is 32-bit. On 64-bit Windows the files that the 64-bit
// registry view names are loaded by 64-bit processes, which see two things
// otherwise than this one: their environment (%ProgramFiles% is
// "C:\Program Files", not "C:\Program Files (x86)") and their file names
// (System32 is the 64-bit system folder; to a 32-bit process WOW64 shows
// SysWOW64 under that name).

#include <windows.h>

#include <string>

// The text with its environment variables expanded as a 64-bit process
// expands them: ProgramFiles, CommonProgramFiles and PROCESSOR_ARCHITECTURE
// take the values WOW64 keeps for 64-bit processes (ProgramW6432,
// CommonProgramW6432, PROCESSOR_ARCHITEW6432) where it keeps them. A name
// that is not set stays as it stands, with its percent signs.
std::string ExpandAs64BitProcess(const std::string& text);

// While it lives, file names on the calling thread mean what they mean to a
// 64-bit process: WOW64's file-system redirection is off, and back on when it
// ends. Keep it to the few calls that need it (a library the thread loads
// meanwhile would be looked for among the 64-bit ones). Where there is no
// redirection (32-bit Windows, a 64-bit process) it does nothing; the
// functions are found at run time, since 32-bit Windows XP lacks them.
class SixtyFourBitFileNames {
public:
    SixtyFourBitFileNames() noexcept;
    ~SixtyFourBitFileNames();
    SixtyFourBitFileNames(const SixtyFourBitFileNames&) = delete;
    SixtyFourBitFileNames& operator=(const SixtyFourBitFileNames&) = delete;

private:
    void* previous_ = nullptr;
    bool switchedOff_ = false;
};

// Runs `look` (a look at a registered file) with file names as the file's
// loaders see them: those of the 64-bit registry view (KEY_WOW64_64KEY) are
// 64-bit processes. Load no library inside it.
template <typename Look>
auto LookAsItsLoadersDo(REGSAM view, Look look)
{
    if (view != KEY_WOW64_64KEY)
        return look();
    const SixtyFourBitFileNames sixtyFourBit;
    return look();
}
