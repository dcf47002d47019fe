#pragma once

// Runs the setup dialog on the test's thread while a second thread plays the
// user. The registry is a scratch hive; installers are recorded, host locks
// are the real ones over semaphores the test holds for the add-ins.

#include "AddinSemaphore.h"
#include "ScratchRegistry.h"
#include "SetupDialogWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct BoxState {
    bool enabled = false;
    bool checked = false;
    bool visible = false;
    RECT rect = {};  // in the dialog's client coordinates
};

BoxState ReadBox(HWND dialog, int id);

class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest();

    // Registry states the dialog reads.
    void Install(HostId host);
    void EnableAddin(HostId host);
    void EnableOldAddin(HostId host);
    void Offer(const char* code, const char* value);  // "1" hides the host
    void FrontPageGate(const char* value);            // "1" forbids switching FrontPage
    void HoldSemaphore(HostId host, LONG free);

    // Shows the dialog; `user` acts on it from another thread and must end it.
    // Returns the dialog's end code.
    INT_PTR RunDialog(const std::function<void(HWND dialog)>& user);

    // The apply's installs go to `install_`; host locks are the real ones.
    class RecordingOperations final : public HostOperations {
    public:
        explicit RecordingOperations(SetupDialogTest& test) : test_(test) {}
        int Install(const OfficeHost& host, bool enable) override;
        HostLock AcquireLock(const OfficeHost& host) override;

    private:
        SetupDialogTest& test_;
    };

    // The real installers and locks instead.
    void UseProductionOperations() { operations_ = &ProductionHostOperations(); }

    ScratchRegistry registry_;
    std::function<int(const OfficeHost& host, bool enable)> install_;
    RecordingOperations recording_{*this};
    HostOperations* operations_ = &recording_;
    // "Word off (locked)", "PowerPoint on", ... in call order.
    std::vector<std::string> installs_;
    std::map<HostId, std::unique_ptr<AddinSemaphore>> semaphores_;
};
