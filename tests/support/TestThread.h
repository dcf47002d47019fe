#pragma once

#include "Thread.h"

#include <gtest/gtest.h>

#include <utility>

// Starts `work` on a thread of its own for a test, which fails when the
// thread cannot be started. The returned owner joins it at its end.
template <typename Work>
Thread StartThread(Work&& work)
{
    Thread thread;
    EXPECT_TRUE(thread.Start(std::forward<Work>(work))) << "a thread for the test";
    return thread;
}
