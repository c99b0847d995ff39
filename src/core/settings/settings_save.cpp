// Writing zentorak.ini without ever leaving a half-written file: the lines go to a temporary
// file in the same folder, which is synced and then renamed over the old file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>

#include "core/settings/settings_lines.h"
#include "core/settings/settings_store.h"
#include "core/text/text_line.h"

namespace zentorak {

namespace {

// The file the save replaces. A symbolic link is followed so that the link itself stays.
struct Target {
    std::string path;
    bool exists = false;
    struct stat status {};
};

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// 0, or kSettingsCannotCreate when the path cannot be examined or names something other than a
// regular file (a rename over a device node such as /dev/full would replace the node).
int ResolveTarget(const std::string& path, Target& target) {
    target.path = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (::lstat(target.path.c_str(), &target.status) != 0) {
            return errno == ENOENT ? 0 : kSettingsCannotCreate;
        }
        if (S_ISREG(target.status.st_mode)) {
            target.exists = true;
            return 0;
        }
        if (!S_ISLNK(target.status.st_mode)) {
            return kSettingsCannotCreate;
        }
        char link[4096];
        ssize_t n = ::readlink(target.path.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof link) {
            return kSettingsCannotCreate;
        }
        std::string next(link, static_cast<size_t>(n));
        target.path = next[0] == '/' ? next : FolderOf(target.path) + "/" + next;
    }
    return kSettingsCannotCreate;
}

// The umask, read without changing it (umask(2) would race with other threads creating files).
mode_t CurrentUmask() {
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned value;
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
            }
        }
        std::fclose(status);
    }
    return mask;
}

// An existing file keeps its permission bits and, where we may set them, its owner.
void CopyAttributes(int fd, const Target& target) {
    if (!target.exists) {
        ::fchmod(fd, 0666 & ~CurrentUmask());
        return;
    }
    ::fchmod(fd, target.status.st_mode & 07777);
    if (target.status.st_uid != ::geteuid() || target.status.st_gid != ::getegid()) {
        [[maybe_unused]] int ignored = ::fchown(fd, target.status.st_uid, target.status.st_gid);
    }
}

// CP932 as always while every value fits it; otherwise UTF-8 behind a byte-order mark, which
// the reader recognises, so that no character the user stored turns into '?'.
TextEncoding EncodingFor(const std::vector<std::u16string>& lines) {
    for (const std::u16string& line : lines) {
        if (!FitsCp932(line)) {
            return TextEncoding::kUtf8;
        }
    }
    return TextEncoding::kCp932;
}

int WriteLines(int fd, const std::vector<std::u16string>& lines, const SettingsFileCalls& calls) {
    const TextEncoding encoding = EncodingFor(lines);
    TextFileWriter writer(fd, calls.write, encoding);
    if (encoding == TextEncoding::kUtf8 && writer.WriteBytes(kUtf8ByteOrderMark) != 0) {
        return kSettingsFirstWriteFailed;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (writer.WriteTextLine(lines[i]) != 0) {
            return i == 0 ? kSettingsFirstWriteFailed : kSettingsWriteFailed;
        }
    }
    int synced = calls.fsync ? calls.fsync(fd) : ::fsync(fd);
    return synced == 0 ? 0 : kSettingsWriteFailed;
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Whether entry is a temporary file name that mkostemp makes from ".name.XXXXXX".
bool IsTemporaryName(std::string_view entry, std::string_view name) {
    constexpr size_t kRandom = 6;
    if (entry.size() != name.size() + 2 + kRandom || entry[0] != '.' ||
        entry.substr(1, name.size()) != name || entry[1 + name.size()] != '.') {
        return false;
    }
    for (char c : entry.substr(entry.size() - kRandom)) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// A save killed before its rename leaves its temporary file behind; each may be as large as the
// settings file, so the next save removes them. Only regular files of our own name pattern
// beside the settings file go; one program runs per user, so none of them is still in use.
void RemoveLeftoverTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat status {};
        if (IsTemporaryName(entry->d_name, name) &&
            ::fstatat(::dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

int WriteAndReplace(const Target& target, const std::vector<std::u16string>& lines,
                    const SettingsFileCalls& calls) {
    std::string folder = FolderOf(target.path);
    std::string name = target.path.substr(target.path.rfind('/') + 1);
    RemoveLeftoverTemporaries(folder, name);
    std::string temp = folder + "/." + name + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return kSettingsCannotCreate;
    }
    CopyAttributes(fd, target);
    int result = WriteLines(fd, lines, calls);
    if (::close(fd) != 0 && result == 0) {
        result = kSettingsWriteFailed;
    }
    if (result == 0) {
        int renamed = calls.rename ? calls.rename(temp.c_str(), target.path.c_str())
                                   : ::rename(temp.c_str(), target.path.c_str());
        result = renamed == 0 ? 0 : kSettingsWriteFailed;
    }
    if (result != 0) {
        ::unlink(temp.c_str());
        return result;
    }
    SyncFolder(folder);
    return 0;
}

}  // namespace

int SaveSettingsFile(const std::string& path, const Settings& settings,
                     const LocationInfoFileList& files, const FavoriteList& favorites,
                     const SettingsFileCalls& calls) {
    try {
        Target target;
        if (path.empty() || ResolveTarget(path, target) != 0) {
            return kSettingsCannotCreate;
        }
        return WriteAndReplace(target, SettingsFileLines(settings, files, favorites), calls);
    } catch (const std::bad_alloc&) {
        return kSettingsCannotCreate;
    }
}

int SaveSettingsFile(const std::string& path, const Settings& settings,
                     const LocationInfoFileList& files, const FavoriteList& favorites) {
    return SaveSettingsFile(path, settings, files, favorites, SettingsFileCalls{});
}

int SaveSettingsFileRetrying(const std::string& path, const Settings& settings,
                             const LocationInfoFileList& files, const FavoriteList& favorites,
                             const std::function<bool(int failure)>& retry,
                             const SettingsFileCalls& calls) {
    int result;
    while ((result = SaveSettingsFile(path, settings, files, favorites, calls)) != 0 && retry &&
           retry(result)) {
    }
    return result;
}

}  // namespace zentorak
