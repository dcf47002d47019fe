#pragma once

#include <unknwn.h>

#include <utility>

// Owns one reference to a COM interface and releases it on every path. Movable,
// not copyable: a second owner takes its own reference explicitly (Share).
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Adopts a reference the caller already holds.
    explicit ComPtr(T* pointer) noexcept : pointer_(pointer) {}
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }

    // A new owner of the same object, with a reference of its own.
    static ComPtr Share(T* pointer) noexcept
    {
        if (pointer)
            pointer->AddRef();
        return ComPtr(pointer);
    }

    T* Get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // Releases what is held and hands out the slot for an out parameter.
    T** Put() noexcept
    {
        Reset();
        return &pointer_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    void Reset(T* pointer = nullptr) noexcept
    {
        T* old = std::exchange(pointer_, pointer);
        if (old)
            old->Release();
    }

    // Gives up ownership without releasing.
    T* Detach() noexcept { return std::exchange(pointer_, nullptr); }

    // QueryInterface into another owner; a null pointer gives E_POINTER.
    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& other) const noexcept
    {
        if (!pointer_) {
            other.Reset();
            return E_POINTER;
        }
        return pointer_->QueryInterface(iid, other.PutVoid());
    }

private:
    T* pointer_ = nullptr;
};
