#pragma once

// The Office hosts of one measured run: stand-in applications that the
// installers reach the real way (the running-object table, or COM creation
// by the ProgIDs they try), all recording into one journal. Everything is
// unregistered when this goes.

#include "DispatchObject.h"
#include "OfficeHost.h"
#include "OfficeObjects.h"
#include "StandInRegistration.h"

#include <memory>
#include <vector>

namespace bench {

// How the installer finds its host: already running (for PowerPoint and
// FrontPage, which are always created by ProgID, a visible instance that
// creation attaches to), started by the installer's own creation, or
// neither (Excel, which is never started).
enum class Reach { Running, Started, Absent };

class StandInOffice {
public:
    StandInOffice();
    ~StandInOffice();
    StandInOffice(const StandInOffice&) = delete;
    StandInOffice& operator=(const StandInOffice&) = delete;

    // The host as a user has it before switching its add-in: the add-in
    // known to its COM add-in collection; before a switch-off, Word lists
    // the add-in's template, and PowerPoint and FrontPage show the menu and
    // toolbar a switch-on built. Returns false when it cannot be arranged.
    bool Arrange(HostId host, Reach reach, bool switchingOn);

    const standin::Journal& journal() const { return *journal_; }

private:
    bool MakeRunning(const std::shared_ptr<standin::ApplicationState>& app);
    bool MakeCreatable(const char* progId, std::shared_ptr<standin::ApplicationState> app);

    std::shared_ptr<standin::Journal> journal_ = std::make_shared<standin::Journal>();
    std::vector<std::shared_ptr<standin::ApplicationState>> apps_;
    std::vector<std::unique_ptr<standin::CreatableClass>> classes_;
    std::vector<ComPtr<IDispatch>> runningObjects_;
    std::vector<std::unique_ptr<standin::RunningObject>> running_;  // revoked first
};

}  // namespace bench
