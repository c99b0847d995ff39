// Location-info files: a header line of captions, then one target per line (latitude, longitude,
// up to eight info items), comma-separated with '"' quoting, CP932 text. Loads targets into the
// grid of 0.1-degree cells that owns them, and keeps the column captions.
// Does not search: see search.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/geo/dms.h"
#include "core/geo/location_info_files.h"

namespace zentorak {

inline constexpr int kColumnSlots = 10;  // slots 0 and 1: latitude and longitude
inline constexpr int kInfoItems = 8;     // slots 2..9: info[0..7]

struct ColumnMap {
    ColumnMap();  // every slot present, the default captions 緯度, 経度, 店名, ...
    bool Present(int slot) const {
        return slot >= 0 && slot < kColumnSlots && this->slot[slot] >= 0;
    }

    std::array<int, kColumnSlots> slot;  // i when column i has a caption, else -1
    std::array<std::u16string, kColumnSlots> columnCaption;  // at most 99 characters each
};

// One target. Records live in the grid's storage until the grid is cleared; everyone else holds
// plain pointers to them. Loading a file rearranges the records (into cell order for the
// searches), so pointers taken before a load must be dropped, as the found-target list is.
class TargetRecord {
public:
    DmsAngle lat;
    DmsAngle lon;

    // info[k] is absent when its slot is absent or the line was too short; an empty item is
    // present and empty.
    bool HasInfo(int k) const;
    std::u16string_view Info(int k) const;  // empty when absent

private:
    friend class TargetStore;
    // The address of the page of up to 64 records that holds the items, with the record's place
    // in the page in the low six bits (pages are 64-byte aligned).
    uintptr_t text_ = 0;
};

class TargetStore;

class TargetGrid {
public:
    TargetGrid();
    ~TargetGrid();
    TargetGrid(const TargetGrid&) = delete;
    TargetGrid& operator=(const TargetGrid&) = delete;

    size_t size() const;  // targets loaded

    // The cell lists and the storage of records and texts are private to the reader and search.
    TargetStore& store() { return *store_; }
    const TargetStore& store() const { return *store_; }

private:
    std::unique_ptr<TargetStore> store_;
};

// Splits one line; quote may be empty (then the line is cut at every separator). 0, or -101 when
// memory runs out.
int SplitCsvLine(std::u16string_view line, std::u16string_view separator, std::u16string_view quote,
                 std::vector<std::u16string>& fields);

// The header line's fields: 0; -1 cannot open, or not a regular file (a FIFO, a device); -9 read
// error; -100 split failed.
int ReadCsvHeader(const std::string& path, std::vector<std::u16string>& fields);

// 0 when read to the end; -1, -9 or -100 (targets read before a failure stay loaded). A last line
// without a line break gives its target like every other line.
int LoadLocationInfoFile(TargetGrid& grid, ColumnMap& columns, const std::string& path);

// Loads the listed files in order up to the first empty entry; each file's header rewrites the
// column map. Returns 0. The per-file results go to fileResults when given.
int LoadAllLocationInfoFiles(TargetGrid& grid, ColumnMap& columns,
                             const LocationInfoFileList& files,
                             std::vector<int>* fileResults = nullptr);

void ClearTargetGrid(TargetGrid& grid);

// The first present slot whose caption equals the keyword exactly, or -1 (also for "").
int FindColumnByCaption(const ColumnMap& columns, std::u16string_view keyword);

}  // namespace zentorak
