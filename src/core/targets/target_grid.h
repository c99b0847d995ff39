// The targets as the rest of the program sees them: one record per place (its point and up to
// eight info items), the grid that holds them, and the map from info slots to captions. Does not
// read files (core/locinfo) and does not search (search.h); the storage is target_store.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

inline constexpr int kColumnSlots = 10;  // slots 0 and 1: latitude and longitude
inline constexpr int kInfoItems = 8;     // slots 2..9: info[0..7]

struct ColumnMap {
    ColumnMap();  // every slot present, the default captions 緯度, 経度, 店名, ...
    bool Present(int slot) const {
        return slot >= 0 && slot < kColumnSlots && this->slot[slot] >= 0;
    }

    // The file column (0-based) that gives slot i, -1 when absent: column i for files whose
    // first two columns are the coordinates, else the columns named by caption (see
    // LoadLocationInfoFile).
    std::array<int, kColumnSlots> slot;
    std::array<std::u16string, kColumnSlots> columnCaption;  // at most 99 characters each
};

// One target. Records live in the grid's storage until the grid is cleared; everyone else holds
// plain pointers to them. Loading a file rearranges the records (into cell order for the
// searches), so pointers taken before a load must be dropped, as the found-target list is.
class TargetRecord {
public:
    ArcAngle lat;
    ArcAngle lon;

    // info[k] is absent when its slot is absent or the line was too short; an empty item is
    // present and empty.
    bool HasInfo(int k) const;
    std::u16string Info(int k) const;  // empty when absent
    // Whether info[k] is present and holds text.
    bool InfoContains(int k, std::u16string_view text) const;

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

void ClearTargetGrid(TargetGrid& grid);

// FindColumnByCaption's answer when no slot has the caption.
inline constexpr int kSearchNoColumn = -1;

// The first present slot whose caption equals the keyword exactly, or kSearchNoColumn (also for
// "").
int FindColumnByCaption(const ColumnMap& columns, std::u16string_view keyword);

}  // namespace zentorak
