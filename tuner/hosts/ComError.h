#pragma once

#include <windows.h>

#include <exception>

// Raised by every failing object-model call inside the installers; carries
// the failure code and the interface the call went through.
class ComError : public std::exception {
public:
    ComError(HRESULT result, const IID& iid) : result_(result), iid_(iid) {}

    HRESULT Result() const { return result_; }
    const IID& Iid() const { return iid_; }
    const char* what() const noexcept override { return "automation call failed"; }

private:
    HRESULT result_;
    IID iid_;
};
