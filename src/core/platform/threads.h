// Running a piece of work split in parts on threads of its own, the number of cores this process
// may run on, and a thread's place behind the program's others. Does not keep threads of its own
// between calls.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace zentorak {

// The cores this process may run on (its affinity), at least 1.
int UsableCores();

// Puts the calling thread behind the process's other threads by `nice` steps (see
// setpriority(2)), so that work it does in the background leaves a core shared with the window
// to it. Where the system refuses, the thread runs on as it was.
void RunThisThreadBehind(int nice);

// Runs part(0) to part(parts - 1), each on a thread of its own but the first, which runs here;
// a part whose thread cannot be started (no thread, or no memory for one) runs here too. Returns
// once every part has run. The parts must not throw.
template <typename Part>
void InParts(int parts, const Part& part) {
    std::vector<std::thread> helpers;
    int started = 1;
    for (; started < parts; ++started) {
        try {
            helpers.emplace_back(part, started);
        } catch (const std::exception&) {
            break;
        }
    }
    part(0);
    for (int t = started; t < parts; ++t) {
        part(t);
    }
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

// Runs item(t, 0) to item(t, items - 1) on up to `threads` threads (see InParts), each thread t
// taking the next item no thread has taken yet: a thread slowed down holds the work up by one
// item, not by its share of them.
template <typename Item>
void InQueue(int threads, size_t items, const Item& item) {
    std::atomic<size_t> next{0};
    InParts(threads, [&](int t) {
        for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < items;) {
            item(t, i);
        }
    });
}

}  // namespace zentorak
