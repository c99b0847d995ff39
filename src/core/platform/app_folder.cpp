#include "core/platform/app_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace zentorak {
namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// PREFIX/bin/zentorak with PREFIX/share/applications/zentorak.desktop beside it.
bool InstalledCopy(const AppFolderInputs& in, const std::string& folder) {
    if (BaseName(folder) != "bin" || !in.exists) {
        return false;
    }
    const std::string prefix = FolderOf(folder);
    const std::string entry =
        AppFolderFile({prefix, false}, "share/applications/") + kAppId + ".desktop";
    return in.exists(entry);
}

std::string ConfigFolder(const AppFolderInputs& in) {
    std::string base;
    if (!in.xdgConfigHome.empty() && in.xdgConfigHome.front() == '/') {
        base = in.xdgConfigHome;
    } else if (!in.home.empty() && in.home.front() == '/') {
        base = AppFolderFile({in.home, false}, ".config");
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return AppFolderFile({base, false}, kAppId);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

std::string ExecutablePath() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 && static_cast<size_t>(n) < sizeof buffer
               ? std::string(buffer, static_cast<size_t>(n))
               : std::string();
}

std::string AppFolderFile(const AppFolder& folder, const std::string& name) {
    if (!folder.path.empty() && folder.path.back() == '/') {
        return folder.path + name;
    }
    return folder.path + "/" + name;
}

AppFolder ChooseAppFolder(const AppFolderInputs& in) {
    const std::string beside = FolderOf(in.executable);
    if (!beside.empty() && in.mayWrite && in.mayWrite(beside) && !InstalledCopy(in, beside)) {
        return {beside, true};
    }
    std::string config = ConfigFolder(in);
    if (config.empty()) {
        return {beside.empty() ? std::string("/") : beside, true};
    }
    return {std::move(config), false};
}

AppFolderInputs ProcessAppFolderInputs() {
    AppFolderInputs in;
    in.executable = ExecutablePath();
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
        in.xdgConfigHome = xdg;
    }
    in.home = HomeFolder();
    in.mayWrite = [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; };
    in.exists = [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; };
    return in;
}

int CreateAppFolder(const AppFolder& folder) {
    if (folder.path.empty() || folder.path.front() != '/') {
        return ENOENT;
    }
    // Each parent in turn, as mkdir -p does; one that exists already is fine.
    for (size_t slash = folder.path.find('/', 1);; slash = folder.path.find('/', slash + 1)) {
        const std::string part = folder.path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (::stat(folder.path.c_str(), &info) != 0) {
        return errno;
    }
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

namespace {

bool PrivateFolderOfOurs(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

}  // namespace

std::string PrivateRuntimeFolder(const std::string& xdgRuntimeDir, const std::string& tempFolder) {
    if (!xdgRuntimeDir.empty() && xdgRuntimeDir.front() == '/' &&
        PrivateFolderOfOurs(xdgRuntimeDir)) {
        return xdgRuntimeDir;
    }
    if (tempFolder.empty() || tempFolder.front() != '/') {
        return {};
    }
    const std::string own = AppFolderFile({tempFolder, false}, kAppId) + "-" +
                            std::to_string(static_cast<unsigned long>(::geteuid()));
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return PrivateFolderOfOurs(own) ? own : std::string();
}

std::string SettingsFileToRead(const AppFolderInputs& in, const AppFolder& chosen,
                               const std::string& name) {
    const std::string beside = FolderOf(in.executable);
    if (chosen.besideExecutable || beside.empty() || !in.exists ||
        in.exists(AppFolderFile(chosen, name)) || InstalledCopy(in, beside)) {
        return {};
    }
    const std::string file = AppFolderFile({beside, true}, name);
    return in.exists(file) ? file : std::string();
}

const AppFolder& ProgramAppFolder() {
    static const AppFolder folder = [] {
        AppFolder chosen = ChooseAppFolder(ProcessAppFolderInputs());
        if (!chosen.besideExecutable) {
            CreateAppFolder(chosen);
        }
        return chosen;
    }();
    return folder;
}

}  // namespace zentorak
