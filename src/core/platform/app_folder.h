// The folder that holds zentorak.ini and the ports/ links. Run from a folder it may write (a
// build folder, a folder copied by hand) the program keeps them beside its executable; an
// installed copy keeps them in the user's configuration folder, $XDG_CONFIG_HOME/zentorak
// (~/.config/zentorak when that is unset). Decides and creates the folder; reads no file in it.
#pragma once

#include <functional>
#include <string>

namespace zentorak {

// The program's name among the installed applications: the desktop entry is kAppId.desktop,
// the window class and the folder under the configuration folder are kAppId too.
inline constexpr char kAppId[] = "zentorak";

// What the decision looks at. The running program fills it from its own process; tests pass
// their own.
struct AppFolderInputs {
    std::string executable;     // full path, '/' separated; empty when it cannot be told
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME as set (ignored unless an absolute path)
    std::string home;           // $HOME, else the home folder of the user's account
    std::function<bool(const std::string& folder)> mayWrite;
    std::function<bool(const std::string& path)> exists;
};

struct AppFolder {
    std::string path;  // without a trailing '/' (except the root "/")
    bool besideExecutable = false;
};

// Beside the executable when its folder may be written and the executable is not an installed
// copy (PREFIX/bin/zentorak with the desktop entry at PREFIX/share/applications, as the install
// rules lay it out: an install into a prefix the user may write, ~/.local for example, is still
// an install). Otherwise the configuration folder; and when not even a home folder is known, the
// executable's folder after all, where a failed write is then reported as usual.
AppFolder ChooseAppFolder(const AppFolderInputs& in);

// The running executable's full path (/proc/self/exe), or "" when it cannot be told.
std::string ExecutablePath();

// The running process: its executable, the environment and the account's home, access(2).
AppFolderInputs ProcessAppFolderInputs();

// Creates the folder and its missing parents (new folders with mode 0700, as configuration
// folders are): 0, or the errno of the failure.
int CreateAppFolder(const AppFolder& folder);

// The running program's folder, decided once per process so that it cannot change under a
// running program, and created when missing (the first start of an installed copy). A folder
// that cannot be created shows up later as the failure to write the settings file in it.
const AppFolder& ProgramAppFolder();

// A folder only this user may enter, for the single-instance socket: xdgRuntimeDir when it is
// an absolute path to a folder of the user's own that nobody else may enter; else
// tempFolder/zentorak-<uid>, created with mode 0700 when missing. "" when that name is taken by
// anything but such a folder (another user may have made it first): the caller then does
// without.
std::string PrivateRuntimeFolder(const std::string& xdgRuntimeDir, const std::string& tempFolder);

// The settings file to read at start when settingsFile (in the chosen folder) does not exist
// yet: the one beside the executable, when the chosen folder is the configuration folder only
// because the executable's folder may not be written (a read-only copy, not an installed one).
// Changes are then saved to settingsFile, which is read from then on. "" when there is none.
std::string SettingsFileToRead(const AppFolderInputs& in, const AppFolder& chosen,
                               const std::string& name);

// path/name, without a doubled '/' for the root folder.
std::string AppFolderFile(const AppFolder& folder, const std::string& name);

}  // namespace zentorak
