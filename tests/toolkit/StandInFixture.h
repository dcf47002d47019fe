#pragma once

// A stand-in Office application with its journal, for tests that drive the
// toolkit against it.

#include "Automation.h"
#include "DispatchObject.h"
#include "OfficeObjects.h"

#include <gtest/gtest.h>

#include <memory>

class StandInTest : public ::testing::Test {
protected:
    StandInTest() { ClearDispatchIdCache(); }

    // A new command bar of the application, seen through the CommandBar interface.
    AutomationObject NewBar(const std::string& name);

    std::shared_ptr<standin::Journal> journal_ = std::make_shared<standin::Journal>();
    std::shared_ptr<standin::ApplicationState> app_ =
        std::make_shared<standin::ApplicationState>(standin::HostKind::PowerPoint);
};
