#include "ApplyFlow.h"

#include "ClipboardScope.h"
#include "HostDetection.h"
#include "OldGeneration.h"
#include "ResourceString.h"
#include "SessionApplyLock.h"
#include "TunerResources.h"

#include <string>
#include <vector>

namespace {

std::string LoadText(UINT id)
{
    return LoadResourceString(GetModuleHandleA(nullptr), id);
}

struct HostChange {
    const OfficeHost* host;
    bool was;
    bool want;
    bool changed() const { return was != want; }
};

// A host that is not installed counts as off both ways, whatever its box.
std::vector<HostChange> ReadChanges(const ApplyWindow& window)
{
    std::vector<HostChange> changes;
    for (const OfficeHost& host : kOfficeHosts) {
        const bool installed = IsHostInstalled(host);
        changes.push_back({&host, installed && IsAddinEnabled(host.officeKey, host.addinProgId),
                           installed && window.Wants(host)});
    }
    return changes;
}

bool ClipboardHoldsData(HWND window)
{
    const ClipboardScope clipboard(window);
    return clipboard.IsOpen() && EnumClipboardFormats(0) != 0;
}

// Empties the clipboard; nothing when someone else holds it.
void ClearClipboard(HWND window)
{
    const ClipboardScope clipboard(window);
    if (clipboard.IsOpen())
        EmptyClipboard();
}

bool UserKeepsClipboard(HWND window)
{
    return MessageBoxA(window, LoadText(IDS_CLIPBOARD_WARNING).c_str(),
                       LoadText(IDS_MESSAGE_CAPTION).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDNO;
}

}  // namespace

ApplyOutcome ApplyFlow::Apply(ApplyWindow& window)
{
    if (stage_ != Stage::Ready)
        return ApplyOutcome::Ignored;
    // Another process applies: as with a second OK, nothing happens.
    const SessionApplyLock applying;
    if (!applying.Taken())
        return ApplyOutcome::Ignored;
    stage_ = Stage::Asking;
    cancelled_ = false;
    ApplyOutcome outcome = ApplyOutcome::Done;
    try {
        outcome = AskThenWork(window);
    } catch (...) {
        stage_ = Stage::Finished;
        throw;
    }
    stage_ = outcome == ApplyOutcome::StayOpen ? Stage::Ready : Stage::Finished;
    return outcome;
}

bool ApplyFlow::Cancel()
{
    // Once working there is no way back; once finished the dialog closes anyway.
    if (stage_ == Stage::Working || stage_ == Stage::Finished)
        return false;
    cancelled_ = true;
    return true;
}

ApplyOutcome ApplyFlow::AskThenWork(ApplyWindow& window)
{
    // The previous generation first.
    const OldVersion oldVersion = AskAboutOldVersion();
    if (cancelled_)
        return ApplyOutcome::Cancelled;
    if (oldVersion == OldVersion::Refused)
        return ApplyOutcome::Done;
    if (oldVersion == OldVersion::Agreed) {
        DeactivateOldVersion();
        if (cancelled_)
            return ApplyOutcome::Cancelled;
    }

    // Building command bars destroys the clipboard's content: ask first.
    const HWND dialog = window.Handle();
    const std::vector<HostChange> changes = ReadChanges(window);
    bool clipboardAtStake = false;
    for (const HostChange& change : changes)
        clipboardAtStake |= change.changed() && change.host->touchesClipboard;
    if (clipboardAtStake) {
        if (ClipboardHoldsData(dialog)) {
            const bool keep = UserKeepsClipboard(dialog);
            if (cancelled_)
                return ApplyOutcome::Cancelled;
            if (keep)
                return ApplyOutcome::StayOpen;
        }
        ClearClipboard(dialog);
    }

    // No way back from here.
    stage_ = Stage::Working;
    window.BecomeProgressWindow();
    for (const HostChange& change : changes) {
        const OfficeHost& host = *change.host;
        if (!change.changed() || (host.hasOfferGate && !IsFrontPageOffered()))
            continue;
        // Only switching off needs the add-in to be idle.
        HostLock lock = change.want ? HostLock::NoLock() : operations_.AcquireLock(host);
        if (lock.state() == HostLock::State::GivenUp)
            return ApplyOutcome::Done;
        try {
            operations_.Install(host, change.want);
        } catch (...) {
            // A host that fails does not stop the hosts after it.
        }
        if (host.touchesClipboard && change.want)
            ClearClipboard(dialog);
        ReleaseHostLock(lock);
    }
    return ApplyOutcome::Done;
}
