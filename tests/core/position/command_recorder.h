// Test helper: stands for the window that commands are posted to from other threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "core/position/gps_source.h"

namespace zentorak::testing {

class CommandRecorder {
public:
    PostCommandFn Poster() {
        return [this](uint16_t command) {
            std::lock_guard lock(mutex_);
            commands_.push_back(command);
            changed_.notify_all();
        };
    }
    // True once at least `count` commands have arrived within `limit`.
    bool WaitFor(size_t count, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return commands_.size() >= count; });
    }
    std::vector<uint16_t> Commands() {
        std::lock_guard lock(mutex_);
        return commands_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uint16_t> commands_;
};

}  // namespace zentorak::testing
