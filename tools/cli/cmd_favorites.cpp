// zentorak-cli favorites --gpx|--kml SETTINGS: the favourites of a settings file as a GPX or KML
// document on standard output, for the map apps people use beside this program.
#include <cstdio>
#include <string_view>

#include "cli.h"
#include "core/favorites/favorite_export.h"
#include "core/settings/settings_store.h"
#include "core/text/code_page.h"

namespace zentorak::cli {

namespace {

int RunFavorites(int argc, char** argv) {
    const std::string_view option = argc == 3 ? argv[1] : "";
    if (option != "--gpx" && option != "--kml") {
        return UsageError("favorites needs --gpx or --kml and SETTINGS");
    }
    Settings settings;
    LocationInfoFileList files;
    FavoriteList favorites;
    // A file read only in part would give a document that looks whole.
    if (const int load = LoadSettingsFile(argv[2], settings, files, favorites); load != 0) {
        std::fprintf(stderr, "zentorak-cli: %s cannot be read (%d); nothing written\n", argv[2],
                     load);
        return 1;
    }
    const FavoriteExport out =
        ExportFavorites(favorites, option == "--gpx" ? FavoriteFormat::kGpx : FavoriteFormat::kKml);
    for (int i : out.leftOut) {
        std::fprintf(
            stderr, "zentorak-cli: favourite %d \"%s\" lies off the globe (%s %s); left out\n",
            i + 1, ToUtf8(favorites[i].name).c_str(), ToUtf8(FormatDms(favorites[i].lat)).c_str(),
            ToUtf8(FormatDms(favorites[i].lon)).c_str());
    }
    const bool written =
        std::fwrite(out.document.data(), 1, out.document.size(), stdout) == out.document.size() &&
        std::fflush(stdout) == 0;
    if (!written) {
        std::fprintf(stderr, "zentorak-cli: the document could not be written whole\n");
    }
    return written && out.leftOut.empty() ? 0 : 1;
}

CommandRegistration reg{"favorites",
                        "favorites --gpx|--kml SETTINGS  (the favourites as GPX waypoints or KML "
                        "placemarks on WGS 84, on standard output; exit 1 when the settings file "
                        "cannot be read, a favourite is left out or the output fails, 2 on usage "
                        "errors)",
                        RunFavorites};

}  // namespace

}  // namespace zentorak::cli
