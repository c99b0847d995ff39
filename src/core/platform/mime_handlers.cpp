#include "core/platform/mime_handlers.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace zentorak {

namespace {

namespace fs = std::filesystem;

std::string Trim(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(begin, end - begin + 1));
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> items;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(separator, begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string item = Trim(text.substr(begin, end - begin));
        if (!item.empty()) {
            items.push_back(item);
        }
        begin = end + 1;
    }
    return items;
}

// Calls entry(group, key, value) for every "key=value" line of a desktop-entry style file.
template <typename Entry>
void ReadKeyFile(const fs::path& path, Entry entry) {
    std::ifstream in(path);
    std::string line, group;
    while (std::getline(in, line)) {
        std::string text = Trim(line);
        if (text.empty() || text[0] == '#') {
            continue;
        }
        if (text.front() == '[' && text.back() == ']') {
            group = text.substr(1, text.size() - 2);
            continue;
        }
        size_t eq = text.find('=');
        if (eq != std::string::npos) {
            entry(group, Trim(text.substr(0, eq)), Trim(text.substr(eq + 1)));
        }
    }
}

// Absolute paths only: the XDG rules ignore relative ones.
std::vector<std::string> PathList(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::vector<std::string> dirs;
    for (const std::string& dir : SplitList(value && *value ? value : fallback, ':')) {
        if (dir[0] == '/') {
            dirs.push_back(dir);
        }
    }
    return dirs;
}

std::string HomeBased(const char* variable, const char* below) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + below;
}

class Lookup {
public:
    Lookup(std::string_view mimeType, const XdgMimeFolders& folders)
        : type_(mimeType), folders_(folders) {}

    bool Found() {
        for (const fs::path& list : MimeAppsLists()) {
            if (ListNamesHandler(list)) {
                return true;
            }
        }
        for (const std::string& dir : folders_.dataDirs) {
            if (InstalledHandler(fs::path(dir) / "applications")) {
                return true;
            }
        }
        return false;
    }

private:
    std::vector<fs::path> MimeAppsLists() const {
        std::vector<fs::path> folders(folders_.configDirs.begin(), folders_.configDirs.end());
        for (const std::string& dir : folders_.dataDirs) {
            folders.push_back(fs::path(dir) / "applications");
        }
        std::vector<fs::path> lists;
        for (const fs::path& folder : folders) {
            for (const std::string& desktop : folders_.desktops) {
                lists.push_back(folder / (desktop + "-mimeapps.list"));
            }
            lists.push_back(folder / "mimeapps.list");
        }
        return lists;
    }

    // Defaults and added associations of one list; its removals apply to every later source.
    bool ListNamesHandler(const fs::path& list) {
        bool found = false;
        std::vector<std::string> removed;
        ReadKeyFile(
            list, [&](const std::string& group, const std::string& key, const std::string& value) {
                if (key != type_) {
                    return;
                }
                for (const std::string& id : SplitList(value, ';')) {
                    if (group == "Removed Associations") {
                        removed.push_back(id);
                    } else if ((group == "Default Applications" || group == "Added Associations") &&
                               Usable(id)) {
                        found = true;
                    }
                }
            });
        removed_.insert(removed.begin(), removed.end());
        return found;
    }

    // The .desktop files of one applications folder (and its subfolders) that list the type,
    // and the folder's mimeinfo.cache, which may be stale, so every id is checked.
    bool InstalledHandler(const fs::path& applications) {
        bool found = false;
        ReadKeyFile(
            applications / "mimeinfo.cache",
            [&](const std::string& group, const std::string& key, const std::string& value) {
                if (group == "MIME Cache" && key == type_) {
                    for (const std::string& id : SplitList(value, ';')) {
                        found = found || Usable(id);
                    }
                }
            });
        std::error_code error;
        fs::recursive_directory_iterator it(applications,
                                            fs::directory_options::skip_permission_denied, error);
        for (; !found && !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() != ".desktop") {
                continue;
            }
            std::string id = it->path().lexically_relative(applications).string();
            for (char& c : id) {
                c = c == '/' ? '-' : c;
            }
            found = Usable(id) && ListsType(ResolveId(id));
        }
        return found;
    }

    // The file a desktop id names: the first data folder holding it wins, also as foo/bar.desktop
    // for the id foo-bar.desktop.
    fs::path ResolveId(const std::string& id) const {
        std::vector<std::string> forms{id};
        for (size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
            std::string nested = id;
            nested[dash] = '/';
            forms.push_back(nested);
        }
        for (const std::string& dir : folders_.dataDirs) {
            for (const std::string& form : forms) {
                fs::path candidate = fs::path(dir) / "applications" / form;
                std::error_code error;
                if (fs::is_regular_file(candidate, error)) {
                    return candidate;
                }
            }
        }
        return {};
    }

    bool Usable(const std::string& id) const {
        if (removed_.count(id) != 0) {
            return false;
        }
        fs::path file = ResolveId(id);
        if (file.empty()) {
            return false;
        }
        bool hidden = false;
        ReadKeyFile(
            file, [&](const std::string& group, const std::string& key, const std::string& value) {
                hidden = hidden || (group == "Desktop Entry" && key == "Hidden" && value == "true");
            });
        return !hidden;
    }

    bool ListsType(const fs::path& file) const {
        bool lists = false;
        ReadKeyFile(
            file, [&](const std::string& group, const std::string& key, const std::string& value) {
                if (group == "Desktop Entry" && key == "MimeType") {
                    for (const std::string& type : SplitList(value, ';')) {
                        lists = lists || type == type_;
                    }
                }
            });
        return lists;
    }

    std::string type_;
    const XdgMimeFolders& folders_;
    std::set<std::string> removed_;
};

}  // namespace

XdgMimeFolders XdgMimeFolders::FromEnvironment() {
    XdgMimeFolders folders;
    folders.configDirs.push_back(HomeBased("XDG_CONFIG_HOME", "/.config"));
    for (const std::string& dir : PathList("XDG_CONFIG_DIRS", "/etc/xdg")) {
        folders.configDirs.push_back(dir);
    }
    folders.dataDirs.push_back(HomeBased("XDG_DATA_HOME", "/.local/share"));
    for (const std::string& dir : PathList("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.dataDirs.push_back(dir);
    }
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    for (std::string desktop : SplitList(desktops ? desktops : "", ':')) {
        for (char& c : desktop) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        folders.desktops.push_back(desktop);
    }
    return folders;
}

bool HasMimeHandler(std::string_view mimeType, const XdgMimeFolders& folders) {
    try {
        return Lookup(mimeType, folders).Found();
    } catch (const std::exception&) {
        return false;  // out of memory or an unreadable folder: no handler we can rely on
    }
}

bool HasUrlSchemeHandler(std::string_view scheme) {
    std::string type = "x-scheme-handler/";
    for (char c : scheme) {
        type += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return HasMimeHandler(type, XdgMimeFolders::FromEnvironment());
}

}  // namespace zentorak
