// zentorak-nmea-replay: feeds gpsd a recorded NMEA log or a generated walk through central
// Tokyo, one fix per interval, so that a person can watch the program follow a moving
// position. It can start its own gpsd on the program's port (2947) and stops it on exit.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "nmea/nmea_sentences.h"
#include "nmea/walk.h"

namespace {

volatile sig_atomic_t stopRequested = 0;
void OnSignal(int) {
    stopRequested = 1;
}

struct Options {
    std::string file;  // recorded log; empty = the Tokyo walk
    std::string udpHost = "127.0.0.1";
    int udpPort = 29471;
    int gpsdPort = 0;    // >0: start our own gpsd on this port
    double speed = 1.4;  // walking speed, m/s
    int intervalMs = 1000;
    bool loop = false;
};

// --help prints the usage on standard output; a bad option prints it on standard error.
int Usage(FILE* out = stderr) {
    std::fprintf(out,
                 "usage: zentorak-nmea-replay [--gpsd [PORT]] [--udp HOST:PORT] [--file LOG]\n"
                 "         [--speed M_PER_S] [--interval MS] [--loop]\n"
                 "Sends NMEA over UDP to gpsd's source udp://HOST:PORT (default\n"
                 "127.0.0.1:29471). --gpsd starts a gpsd on PORT (default 2947, the program's)\n"
                 "reading that source. Without --file it walks a loop through central Tokyo.\n");
    return out == stderr ? 2 : 0;
}

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc && argv[i + 1][0] != '-';
        if (a == "--gpsd") {
            o.gpsdPort = hasValue ? std::atoi(argv[++i]) : 2947;
        } else if (a == "--udp" && hasValue) {
            const std::string v = argv[++i];
            const size_t colon = v.rfind(':');
            if (colon == std::string::npos)
                return false;
            o.udpHost = v.substr(0, colon);
            o.udpPort = std::atoi(v.c_str() + colon + 1);
        } else if (a == "--file" && hasValue) {
            o.file = argv[++i];
        } else if (a == "--speed" && hasValue) {
            o.speed = std::atof(argv[++i]);
        } else if (a == "--interval" && hasValue) {
            o.intervalMs = std::atoi(argv[++i]);
        } else if (a == "--loop") {
            o.loop = true;
        } else {
            return false;
        }
    }
    return o.udpPort > 0 && o.intervalMs > 0 && o.speed > 0;
}

pid_t StartGpsd(const Options& o) {
    const std::string port = std::to_string(o.gpsdPort);
    const std::string source = "udp://" + o.udpHost + ":" + std::to_string(o.udpPort);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // the daemon lives no longer than the replayer
        const char* const args[] = {"gpsd", "-N",         "-n",           "-b",
                                    "-S",   port.c_str(), source.c_str(), nullptr};
        execv("/usr/sbin/gpsd", const_cast<char* const*>(args));
        execvp("gpsd", const_cast<char* const*>(args));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == pid) {
        std::fprintf(stderr, "zentorak-nmea-replay: gpsd did not start (port %d in use?)\n",
                     o.gpsdPort);
        return -1;
    }
    std::fprintf(stderr, "gpsd on port %d reads %s\n", o.gpsdPort, source.c_str());
    return pid;
}

class UdpSender {
public:
    UdpSender(const std::string& host, int port) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        address_.sin_family = AF_INET;
        address_.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, host.c_str(), &address_.sin_addr);
    }
    ~UdpSender() { close(fd_); }
    void Send(const std::string& text) {
        sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&address_),
               sizeof address_);
    }

private:
    int fd_;
    sockaddr_in address_{};
};

void Pause(int ms) {
    for (int waited = 0; waited < ms && !stopRequested; waited += 50) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, ms - waited)));
    }
}

// Sends the log line by line; each RMC sentence closes one fix and is followed by the pause.
void ReplayFile(const Options& o, UdpSender& udp) {
    std::ifstream in(o.file, std::ios::binary);
    std::string line;
    while (!stopRequested && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] != '$')
            continue;
        udp.Send(line + "\r\n");
        // "$GPRMC,...": a line too short to name its sentence is sent but closes no fix.
        if (line.size() >= 6 && line.compare(3, 3, "RMC") == 0) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
            Pause(o.intervalMs);
        }
    }
}

void ReplayWalk(const Options& o, UdpSender& udp, int& second) {
    const auto samples = zentorak::nmea::SampleWalk(zentorak::nmea::TokyoWaypoints(), o.speed,
                                                    o.intervalMs / 1000.0);
    for (const auto& p : samples) {
        if (stopRequested)
            return;
        ++second;
        udp.Send(zentorak::nmea::Rmc(p.lat, p.lon, second, p.speedMps * 1.943844, p.track) +
                 zentorak::nmea::Gga(p.lat, p.lon, second));
        std::printf("%.6f %.6f\n", p.lat, p.lon);
        std::fflush(stdout);
        Pause(o.intervalMs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return Usage(stdout);
    }
    if (!ParseArgs(argc, argv, o))
        return Usage();
    if (!o.file.empty() && !std::ifstream(o.file)) {
        std::fprintf(stderr, "zentorak-nmea-replay: cannot read %s\n", o.file.c_str());
        return 1;
    }
    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    const pid_t gpsd = o.gpsdPort > 0 ? StartGpsd(o) : 0;
    if (gpsd < 0)
        return 1;
    UdpSender udp(o.udpHost, o.udpPort);
    int second = 0;
    do {
        o.file.empty() ? ReplayWalk(o, udp, second) : ReplayFile(o, udp);
    } while (o.loop && !stopRequested);
    if (gpsd > 0) {
        kill(gpsd, SIGTERM);
        waitpid(gpsd, nullptr, 0);
    }
    return 0;
}
