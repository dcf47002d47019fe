#pragma once

#include "UniqueHandle.h"

#include <windows.h>

// An unnamed event that wakes waiters when set: manual reset stays set until
// cleared, automatic reset wakes one waiter and clears itself. Creating it
// may fail (Ready is then false, and it never waits).
class Event {
public:
    enum class Reset { Manual, Automatic };

    explicit Event(Reset reset) noexcept
        : handle_(CreateEventA(nullptr, reset == Reset::Manual, FALSE, nullptr))
    {
    }

    bool Ready() const noexcept { return static_cast<bool>(handle_); }
    HANDLE Get() const noexcept { return handle_.Get(); }

    void Set() const noexcept { SetEvent(handle_.Get()); }
    void Clear() const noexcept { ResetEvent(handle_.Get()); }

    // True when the event was set within timeoutMs (INFINITE waits for good).
    bool Wait(DWORD timeoutMs) const noexcept
    {
        return handle_ && WaitForSingleObject(handle_.Get(), timeoutMs) == WAIT_OBJECT_0;
    }

private:
    KernelHandle handle_;
};
