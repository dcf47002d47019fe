#pragma once

// The add-in's side of the host lock: it creates its host's semaphore with
// 100 counts and holds some of them while it works.

#include <windows.h>

#include <string>

class AddinSemaphore {
public:
    // "Quillbar.Global.Semaphore.<shortName>" with `free` of its 100 counts free.
    AddinSemaphore(const std::string& shortName, LONG free);
    ~AddinSemaphore();
    AddinSemaphore(const AddinSemaphore&) = delete;
    AddinSemaphore& operator=(const AddinSemaphore&) = delete;

    LONG Free() const;  // read without taking any
    void Release(LONG counts) const;

private:
    HANDLE handle_;
};
