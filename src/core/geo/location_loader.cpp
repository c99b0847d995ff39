// Reading location-info files into the grid. Lines are split on their raw CP932 bytes and only
// the items that are kept are decoded, straight into the grid's text pool.
#include "core/geo/location_loader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <new>

#include "core/geo/coordinate_bytes.h"
#include "core/geo/csv_split.h"
#include "core/geo/line_scanner.h"
#include "core/geo/target_store.h"
#include "core/platform/code_page.h"
#include "core/platform/regular_file.h"

namespace zentorak {

namespace {

constexpr size_t kMaxCaption = 99;

void ApplyHeader(ColumnMap& columns, const std::vector<std::u16string>& header) {
    for (int i = 0; i < kColumnSlots; ++i) {
        columns.slot[i] = -1;
    }
    for (size_t i = 0; i < header.size() && i < kColumnSlots; ++i) {
        if (!header[i].empty()) {
            columns.slot[i] = static_cast<int>(i);
            columns.columnCaption[i] = header[i].substr(0, kMaxCaption);
        }
    }
}

struct LineFields {
    std::array<std::string_view, kColumnSlots> field;
    size_t count = 0;
    std::string arena;
};

void FileTarget(TargetStore& store, const ColumnMap& columns, const LineFields& f) {
    // Without a caption for the first two columns no line has a coordinate to read.
    if (f.count < 3 || !columns.Present(0) || !columns.Present(1)) {
        return;
    }
    DmsAngle lat, lon;
    if (!ParseCoordinateBytes(f.field[0], lat) || !ParseCoordinateBytes(f.field[1], lon)) {
        return;
    }
    int row, column;
    if (GridCellOf(lat, lon, row, column) != 0) {
        return;
    }
    // A point exactly on 46 N or 148 E is inside the area's bounds, so it is kept and filed in
    // the last row or column (TargetStore::CellOf) rather than dropped.
    std::array<std::string_view, kInfoItems> items{};
    uint8_t present = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        if (columns.Present(k + 2) && static_cast<size_t>(k + 2) < f.count) {
            items[k] = f.field[k + 2];
            present |= static_cast<uint8_t>(1u << k);
        }
    }
    store.Add(lat, lon, items, present);
}

// 0 when the line is split, -100 when memory runs out. A line that gives no target is skipped
// without a word.
int AddLine(TargetStore& store, const ColumnMap& columns, std::string_view line, LineFields& f) {
    f.count = 0;
    try {
        SplitQuotedFields<char>(line, ',', '"', f.arena, [&f](std::string_view v) {
            if (f.count < kColumnSlots) {
                f.field[f.count] = v;
            }
            ++f.count;
        });
    } catch (const std::bad_alloc&) {
        return -100;
    }
    FileTarget(store, columns, f);
    return 0;
}

// Reads the target lines after the header. 0 at the end of the file; -9 on a read error.
int ReadTargets(LineScanner& reader, TargetStore& store, const ColumnMap& columns) {
    std::string_view bytes;
    int result = reader.Next(bytes);  // the header, already read
    if (result == -1) {
        return 0;
    }
    LineFields fields;
    while (result == 0) {
        result = reader.Next(bytes);
        // The piece after the last line end is a line of its own when it holds anything: a last
        // line without a line break is not lost.
        if (result != 0 && (result != -1 || bytes.empty())) {
            break;
        }
        // The text ends at a NUL byte, as a zero-terminated line would.
        bytes = bytes.substr(0, bytes.find('\0'));
        if (AddLine(store, columns, bytes, fields) != 0) {
            return -100;
        }
    }
    return result == -1 ? 0 : -9;
}

}  // namespace

int LoadLocationInfoFileUnindexed(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                                  const TextFileReader::ReadFunction& read) {
    std::vector<std::u16string> header;
    if (ReadCsvHeader(path, header) != 0) {
        return -1;
    }
    ApplyHeader(columns, header);
    if (!columns.Present(0) || !columns.Present(1)) {
        // Chosen: such a file is rejected at once (its captions stay, as for any file read).
        return -1;
    }
    int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return -1;
    }
    int result;
    try {
        // Small files get a small buffer; lines longer than it still grow it.
        struct stat info {};
        size_t block =
            fstat(fd, &info) == 0 && info.st_size >= 0
                ? std::clamp<size_t>(static_cast<size_t>(info.st_size) + 1, 4096, 1 << 20)
                : size_t{1} << 20;
        LineScanner reader(fd, read, block);
        result = ReadTargets(reader, grid.store(), columns);
        grid.store().Flush();
    } catch (const std::bad_alloc&) {
        result = -9;  // a line too long for memory is a read error, as ReadTextLine has it
    }
    ::close(fd);
    return result;
}

void IndexTargetGrid(TargetGrid& grid) {
    grid.store().BuildIndex();
}

int LoadLocationInfoFile(TargetGrid& grid, ColumnMap& columns, const std::string& path) {
    int result = LoadLocationInfoFileUnindexed(grid, columns, path);
    IndexTargetGrid(grid);
    return result;
}

int LoadAllLocationInfoFiles(TargetGrid& grid, ColumnMap& columns,
                             const LocationInfoFileList& files, std::vector<int>* fileResults) {
    if (fileResults) {
        fileResults->clear();
    }
    for (const std::u16string& file : files) {
        if (file.empty()) {
            break;
        }
        int result = LoadLocationInfoFileUnindexed(grid, columns, FileNameFromUtf16(file));
        if (fileResults) {
            fileResults->push_back(result);
        }
    }
    IndexTargetGrid(grid);
    return 0;
}

}  // namespace zentorak
