#pragma once

#include "Event.h"
#include "ExclusiveLock.h"
#include "Patience.h"
#include "Thread.h"

#include <windows.h>

#include <atomic>
#include <set>
#include <string>
#include <vector>

// What a user saw in a message box before pressing OK.
struct SeenMessageBox {
    std::string text;
    HICON icon = nullptr;  // the box's icon; only meaningful in the same process
};

// Plays the user for message boxes with a given title: on a thread of its
// own it waits for each such box (of any process on the desktop) to become
// visible, notes its text and icon, and presses OK; until it is destroyed.
// Unlike AnswerMessageBox (WindowDriver.h) it answers any number of boxes,
// also several open at once, while the test's own thread is blocked in the
// call that shows them.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::string caption);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits until at least count boxes were answered or the time-out passed;
    // returns all seen so far.
    std::vector<SeenMessageBox> WaitFor(size_t count, DWORD timeoutMs = kPatienceMs);
    std::vector<SeenMessageBox> Seen();

private:
    void Watch();
    void AnswerVisibleBoxes();

    const std::string caption_;
    std::atomic<bool> stop_{false};
    ExclusiveLock lock_;
    Event changed_{Event::Reset::Automatic};
    std::vector<SeenMessageBox> seen_;
    std::set<HWND> answered_;
    Thread watcher_;
};
