// Start-up and teardown of the program around its main window: defaults, the settings file,
// the found-target arrays, the location-info files, the soft key, the update timer, and at the
// end the settings file written again. The single-instance check and the event loop are main's.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/main_window.h"

namespace zentorak {

class Application {
public:
    // settingsPath: zentorak.ini beside the executable (tests pass their own).
    Application(AppState& state, std::string settingsPath);
    ~Application();

    // Where position updates come from; until set, updates only repaint.
    using UpdatesFactory =
        std::function<std::unique_ptr<PositionUpdates>(MainWindow& window, AppState& state)>;
    void SetPositionUpdatesFactory(UpdatesFactory factory) { factory_ = std::move(factory); }

    // Builds the window and runs the start-up steps; false when start-up failed (the user has
    // been told). The window is shown only when show is true.
    bool Start(bool show = true);
    // Idempotent; also runs when the window closes.
    void Teardown();
    MainWindow& Window() { return *window_; }

private:
    int InitApplication();
    bool ReadSettings();
    bool LoadTargets();

    AppState& state_;
    std::string settingsPath_;
    std::unique_ptr<MainWindow> window_;
    UpdatesFactory factory_;
    bool tornDown_ = false;
};

// zentorak.ini beside the running executable; empty when the path would be too long.
std::string SettingsFilePath();

}  // namespace zentorak
