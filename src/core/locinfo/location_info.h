// Location-info files: a header line of captions, then one target per line (latitude, longitude,
// up to eight info items), comma-separated with '"' quoting, in CP932 or UTF-8. Coordinates are
// D/M/S on the Tokyo datum or decimal degrees on WGS 84, in the first two columns or in the
// columns whose captions name them. Loads targets into the grid of 0.1-degree cells that owns
// them, and keeps the column captions. Does not store or search: see core/targets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/locinfo/file_columns.h"
#include "core/locinfo/location_info_files.h"
#include "core/targets/target_grid.h"
#include "core/text/code_page.h"

namespace zentorak {

// What loading a file gives besides 0. Targets read before a failure stay loaded.
// kLoadCannotOpen: missing, not a regular file (a FIFO, a device), or an unreadable header.
inline constexpr int kLoadCannotOpen = -1;
inline constexpr int kLoadReadFailed = -9;  // also a line too long for memory
inline constexpr int kLoadNoMemory = -100;  // a target or the header could not be kept
// SplitCsvLine's failure.
inline constexpr int kLoadSplitNoMemory = -101;

// What the reader met in one file.
struct LocationInfoFileReport {
    int result = kLoadCannotOpen;  // LoadLocationInfoFile's result
    bool headerRead = false;       // false: the fields below say nothing
    TextEncoding encoding = TextEncoding::kCp932;
    bool markedButNotUtf8 = false;      // a byte-order mark before bytes that are not UTF-8
    bool coordinatesByCaption = false;  // the coordinates are not the first two columns
    size_t targets = 0;                 // places the file gave
    size_t linesRead = 0;               // the header too
    // Lines that gave no place (lines of nothing but blanks and commas aside), and the numbers
    // of the first of them (the header is line 1).
    size_t skippedLines = 0;
    std::array<size_t, 5> firstSkipped{};
    std::vector<std::u16string> unplacedCaptions;  // item columns left without a slot
    size_t dmsLines = 0;                           // lines with both coordinates in the D/M/S form
    size_t decimalLines = 0;  // lines with both in decimal degrees (inside the area or not)
    size_t mixedLines = 0;    // lines with one coordinate in each form, skipped
    // A place list (GPX, KML, KMZ, GeoJSON): the points read (inside the area or not), and the
    // routes, tracks, lines and polygons left out.
    size_t placePoints = 0;
    size_t skippedShapes = 0;
};

// Splits one line; quote may be empty (then the line is cut at every separator). 0, or
// kLoadSplitNoMemory.
int SplitCsvLine(std::u16string_view line, std::u16string_view separator, std::u16string_view quote,
                 std::vector<std::u16string>& fields);

// The header line's fields, decoded in the file's encoding (the byte-order mark dropped): 0;
// kLoadCannotOpen (also not a regular file: a FIFO, a device); kLoadReadFailed; kLoadNoMemory
// (the split failed). The encoding chosen for the file goes to encoding when given.
int ReadCsvHeader(const std::string& path, std::vector<std::u16string>& fields,
                  TextEncoding* encoding = nullptr);

// 0 when read to the end; kLoadCannotOpen, kLoadReadFailed or kLoadNoMemory (targets read before
// a failure stay loaded; also an index that could not be built). A last line without a line
// break gives its target like every other line.
// The whole file decides whether it is UTF-8 or CP932 (file_encoding.h). Its first lines decide
// where the coordinates are (ChooseFileColumns); the other columns, in order, give slots 2 to 9.
// A line whose coordinates are decimal degrees is read as WGS 84 and held on the Tokyo datum.
int LoadLocationInfoFile(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                         const CoordinateKeywords& keywords = {});

// Loads the listed files in order up to the first empty entry, their item captions merged by name
// (CaptionMerge): every item keeps its own caption. Returns 0, or kLoadNoMemory when memory ran
// out for the index (then searches find nothing). A file that cannot be opened, gives nothing or
// runs out of memory does not fail the load: each file's report says what it gave.
int LoadAllLocationInfoFiles(TargetGrid& grid, ColumnMap& columns,
                             const LocationInfoFileList& files,
                             const CoordinateKeywords& keywords = {},
                             std::vector<LocationInfoFileReport>* reports = nullptr);

}  // namespace zentorak
