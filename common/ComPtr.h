#pragma once

#include <unknwn.h>

#include <cstddef>
#include <utility>

// Owns one counted reference to a COM interface: released exactly once, on
// every path. Copies add a reference; moves hand it over.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr& other) : p_(other.p_)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* p)
    {
        ComPtr result;
        result.p_ = p;
        return result;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* p)
    {
        if (p)
            p->AddRef();
        return Adopt(p);
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases what is held first.
    T** Receive()
    {
        Reset();
        return &p_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }

    // QueryInterface into another owner; the result of the query is returned.
    template <typename U>
    HRESULT QueryInto(REFIID iid, ComPtr<U>& out) const
    {
        if (!p_) {
            out.Reset();
            return E_POINTER;
        }
        return p_->QueryInterface(iid, out.ReceiveVoid());
    }

private:
    T* p_ = nullptr;
};
