#include "core/position/gpsd_harness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "nmea/nmea_sentences.h"

namespace zentorak::testing {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(port);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

int FreeLoopbackPort(int type) {
    const int fd = socket(AF_INET, type, 0);
    sockaddr_in address = Loopback(0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

GpsdHarness::GpsdHarness()
    : tcpPort_(FreeLoopbackPort(SOCK_STREAM)), udpPort_(FreeLoopbackPort(SOCK_DGRAM)) {}

GpsdHarness::~GpsdHarness() {
    Kill();
}

// The ports were free when chosen but another process may have taken one since: a first start
// that fails picks new ones and tries again. A restart keeps its ports, as clients expect.
bool GpsdHarness::Start(std::string& error) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (StartOnce(error)) {
            started_ = true;
            return true;
        }
        if (started_) {
            return false;
        }
        tcpPort_ = FreeLoopbackPort(SOCK_STREAM);
        udpPort_ = FreeLoopbackPort(SOCK_DGRAM);
    }
    return false;
}

bool GpsdHarness::StartOnce(std::string& error) {
    const std::string port = Port();
    const std::string source = "udp://127.0.0.1:" + std::to_string(udpPort_);
    pid_ = fork();
    if (pid_ == 0) {
        // A test that crashes must not leave its gpsd behind.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        // -N: foreground, -n: open the source now, -b: never write to it.
        const char* const args[] = {"gpsd", "-N",         "-n",           "-b",
                                    "-S",   port.c_str(), source.c_str(), nullptr};
        execv("/usr/sbin/gpsd", const_cast<char* const*>(args));
        execvp("gpsd", const_cast<char* const*>(args));
        _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "gpsd exited at once (status " + std::to_string(status) + "); is it installed?";
            return false;
        }
        if (Accepts(tcpPort_)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error = "gpsd did not accept connections within 5 s";
    Kill();
    return false;
}

void GpsdHarness::Kill(bool abruptly) {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, abruptly ? SIGKILL : SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void GpsdHarness::Send(const std::string& sentences) const {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = Loopback(udpPort_);
    sendto(fd, sentences.data(), sentences.size(), 0, reinterpret_cast<sockaddr*>(&address),
           sizeof address);
    close(fd);
}

void GpsdHarness::SendFix(double lat, double lon) {
    Send(nmea::Rmc(lat, lon, ++second_));
}

void GpsdHarness::SendNoFix() {
    Send(nmea::RmcNoFix(++second_));
}

}  // namespace zentorak::testing
