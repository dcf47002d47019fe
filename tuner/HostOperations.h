#pragma once

// What applying a changed box of the setup dialog does to a host: its
// installer, and the host lock taken before an add-in is switched off. The
// apply flow works only through this; the production operations are the
// host's installer and AcquireHostLock.

#include "HostLock.h"
#include "OfficeHost.h"

class HostOperations {
public:
    virtual int Install(const OfficeHost& host, bool enable) = 0;
    virtual HostLock AcquireLock(const OfficeHost& host) = 0;

protected:
    ~HostOperations() = default;
};

HostOperations& ProductionHostOperations();
