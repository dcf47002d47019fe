#pragma once

#include <winerror.h>

#include <new>

// Runs the body of a COM method so that no C++ exception crosses the
// interface: running out of memory becomes E_OUTOFMEMORY, anything else
// E_UNEXPECTED.
template <typename Body>
HRESULT GuardComCall(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
