// desktop_keeper.exe: keeps a Wine desktop open for a whole test run.
//
// Wine closes a desktop a second after the last program using it has ended,
// and ends its desktop process (explorer.exe) with it; the next program
// starts that again. Between one test's process and the next that costs more
// than most tests themselves, several times more where 32-bit programs run
// under emulation. This program uses the desktop (a message-only window) and
// waits until the run's wineserver ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const HWND window = CreateWindowExA(0, "STATIC", "desktop keeper", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, nullptr, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    DestroyWindow(window);
    return 0;
}
