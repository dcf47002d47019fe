#include "SessionApplyLock.h"

SessionApplyLock::SessionApplyLock()
    : mutex_(CreateMutexA(nullptr, FALSE, kSessionApplyLockName))
{
    if (!mutex_)
        return;
    switch (WaitForSingleObject(mutex_.Get(), 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder ended without letting go
        owned_ = true;
        break;
    case WAIT_TIMEOUT:
        busy_ = true;
        break;
    default:
        break;
    }
}

SessionApplyLock::~SessionApplyLock()
{
    if (owned_)
        ReleaseMutex(mutex_.Get());
}
