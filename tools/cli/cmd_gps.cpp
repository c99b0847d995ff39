// zentorak-cli gps [--port P] [--count N] [--interval MS] [--timeout MS]: asks gpsd for the
// position as the program does (one request per update, the first fix answers) and prints
// {"lat", "lon", "latDms", "lonDms", "device"} per answer, or {"result"} when none came.
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "cli.h"
#include "core/geo/dms.h"
#include "core/gpsd/gpsd_driver.h"
#include "core/position/gps_source.h"

namespace zentorak::cli {
namespace {

struct GpsArgs {
    std::string port = "2947";
    int count = 1;
    int intervalMs = 6000;
    int timeoutMs = 10000;
};

bool ParseGpsArgs(int argc, char** argv, GpsArgs& a) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--port") {
            a.port = argv[i + 1];
        } else if (key == "--count") {
            a.count = std::atoi(argv[i + 1]);
        } else if (key == "--interval") {
            a.intervalMs = std::atoi(argv[i + 1]);
        } else if (key == "--timeout") {
            a.timeoutMs = std::atoi(argv[i + 1]);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && a.count > 0 && a.intervalMs >= 0 && a.timeoutMs > 0;
}

void PrintAnswer(const GpsRequest& request) {
    const GpsPosition p = request.Position();
    JsonObject()
        .Add("lat", p.latitude)
        .Add("lon", p.longitude)
        .Add("latDms", FormatDms(DegreesToDms(p.latitude)))
        .Add("lonDms", FormatDms(DegreesToDms(p.longitude)))
        .Add("device", request.DeviceName())
        .Print();
}

int RunGps(int argc, char** argv) {
    GpsArgs args;
    if (!ParseGpsArgs(argc, argv, args)) {
        return UsageError("gps [--port P] [--count N] [--interval MS] [--timeout MS]");
    }
    std::mutex mutex;
    std::condition_variable answered;
    int answers = 0;
    std::atomic<int> busy{0};
    GpsSource source([&] { return std::make_shared<GpsdDriver>("localhost", args.port); }, busy);
    const PostCommandFn window = [&](uint16_t) {
        std::lock_guard lock(mutex);
        ++answers;
        answered.notify_all();
    };
    for (int i = 0; i < args.count; ++i) {
        const int rc = source.StartGpsRequest(window, 32796);
        std::unique_lock lock(mutex);
        if (rc != 0 || !answered.wait_for(lock, std::chrono::milliseconds(args.timeoutMs),
                                          [&] { return answers > i; })) {
            JsonObject().Add("result", rc != 0 ? rc : -1).Print();
            return 1;
        }
        PrintAnswer(*source.Request());
        lock.unlock();
        std::this_thread::sleep_for(
            std::chrono::milliseconds(i + 1 < args.count ? args.intervalMs : 0));
    }
    return 0;
}

CommandRegistration reg{"gps", "gps [--port P] [--count N] [--interval MS] [--timeout MS]", RunGps};

}  // namespace
}  // namespace zentorak::cli
