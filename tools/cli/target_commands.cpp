// zentorak-cli nearest, search and load: the location-info reader and the two searches on files
// named on the command line, one JSON object per line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli.h"
#include "core/app/load_report.h"
#include "core/locinfo/location_info.h"
#include "core/locinfo/place_list.h"
#include "core/targets/search.h"
#include "core/text/code_page.h"
#include "core/text/file_names.h"

namespace zentorak::cli {
namespace {

// Fills the file list from the arguments as the settings file would (at most ten files). An
// unknown option is a usage error, not a file (write ./--name for such a file).
bool FileList(int first, int argc, char** argv, LocationInfoFileList& files) {
    if (first >= argc || argc - first > kMaxLocationInfoFiles) {
        return false;
    }
    for (int i = first; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) {
            return false;
        }
    }
    for (int i = first; i < argc; ++i) {
        files[i - first] = FromUtf8(argv[i]);
    }
    return true;
}

bool ParsePositive(const char* text, int& value) {
    char* end = nullptr;
    long n = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || n <= 0 || n > 1000000) {
        return false;
    }
    value = static_cast<int>(n);
    return true;
}

// A target with its items in slot order, and the items it has under their captions (a caption
// that two slots share names the first).
void PrintTarget(int rank, const TargetRecord& target, const ColumnMap& columns) {
    std::vector<std::string> items;
    JsonObject captioned;
    std::vector<std::u16string> seen;
    for (int k = 0; k < kInfoItems; ++k) {
        items.push_back(target.HasInfo(k) ? JsonString(target.Info(k)) : "null");
        const std::u16string& caption = columns.columnCaption[static_cast<size_t>(k + 2)];
        if (columns.Present(k + 2) && target.HasInfo(k) &&
            std::find(seen.begin(), seen.end(), caption) == seen.end()) {
            seen.push_back(caption);
            captioned.Add(ToUtf8(caption), target.Info(k));
        }
    }
    JsonObject()
        .Add("rank", rank)
        .Add("lat", FormatDms(target.lat))
        .Add("lon", FormatDms(target.lon))
        .AddRaw("info", JsonArray(items))
        .AddRaw("items", captioned.str())
        .Print();
}

int Nearest(int argc, char** argv) {
    int count = 20;
    int i = 1;
    if (i + 1 < argc && std::string(argv[i]) == "--count") {
        if (!ParsePositive(argv[i + 1], count)) {
            return UsageError("--count needs a positive number");
        }
        i += 2;
    }
    DmsAngle lat, lon;
    LocationInfoFileList files;
    if (i + 2 > argc || ParseDms(FromUtf8(argv[i]), lat) != 0 ||
        ParseDms(FromUtf8(argv[i + 1]), lon) != 0 || !FileList(i + 2, argc, argv, files)) {
        return UsageError("nearest [--count N] LAT LON FILE... (at most 10 files)");
    }
    TargetGrid grid;
    ColumnMap columns;
    LoadAllLocationInfoFiles(grid, columns, files);
    FoundTargets found;
    found.Allocate(count + 1);
    int result = SearchNearest(grid, lat, lon, count, found);
    if (result != 0) {
        JsonObject().Add("result", result).Print();
        return 1;
    }
    for (int k = 0; k < found.count; ++k) {
        PrintTarget(k + 1, *found.targets[k], columns);
    }
    return 0;
}

// The program's search dialog offers texts only for the slots the column map has. A text for
// an absent slot is therefore no condition (said on standard error) and is dropped. Whether a
// condition remains.
bool KeepPresentConditions(const ColumnMap& columns, SearchTexts& texts) {
    bool any = false;
    for (int k = 0; k < kInfoItems; ++k) {
        if (!texts[k].empty() && !columns.Present(k + 2)) {
            std::fprintf(stderr,
                         "zentorak-cli: slot %d is not a column of the files; its text is no "
                         "condition\n",
                         k + 2);
            texts[k].clear();
        }
        any = any || !texts[k].empty();
    }
    return any;
}

