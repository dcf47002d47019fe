#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <process.h>

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

// A thread of our own that runs one function and is joined when its owner
// ends (or left to run on, Detach). Started through the C runtime
// (_beginthreadex), so that the function may use all of it. Starting never
// throws: Start answers false when the thread or its memory cannot be had.
// An exception that leaves the function ends only the function.
class Thread {
public:
    Thread() noexcept = default;
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    Thread(Thread&& other) noexcept : handle_(std::move(other.handle_)) {}
    Thread& operator=(Thread&& other) noexcept
    {
        if (this != &other) {
            Join();
            handle_ = std::move(other.handle_);
        }
        return *this;
    }

    // Runs `work` (a copy of it) on a new thread, after joining the one this
    // owner held.
    template <typename Work>
    bool Start(Work&& work) noexcept
    {
        Join();
        using Task = std::decay_t<Work>;
        Task* task = nullptr;
        try {
            task = new Task(std::forward<Work>(work));
        } catch (...) {
            return false;
        }
        const uintptr_t started = _beginthreadex(nullptr, 0, &Run<Task>, task, 0, nullptr);
        if (!started) {
            delete task;
            return false;
        }
        handle_.Reset(reinterpret_cast<HANDLE>(started));
        return true;
    }

    bool Running() const noexcept { return static_cast<bool>(handle_); }

    // True once the thread has ended (or when none is held), within timeoutMs.
    bool Wait(DWORD timeoutMs) const noexcept
    {
        return !handle_ || WaitForSingleObject(handle_.Get(), timeoutMs) == WAIT_OBJECT_0;
    }

    // Waits for the thread's end.
    void Join() noexcept
    {
        Wait(INFINITE);
        handle_.Reset();
    }

    // Lets the thread run on by itself; it ends with its function or with
    // the process.
    void Detach() noexcept { handle_.Reset(); }

private:
    template <typename Task>
    static unsigned __stdcall Run(void* argument)
    {
        const std::unique_ptr<Task> task(static_cast<Task*>(argument));
        try {
            (*task)();
        } catch (...) {
        }
        return 0;
    }

    KernelHandle handle_;
};
