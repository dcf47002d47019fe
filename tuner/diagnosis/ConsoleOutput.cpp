#include "ConsoleOutput.h"

#include <algorithm>
#include <vector>

bool WriteOutput(const std::wstring& text, UINT fileCodePage)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        // A console takes at most some kilobytes per call.
        constexpr std::size_t kChunk = 8192;
        for (std::size_t at = 0; at < text.size(); at += kChunk) {
            const DWORD length = static_cast<DWORD>(std::min(kChunk, text.size() - at));
            DWORD written = 0;
            if (!WriteConsoleW(output, text.data() + at, length, &written, nullptr) ||
                written != length)
                return false;
        }
        return true;
    }
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(fileCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    WideCharToMultiByte(fileCodePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    return WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
