// zentorak-cli settings: reads a settings file and writes it back out, as a run of the program
// would from start-up to a normal end.
#include "cli.h"
#include "core/settings/settings_store.h"

namespace zentorak::cli {

namespace {

int RunSettings(int argc, char** argv) {
    if (argc != 3) {
        return UsageError("settings needs IN OUT");
    }
    Settings settings;
    LocationInfoFileList files;
    FavoriteList favorites;
    int load = LoadSettingsFile(argv[1], settings, files, favorites);
    int save = SaveSettingsFile(argv[2], settings, files, favorites);
    JsonObject().Add("load", load).Add("save", save).Print();
    return load == 0 && save == 0 ? 0 : 1;
}

CommandRegistration reg{"settings",
                        "settings IN OUT  (exit 1 when the load or the save gives a failure code, "
                        "2 on usage errors)",
                        RunSettings};

}  // namespace

}  // namespace zentorak::cli
