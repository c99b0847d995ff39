#include "geo/search.h"

#include <algorithm>
#include <new>

#include "geo/nearest_walk.h"
#include "geo/target_store.h"

namespace zentorak {

int FoundTargets::Allocate(int newCapacity) {
    count = 0;
    try {
        targets.assign(static_cast<size_t>(newCapacity > 0 ? newCapacity : 0), nullptr);
    } catch (const std::bad_alloc&) {
        targets.clear();
        return -101;
    }
    return 0;
}

int SearchNearest(const TargetGrid& grid, const DmsAngle& lat, const DmsAngle& lon, int trgtSrchNum,
                  FoundTargets& found) {
    int row, column;
    if (GridCellOf(lat, lon, row, column) != 0) {
        return -101;
    }
    found.count = 0;
    int wanted = trgtSrchNum > 0 ? trgtSrchNum : 0;
    std::vector<NearestCandidate> best;
    try {
        // The list needs room for every entry plus the spare one a full list pushes off.
        if (found.capacity() < wanted + 1) {
            found.targets.resize(static_cast<size_t>(wanted) + 1, nullptr);
        }
        best.reserve(static_cast<size_t>(wanted) + 1);
        WalkNearest(grid.store(), DmsToDegrees(lat), DmsToDegrees(lon), row, column, wanted, best);
    } catch (const std::bad_alloc&) {
        found.count = 0;
        return -102;
    }
    for (const NearestCandidate& c : best) {
        found.targets[found.count++] = &grid.store().At(c.record);
    }
    return 0;
}

int SearchByConditions(const TargetGrid& grid, const ColumnMap& columns, const SearchTexts& texts,
                       FoundTargets& found) {
    bool any = false;
    for (const std::u16string& t : texts) {
        any = any || !t.empty();
    }
    if (!any) {
        return 0;
    }
    // Matching runs over the records in load order, which is the order of their texts in
    // memory; the matches are then put in grid order: cell number, then the cell list's order
    // (the record loaded last first).
    const TargetStore& store = grid.store();
    std::vector<uint64_t> matches;
    try {
        for (uint32_t i = 0; i < store.size(); ++i) {
            const TargetRecord& target = store.At(i);
            if (MatchesConditions(target, columns, texts)) {
                matches.push_back((uint64_t(TargetStore::CellOf(target)) << 32) | (UINT32_MAX - i));
            }
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::sort(matches.begin(), matches.end());
    for (uint64_t key : matches) {
        if (found.count >= found.capacity() - 1) {
            // Chosen: when the list cannot grow, the search stops with the matches so far; the
            // recorded size never exceeds what was allocated.
            try {
                found.targets.resize(found.targets.size() + 50, nullptr);
            } catch (const std::bad_alloc&) {
                return 0;
            }
        }
        found.targets[found.count++] = &store.At(UINT32_MAX - static_cast<uint32_t>(key));
    }
    return 0;
}

}  // namespace zentorak
