// A W-SIM module simulated on a pseudo-terminal: the program opens the pty's device (directly or
// through a ports/COMn link) as its serial port, and this side answers AT@LBC1, AT@LBC? and
// AT@LBC2 with the module's reply lines. Options bend the replies into the awkward cases.
#pragma once

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zentorak::wsim {

struct ModuleOptions {
    std::string lat = "35:39:29";       // N line as deg:min:sec
    std::string lon = "139:45:05";      // E line
    std::string postal;                 // seven digits, or empty for no postal-code line
    bool silent = false;                // answers nothing at all
    bool noise = false;                 // garbage before the echo and a junk line in the reply
    bool noELine = false;               // the position reply lacks its E line
    bool decimalSeconds = false;        // "N35:39:29.5": seconds with a decimal
    bool hyphenPostal = false;          // "100-0001"
    std::chrono::milliseconds late{0};  // delay before each reply
};

// The reply to one command line (without its CR), echo included; empty when silent.
std::string ReplyTo(const std::string& command, const ModuleOptions& options);

// Writes all bytes through `write` (::write on the pty's master side in the module) until done,
// stopped, or the line takes no more: a write that fails for good or writes nothing ends it (a
// lost reply, as on a real line); EINTR and EAGAIN are tried again.
using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;
void WriteAllTo(int fd, const std::string& bytes, const std::atomic<bool>& stop,
                const WriteFunction& write = ::write);

class SimulatedModule {
public:
    explicit SimulatedModule(ModuleOptions options = {});
    ~SimulatedModule();
    SimulatedModule(const SimulatedModule&) = delete;
    SimulatedModule& operator=(const SimulatedModule&) = delete;

    // Opens the pty and starts answering; false with `error` set on failure.
    bool Start(std::string& error);
    void Stop();
    // The device the program opens, e.g. /dev/pts/7.
    const std::string& DevicePath() const { return devicePath_; }
    // Makes `folder`/ports/COMn a link to the pty (replacing an old link).
    bool LinkAs(const std::filesystem::path& folder, int n, std::string& error) const;
    // Removes `folder`/ports/COMn when it is still our link (another module may have replaced it).
    void Unlink(const std::filesystem::path& folder, int n) const;
    // Commands received so far, in order, without their CR.
    std::vector<std::string> Commands() const;
    void SetOptions(const ModuleOptions& options);

private:
    void Run();
    void Answer(const std::string& command);
    void WriteAll(const std::string& bytes);

    ModuleOptions options_;
    int master_ = -1;
    int slave_ = -1;  // kept open: fixes raw mode and spares the master hang-ups
    std::string devicePath_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
};

}  // namespace zentorak::wsim
