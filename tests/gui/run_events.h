// The pause for WaitUntil in Qt tests: the event loop runs while the test waits, so queued
// commands and timers are handled.
#pragma once

#include <QTest>
#include <chrono>

namespace zentorak::testing {

struct RunEvents {
    void operator()(std::chrono::milliseconds step) const {
        QTest::qWait(static_cast<int>(step.count()));
    }
};

}  // namespace zentorak::testing
