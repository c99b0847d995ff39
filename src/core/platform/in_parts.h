// Running a piece of work split in parts on threads of its own.
#pragma once

#include <exception>
#include <thread>
#include <vector>

namespace zentorak {

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

}  // namespace zentorak
