#include "gui/platform/geoclue_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "nmea/nmea_sentences.h"

namespace zentorak::testing {
namespace {

using namespace std::chrono_literals;

const char kGeoclue[] = "/usr/libexec/geoclue";
const char kAgent[] = "/usr/libexec/geoclue-2.0/demos/agent";
const char kMachineConfig[] = "/etc/geoclue/geoclue.conf";

sockaddr_un UnixAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    return address;
}

bool Connects(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = UnixAddress(path);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A system bus that lets everyone own and call anything: only this test is on it.
std::string BusConfig(const std::string& socket) {
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n  <type>system</type>\n  <listen>unix:path=" +
           socket +
           "</listen>\n  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n    <allow user=\"*\"/>\n    <allow own=\"*\"/>\n"
           "    <allow send_destination=\"*\"/>\n    <allow receive_sender=\"*\"/>\n"
           "  </policy>\n</busconfig>\n";
}

// Only the NMEA source: no modem, no Wi-Fi, and the look-up by network address (which GeoClue
// makes even with Wi-Fi off) sent nowhere, so that nothing else can answer first.
std::string GeoclueConfig(const std::string& nmeaSocket) {
    return "[agent]\nwhitelist=geoclue-demo-agent\n\n"
           "[network-nmea]\nenable=true\nnmea-socket=" +
           nmeaSocket +
           "\n\n[3g]\nenable=false\n\n[cdma]\nenable=false\n\n[modem-gps]\nenable=false\n\n"
           "[wifi]\nenable=false\nurl=http://127.0.0.1:9/\n\n[compass]\nenable=false\n";
}

// The machine's own file serves only when it lets the demo agent in and reads NMEA.
bool MachineConfigServes() {
    std::istringstream in(ReadFile(kMachineConfig));
    std::string section;
    bool agent = false;
    bool nmea = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.front() == '[') {
            section = line;
        } else if (section == "[agent]" && line.rfind("whitelist=", 0) == 0) {
            agent = line.find("geoclue-demo-agent") != std::string::npos;
        } else if (section == "[network-nmea]" && line.rfind("enable=", 0) == 0) {
            nmea = line == "enable=true";
        }
    }
    return agent && nmea;
}

}  // namespace

GeoclueHarness::GeoclueHarness() {
    char pattern[] = "/tmp/zentorak-geoclue-XXXXXX";
    if (mkdtemp(pattern)) {
        folder_ = pattern;
    }
    busSocket_ = folder_ + "/bus";
    nmeaSocket_ = folder_ + "/nmea";
}

GeoclueHarness::~GeoclueHarness() {
    Stop(agent_);
    Stop(geoclue_);
    Stop(bus_);
    stop_ = true;
    if (server_.joinable()) {
        server_.join();
    }
    if (listener_ >= 0) {
        close(listener_);
    }
    if (!folder_.empty()) {
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }
}

