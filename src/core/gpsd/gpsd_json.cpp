#include "core/gpsd/gpsd_json.h"

#include <charconv>
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
    double number = 0;
    if (kind == "TPV") {
        report.kind = GpsdReport::kTpv;
        report.mode = FindJsonNumber(line, "mode", number) ? static_cast<int>(number) : 0;
        report.hasLatLon = FindJsonNumber(line, "lat", report.latitude) &&
                           FindJsonNumber(line, "lon", report.longitude);
        FindJsonNumber(line, "speed", report.speed);
        FindJsonNumber(line, "track", report.track);
        FindJsonString(line, "device", report.device);
    } else if (kind == "SKY") {
        report.kind = GpsdReport::kSky;
        if (FindJsonNumber(line, "uSat", number) && number >= 0) {
            report.usedSatellites = static_cast<int>(number);
        }
    } else if (kind == "DEVICE" || kind == "DEVICES") {
        report.kind = kind == "DEVICE" ? GpsdReport::kDevice : GpsdReport::kDevices;
        FindJsonString(line, "path", report.device);
        FindJsonString(line, "driver", report.driver);
    }
    return report;
}

}  // namespace zentorak
