// zentorak-cli url: the map URL of a point for a service and scale index.
#include <charconv>
#include <cstring>
#include <string_view>

#include "cli.h"
#include "core/geo/dms.h"
#include "core/map/map_urls.h"
#include "core/text/code_page.h"

namespace zentorak::cli {

namespace {

bool ParseInt(std::string_view text, int& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

int RunUrl(int argc, char** argv) {
    bool correction = true;
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-google-correction") == 0) {
            correction = false;
        } else {
            args.emplace_back(argv[i]);
        }
    }
    int service = 0, scale = 0;
    DmsAngle lat, lon;
    if (args.size() != 4 || !ParseInt(args[0], service) || !ParseInt(args[1], scale)) {
        return UsageError("url needs SERVICE SCALEIX LAT LON");
    }
    if (ParseDms(FromUtf8(args[2]), lat) != 0 || ParseDms(FromUtf8(args[3]), lon) != 0) {
        return UsageError("LAT and LON must be deg/min/sec.msec");
    }
    JsonObject().Add("url", MapUrl(service, scale, lat, lon, correction)).Print();
    return 0;
}

CommandRegistration reg{"url",
                        "url SERVICE SCALEIX LAT LON [--no-google-correction]  (services 1 to 7; "
                        "a service outside them or a scale index outside its table takes the "
                        "default; exit 2 on usage errors)",
                        RunUrl};

}  // namespace

}  // namespace zentorak::cli
