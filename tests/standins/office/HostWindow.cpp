#include "HostWindow.h"

namespace standin {

HostWindow::HostWindow(const std::string& className, const std::string& title, bool shown)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return;
    window_ = CreateWindowExA(0, className.c_str(), title.c_str(),
                              WS_OVERLAPPEDWINDOW | (shown ? WS_VISIBLE : 0), 40, 40, 320,
                              200, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    PumpMessages();
}

HostWindow::~HostWindow()
{
    if (window_)
        DestroyWindow(window_);
    PumpMessages();
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace standin
