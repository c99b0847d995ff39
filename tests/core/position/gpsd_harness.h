// Test helper: runs a private gpsd on free loopback ports, reading NMEA from a UDP source that
// the test writes to. Never uses a system gpsd; the daemon is killed when the harness goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace zentorak::testing {

// A loopback port that was free a moment ago (bound to port 0, then released).
int FreeLoopbackPort(int type);

class GpsdHarness {
public:
    GpsdHarness();
    ~GpsdHarness();

    // Starts gpsd and waits until it accepts connections; false with `error` set otherwise.
    bool Start(std::string& error);
    // SIGTERM (then SIGKILL after 2 s), or SIGKILL at once when `abruptly`.
    void Kill(bool abruptly = false);
    bool Running() const { return pid_ > 0; }

    std::string Port() const { return std::to_string(tcpPort_); }
    void Send(const std::string& sentences) const;
    void SendFix(double lat, double lon);
    void SendNoFix();

private:
    bool StartOnce(std::string& error);

    bool started_ = false;
    int tcpPort_;
    int udpPort_;
    int second_ = 0;
    pid_t pid_ = -1;
};

}  // namespace zentorak::testing
