#pragma once

// Runs the real qbsetup.exe in the test prefix. The registry states it reads
// (Office installations, add-in records, the tuner's settings) go to the
// prefix's real keys, since qbsetup runs in processes of its own; the fixture
// removes them, and qbsetup's own registration, when the test ends.

#include "OfficeHost.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <string>

class QbsetupTest : public ::testing::Test {
protected:
    QbsetupTest();
    ~QbsetupTest() override;

    static std::string QbsetupPath();
    // Runs qbsetup.exe with the arguments and waits for its end.
    static ProgramRun Qbsetup(const std::string& arguments);

    // The host as installed in that Office version and started once.
    static void InstallHost(HostId host, OfficeVersion version);
    // The add-in's record, as switching it on writes it.
    static void EnableAddin(HostId host);
    static bool AddinRecordExists(HostId host);

private:
    static void RemoveTestState();
};
