// A GPS driver over several position services in order of preference (gpsd, then GeoClue on a
// phone): Open asks each in turn and the first that opens serves the whole session, so the
// request, the session and its stop rules stay the GpsSource's. Says which service serves, or
// that none could; does not switch services within a session.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/position/gps_driver.h"

namespace zentorak {

class FallbackGpsDriver : public GpsDriver {
public:
    struct Service {
        std::u16string name;  // as the log shows it: "gpsd", "GeoClue"
        std::function<std::shared_ptr<GpsDriver>()> make;
    };
    // Gets one log line per Open, on the thread that calls Open.
    using Notice = std::function<void(const std::u16string& line)>;

    FallbackGpsDriver(std::vector<Service> services, Notice notice);
    ~FallbackGpsDriver() override;

    // 0 when a service opened; else the last service's error (ENODEV when none could be made).
    int Open(GpsEvents& events) override;
    int GetPosition(GpsPosition& out, uint32_t maxAgeMs) override;
    int GetDeviceState(GpsDevice& out) override;
    int Close() override;

    // The name of the service that serves, empty before Open and after a failed one.
    std::u16string Serving() const;

private:
    std::shared_ptr<GpsDriver> Active() const;

    std::vector<Service> services_;
    Notice notice_;
    // Held through Open, so that the reader thread, woken by the service that has just opened,
    // waits until that service is the active one instead of missing its first fix.
    mutable std::mutex mutex_;
    std::shared_ptr<GpsDriver> active_;
    std::u16string serving_;
};

// The log line for an Open that tried `failed` in vain and then opened `serving` (empty when
// nothing opened).
std::u16string GpsServiceLine(const std::vector<std::u16string>& failed,
                              const std::u16string& serving);

}  // namespace zentorak
