#include "core/gpsd/gpsd_json.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace zentorak {

namespace {

// Position just after `"key":` (and any blanks), or npos.
size_t ValueStart(std::string_view line, std::string_view key) {
    std::string pattern = "\"";
    pattern += key;
    pattern += "\":";
    size_t at = line.find(pattern);
    if (at == std::string_view::npos) {
        return at;
    }
    at += pattern.size();
    while (at < line.size() && line[at] == ' ') {
        ++at;
    }
    return at;
}

// A JSON number as an int when it has one (truncated): 1e100 has none, and converting it
// would be undefined behaviour.
bool FindJsonInt(std::string_view line, std::string_view key, int& value) {
    double number = 0;
    if (!FindJsonNumber(line, key, number) || !(number > INT_MIN - 1.0 && number < INT_MAX + 1.0)) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

// A latitude and longitude that can be a place; anything else is no position.
bool FindLatLon(std::string_view line, double& latitude, double& longitude) {
    double lat = 0;
    double lon = 0;
    if (!FindJsonNumber(line, "lat", lat) || !FindJsonNumber(line, "lon", lon) ||
        std::fabs(lat) > 90 || std::fabs(lon) > 180) {
        return false;
    }
    latitude = lat;
    longitude = lon;
    return true;
}

}  // namespace

bool FindJsonNumber(std::string_view line, std::string_view key, double& value) {
    const size_t at = ValueStart(line, key);
    if (at == std::string_view::npos) {
        return false;
    }
    double parsed = 0;
    auto [ptr, ec] = std::from_chars(line.data() + at, line.data() + line.size(), parsed);
    if (ec != std::errc() || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool FindJsonString(std::string_view line, std::string_view key, std::string& value) {
    size_t at = ValueStart(line, key);
    if (at == std::string_view::npos || at >= line.size() || line[at] != '"') {
        return false;
    }
    ++at;
    size_t end = at;
    while (end < line.size() && line[end] != '"') {
        end += line[end] == '\\' ? 2 : 1;
    }
    if (end >= line.size()) {
        return false;
    }
    value.assign(line.substr(at, end - at));
    return true;
}

GpsdReport ParseGpsdReport(std::string_view line) {
    GpsdReport report;
    std::string kind;
    if (!FindJsonString(line, "class", kind)) {
        return report;
    }
    if (kind == "TPV") {
        report.kind = GpsdReport::kTpv;
        if (!FindJsonInt(line, "mode", report.mode)) {
            report.mode = 0;
        }
        report.hasLatLon = FindLatLon(line, report.latitude, report.longitude);
        FindJsonNumber(line, "speed", report.speed);
        FindJsonNumber(line, "track", report.track);
        FindJsonString(line, "device", report.device);
    } else if (kind == "SKY") {
        report.kind = GpsdReport::kSky;
        int used = 0;
        if (FindJsonInt(line, "uSat", used) && used >= 0) {
            report.usedSatellites = used;
        }
    } else if (kind == "DEVICE" || kind == "DEVICES") {
        report.kind = kind == "DEVICE" ? GpsdReport::kDevice : GpsdReport::kDevices;
        FindJsonString(line, "path", report.device);
        FindJsonString(line, "driver", report.driver);
    }
    return report;
}

}  // namespace zentorak
