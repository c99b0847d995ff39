// The list of location-info files the program loads: up to ten full paths. Shared by the loader
// (locinfo) and the settings store, which reads and writes it; holds no behaviour beyond clearing.
#pragma once

#include <array>
#include <string>

namespace zentorak {

inline constexpr int kMaxLocationInfoFiles = 10;

// Full paths; the used entries are the leading ones, the list ends at the first empty entry.
using LocationInfoFileList = std::array<std::u16string, kMaxLocationInfoFiles>;

inline void ClearLocationInfoFileList(LocationInfoFileList& files) {
    for (std::u16string& entry : files) {
        entry.clear();
    }
}

}  // namespace zentorak
