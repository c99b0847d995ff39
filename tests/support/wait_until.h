// Polling for the tests that wait on another thread or process: asks `done` until it holds or
// the time is up. The pause between two looks is a plain sleep; Qt tests pass one that runs the
// event loop instead.
#pragma once

#include <chrono>
#include <thread>

namespace zentorak::testing {

struct SleepPause {
    void operator()(std::chrono::milliseconds step) const { std::this_thread::sleep_for(step); }
};

// True when `done` held within `timeout`.
template <typename Done, typename Pause = SleepPause>
bool WaitUntil(Done&& done, std::chrono::milliseconds timeout = std::chrono::seconds(2),
               Pause pause = {}, std::chrono::milliseconds step = std::chrono::milliseconds(5)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return done();
        }
        pause(step);
    }
    return true;
}

}  // namespace zentorak::testing
