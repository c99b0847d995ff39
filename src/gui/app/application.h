// Start-up and teardown of the program around its main window: defaults, the settings file,
// the found-target arrays, the location-info files, the soft key, the update timer, and at the
// end the settings file written again. The single-instance check and the event loop are main's.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/app/app_state.h"
#include "gui/app/main_window.h"

namespace zentorak {

class Application {
public:
    // settingsPath: zentorak.ini in the program's folder (tests pass their own).
    Application(AppState& state, std::string settingsPath);
    ~Application();

    // Where position updates come from; until set, updates only repaint.
    using UpdatesFactory =
        std::function<std::unique_ptr<PositionUpdates>(MainWindow& window, AppState& state)>;
    void SetPositionUpdatesFactory(UpdatesFactory factory) { factory_ = std::move(factory); }
    // The file read at start instead of settingsPath, while settingsPath does not exist yet
    // ("" for settingsPath itself); every save still goes to settingsPath.
    void SetSettingsToRead(std::string path) { readPath_ = std::move(path); }

    // With a million targets reading the files takes most of a second. When loading in the
    // background, the window is shown and painted while a worker reads the files into the grid,
    // which nothing else touches until the worker is joined: after the first paint, or at the
    // first command or pen press, whichever comes first. Without it, start-up runs strictly in
    // order (load, then show).
    void SetBackgroundLoading(bool on) { backgroundLoading_ = on; }
    // Favourite n (from 1) becomes the origin once the files are loaded, as if chosen from the
    // menu, before any start-up update; 0, or a favourite that is not there, does nothing.
    void SetStartFavorite(int n) { startFavorite_ = n; }

    // Builds the window and runs the start-up steps; false when start-up failed (the user has
    // been told). The window is shown only when show is true.
    bool Start(bool show = true);
    // Joins the background load and finishes start-up (columns, start-up update, timer); false
    // when the files could not be loaded (the user has been told and the window closes).
    bool FinishLoading();
    bool Loading() const { return loader_.joinable(); }
    // Idempotent; also runs when the window closes. Saves the settings (see SaveAtExit).
    void Teardown();
    // The run is ending because of a signal (SIGTERM, SIGHUP, SIGINT): nobody may be there to
    // answer a message box, so a failed save at exit is written to standard error instead.
    void EndingBySignal() { endingBySignal_ = true; }
    // The system calls of the settings save; tests inject failing writes.
    void SetSettingsFileCalls(SettingsFileCalls calls) { settingsFileCalls_ = std::move(calls); }
    MainWindow& Window() { return *window_; }

private:
    int InitApplication();
    bool ReadSettings();
    void AfterLoad();
    void SaveAtExit();

    AppState& state_;
    std::string settingsPath_;
    std::string readPath_;
    std::unique_ptr<MainWindow> window_;
    UpdatesFactory factory_;
    int startFavorite_ = 0;
    bool backgroundLoading_ = false;
    std::thread loader_;
    int loadResult_ = 0;
    bool failed_ = false;
    bool tornDown_ = false;
    bool endingBySignal_ = false;
    SettingsFileCalls settingsFileCalls_;
};

// zentorak.ini in the program's folder (beside the executable, or the user's configuration
// folder for an installed copy); empty when the path would be too long.
std::string SettingsFilePath();
// zentorak.ini beside a program whose folder may not be written, while the configuration folder
// holds none yet (SettingsFileToRead); else "".
std::string SettingsFileBesideReadOnlyProgram();

}  // namespace zentorak
