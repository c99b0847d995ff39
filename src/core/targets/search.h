// The two searches over the target grid: the nearest targets around a point, nearest first, and
// every target whose items contain given texts, in grid order. Results reference the grid's
// records; nothing is copied.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/targets/target_grid.h"

namespace zentorak {

inline constexpr int kSearchListNoMemory = -101;  // FoundTargets::Allocate
// SearchNearest's failures.
inline constexpr int kSearchOutsideArea = -101;
inline constexpr int kSearchNoMemory = -102;

// The found-target list. targets.size() is its capacity (TrgtSrchNum + 1 after Allocate; the
// text search may enlarge it); count entries are valid.
struct FoundTargets {
    std::vector<const TargetRecord*> targets;
    int count = 0;

    int capacity() const { return static_cast<int>(targets.size()); }
    // 0, or kSearchListNoMemory. Empties the list.
    int Allocate(int capacity);
};

// Fills found with the trgtSrchNum targets nearest to the point (ties: the one offered first).
// 0; kSearchOutsideArea (the list keeps its content); kSearchNoMemory (the list is emptied).
int SearchNearest(const TargetGrid& grid, const DmsAngle& lat, const DmsAngle& lon, int trgtSrchNum,
                  FoundTargets& found);

// Texts for info slots 2..9 (index slot - 2); an empty text imposes nothing.
using SearchTexts = std::array<std::u16string, kInfoItems>;

// Appends every match to found (the caller sets found.count = 0 first), growing the list by 50
// entries at a time. Nothing changes when every text is empty. Returns 0.
int SearchByConditions(const TargetGrid& grid, const ColumnMap& columns, const SearchTexts& texts,
                       FoundTargets& found);

}  // namespace zentorak
