#include "HostLock.h"

#include "AddinSemaphore.h"

#include "ProgramRun.h"
#include "TestThread.h"
#include "UniqueHandle.h"
#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

constexpr char kDisplayName[] = "Microsoft Word";

std::string UniqueShortName()
{
    return "Test" + std::to_string(GetCurrentProcessId());
}

// Plays the user at the busy-wait dialog on a thread of its own.
class BusyWaitUser {
public:
    template <typename Act>
    explicit BusyWaitUser(Act act)
        : thread_(StartThread([this, act] {
              dialog_ = WaitForWindow("#32770", "Achtung!");
              if (dialog_) {
                  message_ = ControlText(dialog_, 1009);
                  GetWindowRect(dialog_, &rect_);
                  act(dialog_);
                  closed_ = WaitForWindowGone(dialog_);
              }
          }))
    {
    }
    void Join() { thread_.Join(); }

    HWND dialog_ = nullptr;
    std::string message_;
    RECT rect_ = {};
    bool closed_ = false;

private:
    Thread thread_;
};

// Word's main window in a process of its own, in front, whose thread has
// stopped answering messages, as while its add-in translates.
class HungHostWindow {
public:
    HungHostWindow()
        : hung_(CreateEventA(nullptr, TRUE, FALSE, (Name() + "-hung").c_str())),
          answer_(CreateEventA(nullptr, TRUE, FALSE, (Name() + "-answer").c_str())),
          process_(StartProgram("\"" + BinaryFolder() + "office_standin.exe\" --hang " + Name() +
                                "-hung " + Name() + "-answer"))
    {
    }
    ~HungHostWindow()
    {
        Answer();
        WaitForSingleObject(process_.Get(), kPatienceMs);
    }

    bool Hangs() const
    {
        const HANDLE either[] = {hung_.Get(), process_.Get()};
        return process_ && WaitForMultipleObjects(2, either, FALSE, kPatienceMs) == WAIT_OBJECT_0;
    }
    HWND Window() const { return FindWindowA("OpusApp", "Dokument1 - Microsoft Word"); }
    // Its thread handles messages again, and the program ends.
    void Answer() const { SetEvent(answer_.Get()); }

private:
    static std::string Name() { return "QuillbarHungHost" + std::to_string(GetCurrentProcessId()); }

    KernelHandle hung_;
    KernelHandle answer_;
    KernelHandle process_;
};

// Only a semaphore can be an add-in's: a name that holds nothing, or an
// object of another kind (which any program may have made), is no lock, and
// nobody is kept waiting for it.
TEST(HostLock, ANameThatHoldsNoSemaphoreIsNothingToLock)
{
    const std::string lockName = "Quillbar.Global.Semaphore." + UniqueShortName();
    for (const char* squatter : {"nothing", "an event", "a mutex"}) {
        SCOPED_TRACE(squatter);
        const std::string kind = squatter;
        const KernelHandle object(kind == "an event"  ? CreateEventA(nullptr, TRUE, FALSE, lockName.c_str())
                                  : kind == "a mutex" ? CreateMutexA(nullptr, FALSE, lockName.c_str())
                                                      : nullptr);
        ASSERT_EQ(static_cast<bool>(object), kind != "nothing");
        // Whoever waits in vain is let go, so that the test ends either way.
        std::atomic<bool> returned{false};
        bool waited = false;
        Thread user = StartThread([&] {
            HWND dialog = nullptr;
            WaitUntil([&] { return returned || (dialog = FindWindowA("#32770", "Achtung!")); });
            if (dialog) {
                waited = true;
                PressButton(dialog, IDCANCEL);
            }
        });
        HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
        returned = true;
        user.Join();
        EXPECT_FALSE(waited);
        EXPECT_EQ(lock.state(), HostLock::State::NoLock);
        ReleaseHostLock(lock);
        EXPECT_EQ(lock.state(), HostLock::State::NoLock);
    }
}

// The tuner asks only for the rights the wait needs: an add-in's semaphore
// that grants no more (one made by an Office with other rights) is locked as
// any other.
TEST(HostLock, IdleAddinGivesAllCountsAtOnceAndGetsThemBack)
{
    for (const DWORD access : {AddinSemaphore::kAnyAccess,
                               DWORD(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE)}) {
        SCOPED_TRACE(access);
        const AddinSemaphore addin(UniqueShortName(), 100, access);
        HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
        ASSERT_EQ(lock.state(), HostLock::State::Held);
        EXPECT_EQ(addin.Free(), 0);
        ReleaseHostLock(lock);
        EXPECT_EQ(addin.Free(), 100);
    }
}

TEST(HostLock, LockThatGoesOutOfScopeStillGivesItsCountsBack)
{
    const AddinSemaphore addin(UniqueShortName(), 100);
    {
        const HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
        EXPECT_EQ(addin.Free(), 0);
    }
    EXPECT_EQ(addin.Free(), 100);
}

