#pragma once

// The add-in's side of the host lock: it creates its host's semaphore with
// 100 counts and holds some of them while it works.

#include <windows.h>

#include <string>

class AddinSemaphore {
public:
    // Any program may open it with every right.
    static constexpr DWORD kAnyAccess = SEMAPHORE_ALL_ACCESS;

    // "Quillbar.Global.Semaphore.<shortName>" with `free` of its 100 counts
    // free. Others opening it get no more than `access` (0: nothing), as
    // with a semaphore made by an Office that runs with other rights.
    AddinSemaphore(const std::string& shortName, LONG free, DWORD access = kAnyAccess);
    ~AddinSemaphore();
    AddinSemaphore(const AddinSemaphore&) = delete;
    AddinSemaphore& operator=(const AddinSemaphore&) = delete;

    LONG Free() const;  // read without taking any
    void Release(LONG counts) const;

private:
    HANDLE handle_;
};