pid_t GeoclueHarness::Spawn(const std::vector<std::string>& args, const std::string& log) {
    const pid_t pid = fork();
    if (pid == 0) {
        // A test that crashes must not leave its daemons behind.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

void GeoclueHarness::Stop(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(50ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool GeoclueHarness::Start(std::string& reason) {
    for (const char* program : {kGeoclue, kAgent, "/usr/bin/dbus-daemon"}) {
        if (access(program, X_OK) != 0) {
            reason = std::string(program) + " is missing (packages geoclue-2.0, dbus-daemon)";
            return false;
        }
    }
    if (folder_.empty()) {
        reason = "no temporary folder";
        return false;
    }
    std::ofstream(folder_ + "/bus.conf") << BusConfig(busSocket_);
    std::ofstream(folder_ + "/geoclue.conf") << GeoclueConfig(nmeaSocket_);
    bus_ = Spawn({"dbus-daemon", "--nofork", "--config-file=" + folder_ + "/bus.conf"},
                 folder_ + "/bus.log");
    for (int i = 0; i < 100 && !Connects(busSocket_); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    if (!Connects(busSocket_)) {
        reason = "the private dbus-daemon did not start: " + ReadFile(folder_ + "/bus.log");
        return false;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + busSocket_).c_str(), 1);

    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = UnixAddress(nmeaSocket_);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0) {
        reason = "cannot serve the NMEA socket";
        return false;
    }
    server_ = std::thread([this] { ServeNmea(); });
    if (!StartGeoclue(reason)) {
        return false;
    }
    agent_ = Spawn({kAgent}, folder_ + "/agent.log");
    return true;
}

// Tried in turn: the configuration of our own bind-mounted in a private mount namespace (root),
// the same in a user namespace (anyone, where the kernel allows it), and the machine's own file
// when that already enables the NMEA source for the demo agent. The namespaces have no network
// either (the bus and the NMEA socket are files, which still reach across); with the machine's
// file a network look-up could in principle answer before the NMEA socket does.
bool GeoclueHarness::StartGeoclue(std::string& reason) {
    const std::string mountThenRun = "mount --bind \"$0\" /etc/geoclue/geoclue.conf && exec " +
                                     std::string(kGeoclue) + " -t 0 -u \"$1\"";
    const std::string config = folder_ + "/geoclue.conf";
    struct Attempt {
        const char* mode;
        std::vector<std::string> args;
    };
    std::vector<Attempt> attempts = {
        {"mount namespace", {"unshare", "-m", "-n", "sh", "-c", mountThenRun, config, nmeaSocket_}},
        {"user namespace",
         {"unshare", "-r", "-m", "-n", "sh", "-c", mountThenRun, config, nmeaSocket_}},
    };
    if (MachineConfigServes()) {
        attempts.push_back({"machine configuration", {kGeoclue, "-t", "0", "-u", nmeaSocket_}});
    }
    setenv("G_MESSAGES_DEBUG", "Geoclue", 1);
    for (const Attempt& attempt : attempts) {
        geoclue_ = Spawn(attempt.args, folder_ + "/geoclue.log");
        if (WaitForName(geoclue_, 10000)) {
            mode_ = attempt.mode;
            unsetenv("G_MESSAGES_DEBUG");
            return true;
        }
        Stop(geoclue_);
    }
    unsetenv("G_MESSAGES_DEBUG");
    reason = "GeoClue did not start on the private bus (no mount namespace allowed, and " +
             std::string(kMachineConfig) +
             " does not enable network-nmea for geoclue-demo-agent): " + GeoclueLog();
    return false;
}

bool GeoclueHarness::WaitForName(pid_t daemon, int timeoutMs) {
    QDBusConnection bus = QDBusConnection::systemBus();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(daemon, nullptr, WNOHANG) == daemon) {
            geoclue_ = -1;
            return false;
        }
        if (bus.isConnected() &&
            bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.GeoClue2"))) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

void GeoclueHarness::SetPosition(double lat, double lon) {
    std::lock_guard lock(mutex_);
    lat_ = lat;
    lon_ = lon;
}

// Twice a second to every client, stamped with the time of day, as a receiver reports.
void GeoclueHarness::ServeNmea() {
    std::vector<int> clients;
    auto next = std::chrono::steady_clock::now();
    while (!stop_) {
        pollfd wait{listener_, POLLIN, 0};
        if (poll(&wait, 1, 50) > 0) {
            const int client = accept(listener_, nullptr, nullptr);
            if (client >= 0) {
                clients.push_back(client);
            }
        }
        if (std::chrono::steady_clock::now() < next) {
            continue;
        }
        next += 500ms;
        double lat, lon;
        {
            std::lock_guard lock(mutex_);
            lat = lat_;
            lon = lon_;
        }
        const int second = static_cast<int>(std::time(nullptr) % 86400);
        const std::string text = nmea::Gga(lat, lon, second) + nmea::Rmc(lat, lon, second);
        for (auto it = clients.begin(); it != clients.end();) {
            if (send(*it, text.data(), text.size(), MSG_NOSIGNAL) < 0) {
                close(*it);
                it = clients.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (int client : clients) {
        close(client);
    }
}

std::string GeoclueHarness::GeoclueLog() const {
    // Without the line per NMEA sentence, which would hide everything else.
    std::istringstream in(ReadFile(folder_ + "/geoclue.log"));
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (line.find("Network source sent") == std::string::npos &&
            line.find("New location available") == std::string::npos) {
            text += line + "\n";
        }
    }
    return text.size() > 3000 ? text.substr(text.size() - 3000) : text;
}

}  // namespace zentorak::testing