TEST(HostLock, BusyAddinShowsTheWaitUntilItLetsGo)
{
    const AddinSemaphore addin(UniqueShortName(), 97);
    BusyWaitUser user([&](HWND) {
        EXPECT_EQ(addin.Free(), 0) << "the 97 free counts were taken at once";
        addin.Release(3);
    });
    HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
    user.Join();

    ASSERT_TRUE(user.dialog_) << "no busy-wait dialog";
    EXPECT_TRUE(user.closed_) << "the dialog closes by itself";
    EXPECT_EQ(lock.state(), HostLock::State::Held);
    EXPECT_EQ(addin.Free(), 0);

    EXPECT_EQ(user.message_,
              "\xDC" "bersetzungsfunktionen k\xF6nnen nicht in Microsoft Word gel\xF6scht werden: "
              "Vielleicht wird ein Text gerade \xFC" "bersetzt, oder ein Dialogfenster ist offen. "
              "Warten Sie bitte bis zum Ende des \xDC" "bersetzens, oder schlie\xDF" "en Sie das "
              "Dialogfenster in Microsoft Word.");

    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    const LONG width = user.rect_.right - user.rect_.left;
    const LONG height = user.rect_.bottom - user.rect_.top;
    EXPECT_EQ(user.rect_.left, (desktop.right - width) / 2);
    EXPECT_EQ(user.rect_.top, (desktop.bottom - height) / 2);

    ReleaseHostLock(lock);
    EXPECT_EQ(addin.Free(), 100);
}

TEST(HostLock, CancelledWaitGivesBackEveryCountTaken)
{
    const AddinSemaphore addin(UniqueShortName(), 97);
    BusyWaitUser user([&](HWND dialog) {
        addin.Release(1);
        EXPECT_TRUE(WaitUntil([&] { return addin.Free() == 0; })) << "the next tick takes it";
        PressButton(dialog, IDCANCEL);
    });
    const HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
    user.Join();

    EXPECT_EQ(lock.state(), HostLock::State::GivenUp);
    EXPECT_EQ(addin.Free(), 98) << "97 + 1 taken and given back; the add-in still holds 2";
}

// The wait is shown without waiting for the window in front: a host whose
// thread does not answer (its add-in at work) neither holds the dialog back
// nor owns it. The dialog has no owner and stays on top, but the window the
// user works in keeps the focus: keystrokes meant for it never reach the
// dialog's "Abbrechen".
TEST(HostLock, BusyWaitShowsOnTopWithoutTakingTheFocusFromTheHostInFront)
{
    const HungHostWindow host;
    ASSERT_TRUE(host.Hangs());
    const HWND hostWindow = host.Window();
    ASSERT_TRUE(WaitUntil([&] { return hostWindow && GetForegroundWindow() == hostWindow; }))
        << "the host's window is in front";
    const AddinSemaphore addin(UniqueShortName(), 99);

    HWND shown = nullptr;
    HWND owner = nullptr;
    bool topMost = false;
    HWND inFront = nullptr;
    Thread user = StartThread([&] {
        shown = WaitForWindow("#32770", "Achtung!");
        if (shown) {
            owner = GetWindow(shown, GW_OWNER);
            topMost = (GetWindowLongA(shown, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            inFront = GetForegroundWindow();
        }
        // A tuner that waits for the host goes on once it answers.
        host.Answer();
        const HWND dialog = shown ? shown : WaitForWindow("#32770", "Achtung!");
        if (dialog)
            PressButton(dialog, IDCANCEL);
    });
    const HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
    user.Join();

    ASSERT_TRUE(shown) << "no busy-wait dialog while the host did not answer";
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(topMost);
    EXPECT_NE(inFront, shown) << "the dialog took the focus";
    EXPECT_EQ(inFront, hostWindow);
    EXPECT_EQ(lock.state(), HostLock::State::GivenUp);
    EXPECT_EQ(addin.Free(), 99);
}

// A semaphore that is there but refuses even those rights may belong to an
// add-in at work: the host counts as busy. The wait ends when the user gives
// up, or by itself once the semaphore has gone with its add-in (also when
// another kind of object has taken its name since).
TEST(HostLock, SemaphoreRefusingTheTunerCountsAsBusy)
{
    enum class End { UserGivesUp, AddinEnds, NameTakenByAnEvent };
    for (const End end : {End::UserGivesUp, End::AddinEnds, End::NameTakenByAnEvent}) {
        SCOPED_TRACE(static_cast<int>(end));
        auto addin = std::make_unique<AddinSemaphore>(UniqueShortName(), 100, 0);
        KernelHandle squatter;
        BusyWaitUser user([&](HWND dialog) {
            if (end == End::UserGivesUp) {
                PressButton(dialog, IDCANCEL);
                return;
            }
            addin.reset();
            if (end == End::NameTakenByAnEvent)
                squatter.Reset(CreateEventA(nullptr, TRUE, FALSE,
                                            ("Quillbar.Global.Semaphore." + UniqueShortName()).c_str()));
        });
        const HostLock lock = AcquireHostLock(UniqueShortName(), kDisplayName);
        user.Join();

        ASSERT_TRUE(user.dialog_) << "no busy-wait dialog";
        EXPECT_TRUE(user.closed_);
        EXPECT_EQ(lock.state(),
                  end == End::UserGivesUp ? HostLock::State::GivenUp : HostLock::State::NoLock);
        if (addin) {
            EXPECT_EQ(addin->Free(), 100) << "nothing taken";
        }
    }
}

}  // namespace
