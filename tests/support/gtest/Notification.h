#pragma once

// GoogleTest's Notification, for the win32 thread model, whose C++ library
// has no std::mutex or std::condition_variable (GoogleTest's own Notification
// is built on them; the rest of its threading uses Win32 directly). Only
// GoogleTest's tests of its own threads wait on it, never ours: a plain flag
// that the waiter polls does. Given to every translation unit of the tests
// (with GTEST_HAS_NOTIFICATION_) by tests/CMakeLists.txt.

#include <atomic>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_ = true; }
    void WaitForNotification()
    {
        while (!notified_) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
