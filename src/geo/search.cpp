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

namespace {

// The record numbers of the matches, keyed for grid order. The most selective condition (the
// longest text) is searched column-wise through the text pages, as in one long buffer; its hits
// are then tested against every condition.
void CollectMatches(const TargetStore& store, const ColumnMap& columns, const SearchTexts& texts,
                    std::vector<uint64_t>& matches) {
    int scan = -1;
    for (int k = 0; k < kInfoItems; ++k) {
        if (columns.Present(k + 2) && !texts[k].empty() &&
            (scan < 0 || texts[k].size() > texts[scan].size())) {
            scan = k;
        }
    }
    int conditions = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        conditions += columns.Present(k + 2) && !texts[k].empty();
    }
    // A hit of the only condition needs no further test.
    bool verify = conditions != 1;
    auto keep = [&](uint32_t loaded) {
        const TargetRecord& target = store.Loaded(loaded);
        if (!verify || MatchesConditions(target, columns, texts)) {
            matches.push_back((uint64_t(TargetStore::CellOf(target)) << 32) |
                              (UINT32_MAX - loaded));
        }
    };
    if (scan < 0) {
        for (uint32_t i = 0; i < store.size(); ++i) {  // only texts for absent slots: all match
            keep(i);
        }
        return;
    }
    std::u16string_view needle = texts[scan];
    for (const TextPage* page : store.pages()) {
        uint32_t base = page->firstRecord;
        std::u16string_view column(page->Text() + page->columnStart[scan],
                                   page->columnStart[scan + 1] - page->columnStart[scan]);
        size_t itemStart = 0;
        int place = 0;
        for (size_t hit = column.find(needle); hit != column.npos; hit = column.find(needle, hit)) {
            // Find the item holding the hit; a hit across two items is no match.
            while (itemStart + page->Length(scan, place) <= hit) {
                itemStart += page->Length(scan, place++);
            }
            size_t itemEnd = itemStart + page->Length(scan, place);
            if (hit + needle.size() <= itemEnd) {
                keep(base + static_cast<uint32_t>(place));
                hit = itemEnd;
            } else {
                ++hit;
            }
        }
    }
}

}  // namespace

int SearchByConditions(const TargetGrid& grid, const ColumnMap& columns, const SearchTexts& texts,
                       FoundTargets& found) {
    bool any = false;
    for (const std::u16string& t : texts) {
        any = any || !t.empty();
    }
    if (!any) {
        return 0;
    }
    std::vector<uint64_t> matches;
    try {
        CollectMatches(grid.store(), columns, texts, matches);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // Grid order: cell number, then the cell list's order (the record loaded last first).
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
        found.targets[found.count++] =
            &grid.store().Loaded(UINT32_MAX - static_cast<uint32_t>(key));
    }
    return 0;
}

}  // namespace zentorak
