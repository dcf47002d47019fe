#pragma once

// Runs installers against stand-in Office applications reached the real way:
// created through COM by the ProgIDs the installers use, or found in the
// running-object table. The user's registry (HKEY_CURRENT_USER) is a scratch
// key for the test; class registrations go to the prefix and are removed.

#include "Automation.h"
#include "DispatchObject.h"
#include "OfficeObjects.h"
#include "StandInRegistration.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest();
    ~InstallerTest() override;

    // A new stand-in application; nobody can reach it until it is made
    // creatable or running.
    std::shared_ptr<standin::ApplicationState> NewApp(standin::HostKind host,
                                                     const char* version = "10.0");
    // Creating progId hands out `app` (the same state every time).
    void MakeCreatable(const std::string& progId, std::shared_ptr<standin::ApplicationState> app);
    // progId is registered, but creating it fails with `result`.
    void MakeCreatableFailing(const std::string& progId, HRESULT result);
    // `app` is in the running-object table until the test ends.
    void MakeRunning(const std::shared_ptr<standin::ApplicationState>& app);

    std::vector<std::string> Calls() const { return journal_->CallStrings(); }
    // The calls as one text, one per line, for readable failure messages.
    std::string CallText() const;
    // Stand-in objects still alive beyond those the test itself holds, and
    // references to running applications beyond those held when they were
    // made running.
    long LeakedObjects() const;

    ScratchRegistry registry_{ScratchRegistry::kCurrentUser};
    std::shared_ptr<standin::Journal> journal_ = std::make_shared<standin::Journal>();

private:
    std::vector<std::unique_ptr<standin::CreatableClass>> classes_;
    std::vector<ComPtr<IDispatch>> runningObjects_;
    std::vector<std::unique_ptr<standin::RunningObject>> running_;
    std::vector<ULONG> runningReferences_;  // each running object's count once registered
    long liveAtStart_ = 0;
};
