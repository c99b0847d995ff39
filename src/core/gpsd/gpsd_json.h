// Picks the few fields the GPS driver needs out of one gpsd JSON report (TPV, SKY, DEVICE,
// DEVICES). Not a general JSON reader: it finds "key": values in a one-line object and parses
// numbers with std::from_chars, so the C library's numeric locale never matters.
#pragma once

#include <string>
#include <string_view>

namespace zentorak {

struct GpsdReport {
    enum Kind { kOther, kTpv, kSky, kDevice, kDevices };
    Kind kind = kOther;
    int mode = 0;  // TPV: 0 unknown, 1 no fix, 2 2D, 3 3D
    bool hasLatLon = false;
    double latitude = 0;
    double longitude = 0;
    double speed = 0;
    double track = 0;
    int usedSatellites = -1;  // SKY: "uSat" when given
    std::string device;       // TPV "device", DEVICE(S) "path" (first device)
    std::string driver;       // DEVICE(S) "driver"
};

GpsdReport ParseGpsdReport(std::string_view line);

// Finds "key": and parses the number after it; false when absent or not a number.
bool FindJsonNumber(std::string_view line, std::string_view key, double& value);
// Finds "key":"..." and gives the text between the quotes (escapes kept as sent).
bool FindJsonString(std::string_view line, std::string_view key, std::string& value);

}  // namespace zentorak
