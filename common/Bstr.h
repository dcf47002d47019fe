#pragma once

#include <oleauto.h>

#include <string>
#include <utility>

// Owns one BSTR and frees it on every path. A null Bstr is the absent string;
// an allocation that fails also leaves it null, so callers test it after
// building one from text.
class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(const std::wstring& text) noexcept
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
    }
    ~Bstr() { SysFreeString(text_); }

    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.text_, nullptr));
        return *this;
    }

    BSTR Get() const noexcept { return text_; }
    explicit operator bool() const noexcept { return text_ != nullptr; }

    // Frees what is held and hands out the slot for an out parameter.
    BSTR* Put() noexcept
    {
        Reset();
        return &text_;
    }

    void Reset(BSTR text = nullptr) noexcept { SysFreeString(std::exchange(text_, text)); }

    // Gives up ownership, e.g. to return the string through an out parameter.
    BSTR Detach() noexcept { return std::exchange(text_, nullptr); }

private:
    BSTR text_ = nullptr;
};
