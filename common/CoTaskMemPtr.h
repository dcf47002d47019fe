#pragma once

#include <objbase.h>

#include <memory>

// Owns memory the COM task allocator handed out (StringFromCLSID and the like).
struct CoTaskMemFreer {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};

template <typename T>
using CoTaskMemPtr = std::unique_ptr<T, CoTaskMemFreer>;
