// Runs PROJ's cs2cs, the independent reference for datum shifts in the tests: the input lines go
// in through a temporary file, the answers come back one a line (with cs2cs's own messages when
// it fails, which the caller's parsing then reports).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/temp_folder.h"

namespace zentorak::testing {

// projections: cs2cs's arguments naming both systems; the input is cs2cs's (the axis order is
// the projections').
inline std::string RunCs2cs(const std::string& projections, const std::string& input) {
    TempFolder folder;
    const std::string path = folder.Write("cs2cs-input.txt", input);
    const std::string command = "cs2cs -f %.9f " + projections + " < " + path + " 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) {
            output += buffer;
        }
        EXPECT_EQ(pclose(pipe), 0) << output;
    }
    return output;
}

}  // namespace zentorak::testing
