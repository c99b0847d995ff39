// Whether the desktop has an application for a MIME type such as x-scheme-handler/tel, found
// as xdg-mime finds it: the mimeapps.list files of the XDG configuration and data folders
// (defaults, added and removed associations), then the MimeType= lines of the installed .desktop
// files and their mimeinfo.cache. Reads files only; does not start anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentorak {

struct XdgMimeFolders {
    // In order of precedence: $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS.
    std::vector<std::string> configDirs;
    // $XDG_DATA_HOME, then $XDG_DATA_DIRS; the applications live in their applications/.
    std::vector<std::string> dataDirs;
    // $XDG_CURRENT_DESKTOP in lower case, for the desktop-specific "name-mimeapps.list".
    std::vector<std::string> desktops;

    // From the environment, with the XDG defaults for unset variables.
    static XdgMimeFolders FromEnvironment();
};

// True when an installed, not hidden application is associated with the MIME type and no
// association of higher precedence removes it.
bool HasMimeHandler(std::string_view mimeType, const XdgMimeFolders& folders);

// For a URL scheme ("tel"): HasMimeHandler("x-scheme-handler/" + scheme) in this environment.
bool HasUrlSchemeHandler(std::string_view scheme);

}  // namespace zentorak
