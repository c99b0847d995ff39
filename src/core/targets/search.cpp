#include "core/targets/search.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

#include "core/platform/threads.h"
#include "core/targets/nearest_walk.h"
#include "core/targets/target_store.h"
#include "core/targets/text_find.h"

namespace zentorak {

int FoundTargets::Allocate(int newCapacity) {
    count = 0;
    try {
        targets.assign(static_cast<size_t>(newCapacity > 0 ? newCapacity : 0), nullptr);
    } catch (const std::bad_alloc&) {
        targets.clear();
        return kSearchListNoMemory;
    }
    return 0;
}

int SearchNearest(const TargetGrid& grid, const DmsAngle& lat, const DmsAngle& lon, int trgtSrchNum,
                  FoundTargets& found) {
    int row, column;
    if (GridCellOf(lat, lon, row, column) != 0) {
        return kSearchOutsideArea;
    }
    found.count = 0;
    int wanted = trgtSrchNum > 0 ? trgtSrchNum : 0;
    thread_local std::vector<NearestCandidate> best;  // reused: no allocation per search
    try {
        // The list needs room for every entry plus the spare one a full list pushes off.
        if (found.capacity() < wanted + 1) {
            found.targets.resize(static_cast<size_t>(wanted) + 1, nullptr);
        }
        best.reserve(static_cast<size_t>(wanted) + 1);
        WalkNearest(grid.store(), DmsToDegrees(lat), DmsToDegrees(lon), row, column, wanted, best);
    } catch (const std::bad_alloc&) {
        found.count = 0;
        return kSearchNoMemory;
    }
    for (const NearestCandidate& c : best) {
        found.targets[found.count++] = &grid.store().At(c.record);
    }
    return 0;
}

namespace {

// Stores of fewer pages are scanned on one thread: starting a second costs more than it saves.
constexpr size_t kPagesForTwoThreads = 1024;

// Whether the target holds every text asked for in its item.
bool MatchesConditions(const TargetRecord& target, const ColumnMap& columns,
                       const SearchTexts& texts) {
    for (int k = 0; k < kInfoItems; ++k) {
        if (texts[k].empty() || !columns.Present(k + 2)) {
            continue;
        }
        if (!target.InfoContains(k, texts[k])) {
            return false;
        }
    }
    return true;
}

// Asks for the next page's column while this one is scanned: the columns of successive pages are
// apart in memory, which the processor's own prefetching does not foresee.
void Prefetch(const TextBody& body, int k) {
    const char* from = reinterpret_cast<const char*>(body.Texts() + body.columnStart[k]);
    const char* to = reinterpret_cast<const char*>(body.Texts() + body.columnStart[k + 1]);
    for (const char* p = from; p < to; p += 64) {
        __builtin_prefetch(p);
    }
    __builtin_prefetch(body.LengthRow(k));
}

// Calls keep with the load number of each record of the page whose item `scan` holds the
// needle (given also in one byte a unit when narrowable).
template <typename Keep>
void ScanPage(const TextPage& page, const TextBody& body, int scan, std::u16string_view needle,
              bool narrowable, const std::string& narrowNeedle, const Keep& keep) {
    const uint8_t* row = body.LengthRow(scan);  // not null once the column has a hit
    auto scanColumn = [&](auto column, auto find, auto length) {
        size_t itemStart = 0, itemLength = 0;
        int place = -1;  // the lengths are read from the first hit on
        for (size_t hit = find(column, 0); hit != column.npos; hit = find(column, hit)) {
            // Find the item holding the hit; a hit across two items is no match.
            while (itemStart + itemLength <= hit) {
                itemStart += itemLength;
                itemLength = length(++place);
            }
            size_t itemEnd = itemStart + itemLength;
            if (hit + needle.size() <= itemEnd) {
                keep(page.firstRecord + static_cast<uint32_t>(place));
                hit = itemEnd;
            } else {
                ++hit;
            }
        }
    };
    // Each form of column and of lengths has a loop of its own.
    auto scanLengths = [&](auto column, auto find) {
        if (body.lengthBytes == 1) {
            scanColumn(column, find, [row](int p) { return size_t{row[p]}; });
        } else {
            const uint32_t* wide = reinterpret_cast<const uint32_t*>(row);
            scanColumn(column, find, [wide](int p) { return size_t{wide[p]}; });
        }
    };
    if (!body.Narrow(scan)) {
        scanLengths(body.WideColumn(scan), [&](std::u16string_view column, size_t from) {
            return FindText(column, needle, from);
        });
    } else if (narrowable) {
        scanLengths(body.NarrowColumn(scan), [&](std::string_view column, size_t from) {
            return column.find(narrowNeedle, from);
        });
    }
}

// The storage positions of the matches, in load order. The most selective condition (the
// longest text) is searched column-wise through the text pages, as in one long buffer; its hits
// are then tested against every condition.
// One piece: the page loop is the text search's hot loop, run by one thread or two over the
// same set-up.
void CollectMatches(const TargetStore& store, const ColumnMap& columns, const SearchTexts& texts,
                    std::vector<uint32_t>& matches) {
    int scan = -1, conditions = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        if (columns.Present(k + 2) && !texts[k].empty()) {
            ++conditions;
            scan = scan < 0 || texts[k].size() > texts[scan].size() ? k : scan;
        }
    }
    if (scan < 0) {
        for (uint32_t i = 0; i < store.size(); ++i) {  // only texts for absent slots: all match
            matches.push_back(store.PositionOf(i));
        }
        return;
    }
    std::u16string_view needle = texts[scan];
    // A column of one byte a unit is searched for the needle in that form, when it has one.
    std::string narrowNeedle;
    const bool narrowable = NarrowText(needle, narrowNeedle);
    store.FinishTexts();  // every text is searched
    const std::vector<const TextPage*>& pages = store.pages();
    // The matches of pages [first, last) in load order.
    auto scanPages = [&](size_t first, size_t last, std::vector<uint32_t>& found) {
        auto keep = [&](uint32_t loaded) __attribute__((always_inline)) {
            uint32_t position = store.PositionOf(loaded);
            // A hit of the only condition needs no further test.
            if (conditions <= 1 || MatchesConditions(store.At(position), columns, texts)) {
                found.push_back(position);
            }
        };
        for (size_t i = first; i < last; ++i) {
            const TextPage* page = pages[i];
            const TextBody& body = page->Body();
            // Three steps ahead the page's head is asked for, two ahead the head of its texts
            // (found through the page's head, asked for the step before), one ahead the column.
            if (i + 3 < last) {
                __builtin_prefetch(pages[i + 3]);
                __builtin_prefetch(reinterpret_cast<const char*>(pages[i + 3]) + 64);
            }
            if (i + 2 < last) {
                __builtin_prefetch(pages[i + 2]->body.load(std::memory_order_relaxed));
            }
            if (i + 1 < last) {
                Prefetch(*pages[i + 1]->body.load(std::memory_order_relaxed), scan);
            }
            ScanPage(*page, body, scan, needle, narrowable, narrowNeedle, keep);
        }
    };
    // The scan waits on memory more than it computes: a large store is scanned in two halves
    // on two cores where there are two, the second half's matches put after the first's.
    const size_t n = pages.size();
    if (n < kPagesForTwoThreads || UsableCores() < 2) {
        scanPages(0, n, matches);
        return;
    }
    std::vector<uint32_t> later;
    std::atomic<bool> noMemory{false};
    InParts(2, [&](int t) {
        try {
            t == 0 ? scanPages(0, n / 2, matches) : scanPages(n / 2, n, later);
        } catch (const std::bad_alloc&) {
            noMemory = true;
        }
    });
    if (noMemory) {
        throw std::bad_alloc();
    }
    matches.insert(matches.end(), later.begin(), later.end());
}

// Grid order: cell number, then the cell list's order (the record loaded last first). The
// matches come in load order, so a counting sort by cell taken from the last match backwards
// gives it.
std::vector<uint32_t> InGridOrder(const TargetStore& store, const std::vector<uint32_t>& matches) {
    if (matches.size() < 4096) {  // few matches: a sort beats walking every cell's counter
        std::vector<std::pair<uint64_t, uint32_t>> keyed;
        for (uint32_t p : matches) {
            uint32_t loaded = TargetStore::LoadNumberOf(store.At(p));
            keyed.push_back({(uint64_t(store.CellOfPosition(p)) << 32) | (UINT32_MAX - loaded), p});
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<uint32_t> ordered;
        for (const auto& k : keyed) {
            ordered.push_back(k.second);
        }
        return ordered;
    }
    std::vector<uint32_t> cellOf(matches.size());
    std::vector<uint32_t> start(kGridCells + 1, 0);
    for (size_t i = 0; i < matches.size(); ++i) {
        cellOf[i] = static_cast<uint32_t>(store.CellOfPosition(matches[i]));
        ++start[cellOf[i] + 1];
    }
    for (int c = 0; c < kGridCells; ++c) {
        start[c + 1] += start[c];
    }
    std::vector<uint32_t> ordered(matches.size());
    for (size_t i = matches.size(); i-- > 0;) {
        ordered[start[cellOf[i]]++] = matches[i];
    }
    return ordered;
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
    std::vector<uint32_t> matches;
    try {
        CollectMatches(grid.store(), columns, texts, matches);
        matches = InGridOrder(grid.store(), matches);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // The size the list reaches by growing 50 at a time, taken in one step when memory allows.
    size_t size = found.targets.size();
    while (static_cast<size_t>(found.count) + matches.size() + 1 > size) {
        size += 50;
    }
    try {
        found.targets.resize(size, nullptr);
    } catch (const std::bad_alloc&) {
        // Grown step by step below, as far as memory goes.
    }
    for (uint32_t position : matches) {
        if (found.count >= found.capacity() - 1) {
            // Chosen: when the list cannot grow, the search stops with the matches so far; the
            // recorded size never exceeds what was allocated.
            try {
                found.targets.resize(found.targets.size() + 50, nullptr);
            } catch (const std::bad_alloc&) {
                return 0;
            }
        }
        found.targets[found.count++] = &grid.store().At(position);
    }
    return 0;
}

}  // namespace zentorak
