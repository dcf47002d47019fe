#include "HostOperations.h"

namespace {

class Production final : public HostOperations {
public:
    int Install(const OfficeHost& host, bool enable) override { return host.install(enable); }
    HostLock AcquireLock(const OfficeHost& host) override
    {
        return AcquireHostLock(host.officeKey, host.displayName);
    }
};

Production production;

}  // namespace

HostOperations& ProductionHostOperations()
{
    return production;
}