int Search(int argc, char** argv) {
    SearchTexts texts;
    int i = 1;
    while (i + 1 < argc && std::string(argv[i]) == "--text") {
        std::string condition = argv[i + 1];
        size_t eq = condition.find('=');
        int slot = eq == 1 ? condition[0] - '0' : -1;
        if (slot < 2 || slot > 9) {
            return UsageError("--text needs SLOT=TEXT with SLOT 2..9");
        }
        texts[slot - 2] = FromUtf8(condition.substr(2));
        i += 2;
    }
    LocationInfoFileList files;
    if (!FileList(i, argc, argv, files)) {
        return UsageError("search [--text SLOT=TEXT]... FILE... (at most 10 files)");
    }
    TargetGrid grid;
    ColumnMap columns;
    LoadAllLocationInfoFiles(grid, columns, files);
    if (!KeepPresentConditions(columns, texts)) {
        std::fprintf(stderr,
                     "zentorak-cli: no condition on a column of the files remains; nothing is "
                     "searched\n");
    }
    FoundTargets found;
    found.Allocate(21);
    SearchByConditions(grid, columns, texts, found);
    for (int k = 0; k < found.count; ++k) {
        PrintTarget(k + 1, *found.targets[k], columns);
    }
    JsonObject().Add("count", found.count).Print();
    return 0;
}

// What the reader met in one file: the encoding it chose, the lines in each coordinate form, the
// places it gave, the lines it skipped (with the numbers of the first few) and what is wrong with
// it in the window's words (null encoding for a file whose header could not be read); for a place
// list also its points and the shapes left out.
std::string FileForms(const LocationInfoFileReport& report, bool placeList) {
    JsonObject forms;
    if (report.headerRead) {
        forms.Add("encoding", report.encoding == TextEncoding::kUtf8 ? "UTF-8" : "CP932");
    } else {
        forms.AddNull("encoding");
    }
    std::vector<std::string> firstSkipped;
    for (size_t k = 0; k < std::min(report.skippedLines, report.firstSkipped.size()); ++k) {
        firstSkipped.push_back(std::to_string(report.firstSkipped[k]));
    }
    std::vector<std::string> unplaced;
    for (const std::u16string& caption : report.unplacedCaptions) {
        unplaced.push_back(JsonString(caption));
    }
    forms.Add("dms_lines", static_cast<long long>(report.dmsLines))
        .Add("decimal_lines", static_cast<long long>(report.decimalLines))
        .Add("mixed_lines", static_cast<long long>(report.mixedLines))
        .Add("places", static_cast<long long>(report.targets))
        .Add("skipped_lines", static_cast<long long>(report.skippedLines))
        .AddRaw("first_skipped", JsonArray(firstSkipped))
        .AddRaw("unplaced_columns", JsonArray(unplaced))
        .Add("coordinates_by_caption", report.coordinatesByCaption ? 1 : 0)
        .Add("reason", FileProblems(report));
    if (placeList) {
        forms.Add("place_points", static_cast<long long>(report.placePoints))
            .Add("skipped_shapes", static_cast<long long>(report.skippedShapes));
    }
    return forms.str();
}

int Load(int argc, char** argv) {
    LocationInfoFileList files;
    if (!FileList(1, argc, argv, files)) {
        return UsageError("load FILE... (at most 10 files)");
    }
    TargetGrid grid;
    ColumnMap columns;
    std::vector<LocationInfoFileReport> reports;
    LoadAllLocationInfoFiles(grid, columns, files, {}, &reports);
    std::vector<std::string> captions, slots, fileResults, fileForms;
    for (int s = 0; s < kColumnSlots; ++s) {
        captions.push_back(JsonString(columns.columnCaption[s]));
        slots.push_back(std::to_string(columns.slot[s]));
    }
    for (size_t f = 0; f < reports.size(); ++f) {
        fileResults.push_back(std::to_string(reports[f].result));
        fileForms.push_back(FileForms(
            reports[f], PlaceFormatOf(FileNameFromUtf16(files[f])) != PlaceFormat::kNone));
    }
    JsonObject()
        .Add("targets", static_cast<long long>(grid.size()))
        .AddRaw("captions", JsonArray(captions))
        .AddRaw("slots", JsonArray(slots))
        .AddRaw("files", JsonArray(fileResults))
        .AddRaw("forms", JsonArray(fileForms))
        .Print();
    return 0;
}

CommandRegistration nearestCommand{"nearest", "nearest [--count N] LAT LON FILE...", Nearest};
CommandRegistration searchCommand{"search", "search [--text SLOT=TEXT]... FILE...", Search};
CommandRegistration loadCommand{"load", "load FILE...", Load};

}  // namespace
}  // namespace zentorak::cli
