#include "wsim/wsim_module.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zentorak::wsim {

namespace {

std::string PositionLines(const ModuleOptions& o) {
    std::string lines;
    if (o.hyphenPostal) {
        lines += "100-0001\r\n";
    } else if (!o.postal.empty()) {
        lines += o.postal + "\r\n";
    }
    lines += "N" + o.lat + (o.decimalSeconds ? ".5" : "") + "\r\n";
    if (!o.noELine) {
        lines += "E" + o.lon + "\r\n";
    }
    return lines;
}

}  // namespace

std::string ReplyTo(const std::string& command, const ModuleOptions& o) {
    if (o.silent) {
        return {};
    }
    std::string reply = o.noise ? std::string("\x01\xfe#~") : std::string();
    reply += command + "\r\r\n";
    if (o.noise) {
        reply += "*NOISE 12\x7f\r\n";
    }
    if (command == "AT@LBC?") {
        reply += PositionLines(o) + "OK\r\n";
    } else if (command == "AT@LBC1" || command == "AT@LBC2") {
        reply += "OK\r\n";
    } else {
        reply += "ERROR\r\n";
    }
    return reply;
}

SimulatedModule::SimulatedModule(ModuleOptions options) : options_(std::move(options)) {}

SimulatedModule::~SimulatedModule() {
    Stop();
}

bool SimulatedModule::Start(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = "ptsname failed";
        return false;
    }
    devicePath_ = name;
    // Raw from the start, so that nothing the module says is echoed back to it before the
    // program has opened and set up the port.
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave_ < 0 || tcgetattr(slave_, &tio) != 0) {
        error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        return false;
    }
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
    stop_ = false;
    thread_ = std::thread(&SimulatedModule::Run, this);
    return true;
}

void SimulatedModule::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
    }
}

bool SimulatedModule::LinkAs(const std::filesystem::path& folder, int n, std::string& error) const {
    std::error_code ec;
    std::filesystem::create_directories(folder / "ports", ec);
    const std::filesystem::path link = folder / "ports" / ("COM" + std::to_string(n));
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(devicePath_, link, ec);
    if (ec) {
        error = "cannot create " + link.string() + ": " + ec.message();
        return false;
    }
    return true;
}

void SimulatedModule::Unlink(const std::filesystem::path& folder, int n) const {
    const std::filesystem::path link = folder / "ports" / ("COM" + std::to_string(n));
    std::error_code ec;
    if (std::filesystem::read_symlink(link, ec) == devicePath_ && !ec) {
        std::filesystem::remove(link, ec);
    }
}

std::vector<std::string> SimulatedModule::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

void SimulatedModule::SetOptions(const ModuleOptions& options) {
    std::lock_guard lock(mutex_);
    options_ = options;
}

void WriteAllTo(int fd, const std::string& bytes, const std::atomic<bool>& stop,
                const WriteFunction& write) {
    size_t done = 0;
    while (done < bytes.size() && !stop) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            // Nobody has the port open: the reply is lost, as on a real line. A write of nothing
            // sets no errno, so the one left from an earlier call must not keep us here.
            return;
        }
    }
}

void SimulatedModule::WriteAll(const std::string& bytes) {
    WriteAllTo(master_, bytes, stop_);
}

void SimulatedModule::Answer(const std::string& command) {
    ModuleOptions options;
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
        options = options_;
    }
    const std::string reply = ReplyTo(command, options);
    if (reply.empty()) {
        return;
    }
    if (options.late.count() > 0) {
        std::this_thread::sleep_for(options.late);
    }
    WriteAll(reply);
}

// Collects bytes into command lines ended by CR; LF and stray bytes before "AT" are ignored.
void SimulatedModule::Run() {
    std::string line;
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        const int ready = poll(&p, 1, 50);
        if (ready <= 0 || !(p.revents & POLLIN)) {
            if (ready > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));  // no one on the line
            }
            continue;
        }
        char buffer[256];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\r') {
                Answer(line);
                line.clear();
            } else if (buffer[i] != '\n' && line.size() < 200) {
                line += buffer[i];
            }
        }
    }
}

}  // namespace zentorak::wsim
