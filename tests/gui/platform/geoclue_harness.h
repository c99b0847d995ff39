// Test helper: a real GeoClue on a system bus of the test's own. Starts a dbus-daemon on a
// private socket (named to this process in DBUS_SYSTEM_BUS_ADDRESS), GeoClue with only its
// network-NMEA source fed from a Unix socket that the harness serves, and GeoClue's demo agent,
// which authorises clients. Nothing of the machine's changes: GeoClue's configuration file is
// bind-mounted in a mount namespace of its own where that is allowed. Every process it starts
// is stopped when the harness goes.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zentorak::testing {

class GeoclueHarness {
public:
    GeoclueHarness();
    ~GeoclueHarness();

    // Starts everything and waits until GeoClue owns its name on the bus; false with `reason`
    // set when this machine cannot run it (missing programs, a daemon that would not start).
    // Must be called before anything in the process uses the system bus.
    bool Start(std::string& reason);

    // The position the NMEA socket reports from now on, twice a second.
    void SetPosition(double lat, double lon);
    // How GeoClue was started: "mount namespace", "user namespace" or "machine configuration".
    const std::string& Mode() const { return mode_; }
    // The end of GeoClue's own output, for failure messages.
    std::string GeoclueLog() const;

private:
    pid_t Spawn(const std::vector<std::string>& args, const std::string& log);
    bool StartGeoclue(std::string& reason);
    bool WaitForName(pid_t daemon, int timeoutMs);
    void ServeNmea();
    void Stop(pid_t& pid);

    std::string folder_;
    std::string busSocket_;
    std::string nmeaSocket_;
    pid_t bus_ = -1;
    pid_t geoclue_ = -1;
    pid_t agent_ = -1;
    std::string mode_;

    int listener_ = -1;
    std::thread server_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    double lat_ = 0;
    double lon_ = 0;
};

}  // namespace zentorak::testing
