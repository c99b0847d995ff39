// The settings file the program's benchmarks put beside the program: one location-info file
// (or none) and the fixed origin mode, so that every start paints the same picture.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace zentorak::bench {

inline void WriteProgramSettings(const std::filesystem::path& dir, const std::string& csv,
                                 const std::string& extra = {}) {
    std::ofstream out(dir / "zentorak.ini", std::ios::binary | std::ios::trunc);
    out << "[System]\r\nOrgFixedMode:1\r\n" << extra << "\r\n[TrgtInfoFile]\r\n";
    if (!csv.empty()) {
        out << csv << "\r\n";
    }
    out << "\r\n";
}

}  // namespace zentorak::bench
