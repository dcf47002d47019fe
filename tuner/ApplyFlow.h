#pragma once

// What OK in the setup dialog does, as one sequence over the hosts with a
// state of its own: the old-version question, the clipboard question, the
// progress window, then every changed host's installer (behind the host's
// lock when switching an add-in off).
//
//   Ready    the dialog as shown; OK starts an apply.
//   Asking   a question is open and the thread runs its message loop: a
//            second OK is ignored; Cancel or the registered message ends the
//            dialog, and once the question is answered nothing is applied.
//   Working  the progress window; the remaining hosts are processed whatever
//            arrives, unless the user gives up waiting for a host's lock.
//   Finished the dialog closes.
//
// The flow reaches the dialog's window only through ApplyWindow.

#include "HostOperations.h"

#include <windows.h>

class ApplyWindow {
public:
    // The window that owns the clipboard question and the clipboard.
    virtual HWND Handle() const = 0;
    // The user wants the host's add-in on: its box is enabled and checked.
    virtual bool Wants(const OfficeHost& host) const = 0;
    // The dialog becomes the progress window: no controls, minimised, top-most.
    virtual void BecomeProgressWindow() = 0;

protected:
    ~ApplyWindow() = default;
};

enum class ApplyOutcome {
    Ignored,    // an apply is under way already, here or in another process
    StayOpen,   // the user kept the clipboard's content: the dialog is as it was
    Done,       // the dialog closes: applied, the old version kept, or a wait given up
    Cancelled,  // cancelled during a question: the dialog closes, nothing applied
};

class ApplyFlow {
public:
    enum class Stage { Ready, Asking, Working, Finished };

    explicit ApplyFlow(HostOperations& operations) : operations_(operations) {}
    ApplyFlow(const ApplyFlow&) = delete;
    ApplyFlow& operator=(const ApplyFlow&) = delete;

    // OK.
    ApplyOutcome Apply(ApplyWindow& window);
    // Cancel or the registered message. True when the dialog may end now
    // (then nothing is applied), false once the progress window is shown.
    bool Cancel();

    Stage stage() const { return stage_; }

private:
    ApplyOutcome AskThenWork(ApplyWindow& window);

    HostOperations& operations_;
    Stage stage_ = Stage::Ready;
    bool cancelled_ = false;
};
