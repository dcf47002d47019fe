#include "StandInFixture.h"

#include "OfficeInterfaces.h"

AutomationObject StandInTest::NewBar(const std::string& name)
{
    const auto bar = app_->commandBars->AddToolbar(name);
    return AutomationObject(standin::MakeCommandBar(journal_, app_->commandBars, bar),
                            office::IID_CommandBar);
}
