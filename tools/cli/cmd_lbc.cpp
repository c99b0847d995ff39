// zentorak-cli lbc [--mask M]: parses one AT@LBC? reply read from standard input as raw bytes
// (each byte one character, as the module's receive buffer holds them) and prints
// {"result", "postal", "lat", "lon"}; the angles in the "deg/min/sec.msec" text form. A reply
// that does not parse prints null items and exits with 1.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli.h"
#include "core/geo/dms.h"
#include "core/position/lbc_response.h"

namespace zentorak::cli {
namespace {

std::u16string ReadStdinBytes() {
    std::u16string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        for (size_t i = 0; i < n; ++i) {
            text += static_cast<char16_t>(static_cast<unsigned char>(buffer[i]));
        }
    }
    return text;
}

int RunLbc(int argc, char** argv) {
    int mask = kLbcLatitude | kLbcLongitude;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mask") != 0 || i + 1 >= argc) {
            return UsageError("lbc: unknown argument (usage: lbc [--mask M])");
        }
        const char* value = argv[++i];
        const char* end = value + std::strlen(value);
        auto [ptr, ec] = std::from_chars(value, end, mask);
        if (ec != std::errc() || ptr != end || mask < 0) {
            return UsageError("lbc: --mask takes a non-negative number");
        }
    }
    int postal = 0;
    DmsAngle lat, lon;
    const int result = ParseLbcResponse(mask, ReadStdinBytes(), postal, lat, lon);
    JsonObject out;
    out.Add("result", result);
    if (result != 0) {
        // A failed parse leaves the fields half-filled at best: nothing of it is a position.
        out.AddNull("postal").AddNull("lat").AddNull("lon").Print();
        return 1;
    }
    out.Add("postal", postal).Add("lat", FormatDms(lat)).Add("lon", FormatDms(lon)).Print();
    return 0;
}

CommandRegistration reg{"lbc", "lbc [--mask M] < reply", RunLbc};

}  // namespace
}  // namespace zentorak::cli
