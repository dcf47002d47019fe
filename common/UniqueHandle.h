#pragma once

#include <windows.h>

#include <utility>

// Owns one platform handle and closes it on every path; Traits says which
// value means "none" and how the handle is closed.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

    void Reset(Handle handle = Traits::None()) noexcept
    {
        Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old))
            Traits::Close(old);
    }

    // Gives up ownership without closing.
    Handle Release() noexcept { return std::exchange(handle_, Traits::None()); }

private:
    Handle handle_ = Traits::None();
};

// FindFirstFile's search handle.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle handle) noexcept { return handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { FindClose(handle); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

// Kernel objects closed with CloseHandle (processes, threads, files, events,
// semaphores). Both null and INVALID_HANDLE_VALUE mean none, as the creating
// functions disagree on which they return.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept
    {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Close(Handle handle) noexcept { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// A module loaded with LoadLibrary.
struct LibraryHandleTraits {
    using Handle = HMODULE;
    static Handle None() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept { return handle != nullptr; }
    static void Close(Handle handle) noexcept { FreeLibrary(handle); }
};
using LibraryHandle = UniqueHandle<LibraryHandleTraits>;
