// A window stand-in for the item list control's core: a fixed client size, a manual clock,
// recorded invalidations and notifications, and a task queue that the test thread drains as
// the user-interface thread would. Sleeps either return at once or wait for the test to
// release each frame.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/itemlist/item_list_core.h"

namespace zentorak::testing {

class FakeItemListHost : public ItemListHost {
public:
    int width = 240;
    int height = 100;
    std::int64_t now = 1000;
    int invalidations = 0;
    int updates = 0;
    int focusCount = 0;
    bool captured = false;
    bool realSleep = false;  // sleep for real instead of returning at once
    bool realClock = false;  // NowMs from the steady clock instead of now
    bool gated = false;      // each sleep waits for ReleaseFrames

    void Invalidate() override { ++invalidations; }
    void UpdateNow() override { ++updates; }
    void SetFocus() override { ++focusCount; }
    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    std::int64_t NowMs() override {
        if (!realClock) {
            return now;
        }
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    }

    void SleepMs(int ms) override {
        std::unique_lock lock(mutex_);
        sleeps_.push_back(ms);
        changed_.notify_all();
        if (realSleep) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            return;
        }
        changed_.wait(lock, [this] { return !gated || framesAllowed_ > 0; });
        if (gated) {
            --framesAllowed_;
        }
    }
    void RequestRepaint() override {
        std::lock_guard lock(mutex_);
        ++repaints_;
    }
    void PostNotification(int code) override {
        std::lock_guard lock(mutex_);
        notifications_.push_back(code);
        changed_.notify_all();
    }
    void PostTask(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        changed_.notify_all();
    }

    void ReleaseFrames(int n) {
        std::lock_guard lock(mutex_);
        framesAllowed_ += n;
        changed_.notify_all();
    }
    // Waits until the coasting thread has entered its n-th sleep.
    bool WaitForSleeps(std::size_t n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return sleeps_.size() >= n; });
    }
    // Runs the next queued task on the calling (test) thread; false if none came in time.
    bool RunNextTask(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [this] { return !tasks_.empty(); })) {
            return false;
        }
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        return true;
    }
    std::vector<int> Sleeps() {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }
    std::vector<int> Notifications() {
        std::lock_guard lock(mutex_);
        return notifications_;
    }
    int Repaints() {
        std::lock_guard lock(mutex_);
        return repaints_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> sleeps_;
    std::vector<int> notifications_;
    std::deque<std::function<void()>> tasks_;
    int repaints_ = 0;
    int framesAllowed_ = 0;
};

// Adds rows with the texts "0", "1", ... through the control's messages.
inline void AddRows(ItemListCore& list, int n) {
    bool handled = false;
    for (int i = 0; i < n; ++i) {
        std::u16string text = u"row";
        text += static_cast<char16_t>(u'0' + i % 10);
        InertListItem item{0, 0, text.data()};
        list.Handle(ILVM_ADDITEM, 0, reinterpret_cast<MsgLParam>(&item), handled);
    }
}

inline MsgResult Send(ItemListCore& list, std::uint32_t msg, MsgWParam w = 0, MsgLParam l = 0) {
    bool handled = false;
    return list.Handle(msg, w, l, handled);
}

}  // namespace zentorak::testing
