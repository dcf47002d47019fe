#include "ComObject.h"

#include <gtest/gtest.h>

namespace {

struct CountingModuleLock {
    static inline int count = 0;
    static void Lock() { ++count; }
    static void Unlock() { --count; }
};

// A member that notes the module's lock count when it is destroyed.
struct LockWitness {
    static inline int countAtDestruction = -1;
    ~LockWitness() { countAtDestruction = CountingModuleLock::count; }
};

class Witnessed : public IUnknown {
public:
    static const InterfaceEntry<Witnessed> kInterfaces[];

protected:
    Witnessed() = default;
    virtual ~Witnessed() = default;

private:
    LockWitness witness_;
};

const InterfaceEntry<Witnessed> Witnessed::kInterfaces[] = {{nullptr, nullptr}};

// A module may unload as soon as its count is 0: the object's destructors
// must have run by then.
TEST(ComObject, HoldsTheModuleLockUntilItsMembersAreDestroyed)
{
    IUnknown* object = (new ComObject<Witnessed, CountingModuleLock>(nullptr))->Inner();
    EXPECT_EQ(CountingModuleLock::count, 1);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(LockWitness::countAtDestruction, 1);
    EXPECT_EQ(CountingModuleLock::count, 0);
}

}  // namespace
