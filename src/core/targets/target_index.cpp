// Building the cell index of TargetStore: the records are moved into cell order (dense cells cut
// into sub-cells), keeping within each run the cell list's order, the record loaded last first.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>

#include "core/platform/threads.h"
#include "core/targets/target_store.h"

namespace zentorak {

namespace {

constexpr uint32_t kSplitThreshold = 48;  // cells with more records get sub-cells
constexpr double kTargetsPerSub = 16.0;
constexpr int kMaxSubsPerSide = 64;
// A range of records this short, with its places and a scratch range for it (144 KB), stays in
// the second-level cache, where copying it to its places through the scratch range and back costs
// less than another pass over it.
constexpr uint32_t kScratchRecords = 4096;

// The first position of range t of `parts` equal ranges of [0, count).
size_t RangeStart(size_t count, int t, int parts) {
    return static_cast<size_t>(uint64_t{count} * static_cast<uint64_t>(t) /
                               static_cast<uint64_t>(parts));
}

// The runs of one cell (the cell itself, or its sub-cells when it is dense), numbered across the
// grid from fineBase. Made once for each stretch of records in the same cell, which files of
// places near each other have.
class CellRuns {
public:
    CellRuns(int cell, int k, uint32_t fineBase)
        : cell_(cell),
          k_(k),
          fineBase_(fineBase),
          south_(kAreaLatMinArc + cell / kGridColumns * kArcPerCell),
          west_(kAreaLonMinArc + cell % kGridColumns * kArcPerCell),
          southDegrees_(RowSouth(cell / kGridColumns)),
          westDegrees_(ColumnWest(cell % kGridColumns)) {}

    int cell() const { return cell_; }
    // The run of a record of the cell.
    uint32_t Of(const TargetRecord& r) const {
        if (k_ == 1) {
            return fineBase_;
        }
        const int a = SubCellIndex(r.lat, south_, southDegrees_, k_);
        const int b = SubCellIndex(r.lon, west_, westDegrees_, k_);
        return fineBase_ + static_cast<uint32_t>(a * k_ + b);
    }

private:
    int cell_, k_;
    uint32_t fineBase_;
    int32_t south_, west_;
    double southDegrees_, westDegrees_;
};

}  // namespace

void TargetStore::CellTable::Reset(const std::vector<uint32_t>& occupied) {
    slot_.assign(kGridCells, 0);
    cells_.assign(occupied.size() + 1, Cell{});
    for (size_t i = 0; i < occupied.size(); ++i) {
        slot_[occupied[i]] = static_cast<uint32_t>(i + 1);
    }
}

void TargetStore::CellTable::Clear() {
    std::vector<uint32_t>().swap(slot_);
    std::vector<Cell>().swap(cells_);
}

// The cell of the record at each position in fineKey, the records of each cell counted in
// perCell, and the occupied cells in order.
void TargetStore::KeyCells(RecordTable& fineKey, std::vector<uint32_t>& perCell,
                           std::vector<uint32_t>& occupied) {
    const size_t known = count_ - addedCells_.size();  // the records from here on came with theirs
    if (known == 0) {
        fineKey.swap(addedCells_);  // every cell is known: no copy, no fresh memory
    } else {
        fineKey.resize(count_);
        for (size_t p = 0; p < count_; ++p) {
            fineKey[p] = p >= known ? addedCells_[p - known]
                                    : static_cast<uint32_t>(CellOf(At(static_cast<uint32_t>(p))));
        }
    }
    for (size_t p = 0; p < count_; ++p) {
        if (perCell[fineKey[p]]++ == 0) {
            occupied.push_back(fineKey[p]);
        }
    }
    std::sort(occupied.begin(), occupied.end());
}

// Chooses the sub-cells of each cell and counts the records of every run; fineKey receives
// the run of the record at each position, fineStart the first position of each run (and the
// end). The runs are worked out on `parts` threads, each over a range of positions (see
// RangeStart); partRuns[t] receives range t's count of records in each run.
void TargetStore::PlanCells(int parts, std::vector<uint32_t>& fineStart, RecordTable& fineKey,
                            std::vector<uint32_t>& occupied,
                            std::vector<std::vector<uint32_t>>& partRuns) {
    std::vector<uint32_t> perCell(kGridCells, 0);
    KeyCells(fineKey, perCell, occupied);
    // Only occupied cells are visited from here on, so small files index quickly.
    cells.Reset(occupied);
    std::vector<uint32_t>& fineBase = perCell;  // reused: counts become run numbers
    uint32_t fines = 0;
    for (uint32_t c : occupied) {
        uint32_t n = perCell[c];
        int k = n == 0 ? 0 : 1;
        if (n > kSplitThreshold) {
            k = std::clamp(static_cast<int>(std::ceil(std::sqrt(n / kTargetsPerSub))), 2,
                           kMaxSubsPerSide);
        }
        cells[c].k = static_cast<uint16_t>(k);
        fineBase[c] = fines;
        fines += static_cast<uint32_t>(k * k);
    }
    partRuns.assign(static_cast<size_t>(parts), std::vector<uint32_t>(fines, 0));
    const CellTable& table = cells;
    InParts(parts, [&](int t) {
        uint32_t* runs = partRuns[static_cast<size_t>(t)].data();
        // The bounds are worked out once: the counts written below may alias `parts`, which
        // would have the division done again at every record.
        const size_t first = RangeStart(count_, t, parts), end = RangeStart(count_, t + 1, parts);
        CellRuns here(0, table[0].k, fineBase[0]);
        for (size_t p = first; p < end; ++p) {
            const int cell = static_cast<int>(fineKey[p]);
            if (cell != here.cell()) {
                here = CellRuns(cell, table[cell].k, fineBase[cell]);
            }
            const uint32_t fine = here.Of(At(static_cast<uint32_t>(p)));
            fineKey[p] = fine;
            ++runs[fine];
        }
    });
    fineStart.assign(fines + 1, 0);
    for (uint32_t f = 0; f < fines; ++f) {
        uint32_t n = 0;
        for (const std::vector<uint32_t>& runs : partRuns) {
            n += runs[f];
        }
        fineStart[f + 1] = fineStart[f] + n;
    }
    for (uint32_t c : occupied) {
        cells[c].firstBucket = fineBase[c];  // the run number, until MakeBuckets
    }
}

// Moves the records of [begin, end) to their places to[p], which are a permutation of the same
// range sharing every bit from highBit up. Large ranges are split, in place, by the next bits of
// the place into up to 256 parts (each part's range follows from its bits, so nothing is
// counted), writing each part from its start like a stream; the parts are then split further.
// Following the permutation's cycles instead would wait for a miss at every step, in one cycle as
// long as the file; these passes are prefetched streams. Small ranges, in cache by then, are
// copied to their places in a scratch range and back. The parts after the first split share
// nothing, so `threads` threads take them, thread t with the kScratchRecords records of scratch
// from scratch + t * kScratchRecords.
// One piece: the index's hot loop, whose steps share the parts' bounds and cursors.
void TargetStore::MoveRecords(RecordTable& to, uint32_t begin, uint32_t end, int highBit,
                              int threads, TargetRecord* scratch) {
    if (end - begin <= kScratchRecords) {
        // No step waits for the one before it, as following the permutation's cycles would: the
        // copies stream (on one core, 0.5 ms off the town points' index and 2.7 ms off the
        // national set's).
        for (uint32_t i = begin; i < end; ++i) {
            scratch[to[i] - begin] = Slot(i);
        }
        for (uint32_t i = begin; i < end; ++i) {
            Slot(i) = scratch[i - begin];
        }
        return;
    }
    const int lowBit = std::max(0, highBit - 8);
    const uint32_t parts = 1u << (highBit - lowBit);
    auto partOf = [&](uint32_t place) { return (place >> lowBit) & (parts - 1); };
    std::array<uint32_t, 256> first{}, next{}, stop{};
    for (uint32_t d = 0; d < parts; ++d) {
        const uint64_t start = (uint64_t{begin} >> highBit << highBit) + (uint64_t{d} << lowBit);
        first[d] = next[d] = static_cast<uint32_t>(std::clamp<uint64_t>(start, begin, end));
        stop[d] = static_cast<uint32_t>(
            std::clamp<uint64_t>(start + (uint64_t{1} << lowBit), begin, end));
    }
    auto fetch = [&](uint32_t p) {
        if (p < end) {
            const char* r = reinterpret_cast<const char*>(&Slot(p));
            __builtin_prefetch(r, 1);
            __builtin_prefetch(r + sizeof(TargetRecord) - 1, 1);
            __builtin_prefetch(&to[p], 1);
        }
    };
    constexpr uint32_t kAhead = 8;
    for (uint32_t d = 0; d < parts; ++d) {
        fetch(next[d] + kAhead);
    }
    // One step for part d: the record at its next place stays when it belongs there, or else goes
    // to the next place of its own part, and the one there comes here to be looked at. false
    // once every place of d holds its own.
    auto step = [&](uint32_t d) {
        const uint32_t here = next[d];
        if (here >= stop[d]) {
            return false;
        }
        const uint32_t x = partOf(to[here]);
        if (x == d) {
            next[d] = here + 1;
            fetch(here + 1 + kAhead);
            return true;
        }
        const uint32_t there = next[x]++;
        fetch(next[x] + kAhead);
        std::swap(Slot(here), Slot(there));
        std::swap(to[here], to[there]);
        return true;
    };
    // Each step waits for the one before it in its part (the record it looks at is the one the
    // last swap brought), so two parts are worked at once, step for step: their chains of loads
    // overlap. A step of one can move a record into the other's next place; the other then reads
    // its next place afresh, so any order of steps sorts the same.
    uint32_t a = 0, b = 1, following = 2;
    while (a < parts || b < parts) {
        if (a < parts && !step(a)) {
            a = following < parts ? following++ : parts;
        }
        if (b < parts && !step(b)) {
            b = following < parts ? following++ : parts;
        }
    }
    InQueue(threads, parts, [&](int t, size_t d) {
        if (stop[d] > first[d] + 1) {
            MoveRecords(to, first[d], stop[d], lowBit, 1,
                        scratch + static_cast<size_t>(t) * kScratchRecords);
        }
    });
}

namespace {

// The bucket of the records at [begin, end), with their exact bounding box.
TargetStore::Bucket BucketOver(const TargetStore& store, uint32_t begin, uint32_t end) {
    // Degrees grow with the milliseconds, so the box's edges are those of the extremes.
    int32_t latLow = INT32_MAX, latHigh = INT32_MIN, lonLow = INT32_MAX, lonHigh = INT32_MIN;
    for (uint32_t p = begin; p < end; ++p) {
        const int32_t lat = store.At(p).lat.Milliseconds(), lon = store.At(p).lon.Milliseconds();
        latLow = std::min(latLow, lat), latHigh = std::max(latHigh, lat);
        lonLow = std::min(lonLow, lon), lonHigh = std::max(lonHigh, lon);
    }
    auto degrees = [](int32_t ms) { return DmsToDegrees(ArcAngle::FromMilliseconds(ms)); };
    return {degrees(latLow), degrees(latHigh), degrees(lonLow), degrees(lonHigh), begin, end};
}

// The cells are shared out by their records: part t of `parts` takes the occupied cells from the
// first whose records start in its range of positions (see RangeStart) on. The last entry is
// the end.
std::vector<size_t> FirstCellOfParts(const TargetStore::CellTable& cells, size_t count, int parts,
                                     const std::vector<uint32_t>& fineStart,
                                     const std::vector<uint32_t>& occupied) {
    const size_t cellCount = occupied.size();
    std::vector<size_t> firstCell(static_cast<size_t>(parts) + 1, cellCount);
    firstCell[0] = 0;
    for (size_t i = 0, t = 1; i < cellCount && t < static_cast<size_t>(parts); ++i) {
        const uint32_t start = fineStart[cells[occupied[i]].firstBucket];
        for (; t < static_cast<size_t>(parts) &&
               start >= RangeStart(count, static_cast<int>(t), parts);
             ++t) {
            firstCell[t] = i;
        }
    }
    return firstCell;
}

}  // namespace

void TargetStore::MakeBuckets(int parts, const std::vector<uint32_t>& fineStart,
                              const std::vector<uint32_t>& occupied) {
    // Where each cell's buckets and sub-cell map go, so that the cells can be done apart. Exact
    // sizes up front: a growing vector would hold its old and new blocks at once.
    const size_t cellCount = occupied.size();
    std::vector<uint32_t> bucketBase(cellCount + 1, 0), subBase(cellCount + 1, 0);
    for (size_t i = 0; i < cellCount; ++i) {
        const Cell& cell = cells[occupied[i]];
        const uint32_t fine = cell.firstBucket, runs = static_cast<uint32_t>(cell.k) * cell.k;
        uint32_t used = 0;
        for (uint32_t r = 0; r < runs; ++r) {
            used += fineStart[fine + r] != fineStart[fine + r + 1];
        }
        bucketBase[i + 1] = bucketBase[i] + used;
        subBase[i + 1] = subBase[i] + (cell.k > 1 ? runs : 0);
    }
    buckets.resize(bucketBase.back());
    subMaps.assign(subBase.back(), kNoBucket);
    cellFirst_.resize(cellCount);
    cellNumber_.resize(cellCount);
    const std::vector<size_t> firstCell =
        FirstCellOfParts(cells, count_, parts, fineStart, occupied);
    InParts(parts, [&](int t) {
        for (size_t i = firstCell[static_cast<size_t>(t)];
             i < firstCell[static_cast<size_t>(t) + 1]; ++i) {
            Cell& cell = cells[occupied[i]];
            const uint32_t fine = cell.firstBucket, runs = static_cast<uint32_t>(cell.k) * cell.k;
            cellFirst_[i] = fineStart[fine];
            cellNumber_[i] = occupied[i];
            cell.firstBucket = bucketBase[i];
            cell.subMap = cell.k > 1 ? subBase[i] : 0;
            cell.minLat = cell.minLon = HUGE_VAL;
            cell.maxLat = cell.maxLon = -HUGE_VAL;
            uint32_t next = bucketBase[i];
            for (uint32_t r = 0; r < runs; ++r) {
                const uint32_t begin = fineStart[fine + r], end = fineStart[fine + r + 1];
                if (begin == end) {
                    continue;
                }
                const Bucket b = BucketOver(*this, begin, end);
                cell.minLat = std::min(cell.minLat, b.minLat),
                cell.maxLat = std::max(cell.maxLat, b.maxLat);
                cell.minLon = std::min(cell.minLon, b.minLon),
                cell.maxLon = std::max(cell.maxLon, b.maxLon);
                if (cell.k > 1) {
                    subMaps[cell.subMap + r] = next;
                }
                buckets[next++] = b;
            }
        }
    });
}

int TargetStore::CellOfPosition(uint32_t position) const {
    if (!indexed_) {
        return CellOf(At(position));
    }
    // The last cell starting at or before the position, by a branch-free binary search over the
    // cells its block spans (the text search asks this for every match).
    const size_t block = position >> kCellBlockBits;
    const size_t from = cellOfBlock_[block];
    const size_t to =
        block + 1 < cellOfBlock_.size() ? cellOfBlock_[block + 1] : cellFirst_.size() - 1;
    const uint32_t* base = cellFirst_.data() + from;
    size_t n = to - from + 1;
    while (n > 1) {
        size_t half = n / 2;
        base = base[half] <= position ? base + half : base;
        n -= half;
    }
    return static_cast<int>(cellNumber_[static_cast<size_t>(base - cellFirst_.data())]);
}

void TargetStore::MapCellBlocks() {
    cellOfBlock_.assign((count_ >> kCellBlockBits) + 1, 0);
    size_t i = 0;
    for (size_t b = 0; b < cellOfBlock_.size(); ++b) {
        const uint64_t first = uint64_t{b} << kCellBlockBits;
        while (i + 1 < cellFirst_.size() && cellFirst_[i + 1] <= first) {
            ++i;
        }
        cellOfBlock_[b] = static_cast<uint32_t>(i);
    }
}

// The run of each position in `to` (from PlanCells) becomes the new position of its record, there
// and in position_. Walking the load numbers downwards gives each run the cell list's order.
void TargetStore::PlaceRecords(int parts, const std::vector<uint32_t>& fineStart, RecordTable& to,
                               std::vector<std::vector<uint32_t>>& partRuns) {
    if (position_.empty()) {
        // Nothing was indexed before: every record stands at its load number, so the ranges
        // of positions that PlanCells counted are ranges of load numbers, and each walks on
        // its own from where the later ranges' records of each run end.
        const size_t fines = fineStart.size() - 1;
        for (size_t f = 0; f < fines; ++f) {
            uint32_t at = fineStart[f];
            for (size_t t = partRuns.size(); t-- > 0;) {
                const uint32_t n = partRuns[t][f];
                partRuns[t][f] = at;
                at += n;
            }
        }
        position_.resize(count_);
        InParts(parts, [&](int t) {
            uint32_t* cursor = partRuns[static_cast<size_t>(t)].data();
            const size_t first = RangeStart(count_, t, parts);
            for (size_t n = RangeStart(count_, t + 1, parts); n-- > first;) {
                const uint32_t slot = cursor[to[n]]++;
                to[n] = slot;
                position_[n] = slot;
            }
        });
        return;
    }
    std::vector<std::vector<uint32_t>>().swap(partRuns);
    std::vector<uint32_t> cursor(fineStart.begin(), fineStart.end() - 1);
    position_.reserve(count_);  // records loaded since the last index stand at their number
    for (size_t n = position_.size(); n < count_; ++n) {
        position_.push_back(static_cast<uint32_t>(n));
    }
    for (size_t n = count_; n-- > 0;) {
        uint32_t p = position_[n];
        uint32_t slot = cursor[to[p]]++;
        to[p] = slot;
        position_[n] = slot;
    }
}

bool TargetStore::BuildIndex(int threads) {
    Flush();
    indexed_ = false;
    cellFirst_.clear();
    cellNumber_.clear();
    cellOfBlock_.clear();
    cells.Clear();
    decltype(buckets)().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    // A large store is indexed on the threads given, each over a range of at least 32,768
    // records (and moving records with scratch of its own); a small one on this thread.
    const int parts = count_ >= kThreadedIndex
                          ? std::clamp(std::min(threads, static_cast<int>(count_ / 32768)), 1, 16)
                          : 1;
    try {
        std::vector<uint32_t> fineStart, occupied;
        RecordTable to;
        std::vector<std::vector<uint32_t>> partRuns;
        PlanCells(parts, fineStart, to, occupied, partRuns);
        RecordTable().swap(addedCells_);
        PlaceRecords(parts, fineStart, to, partRuns);
        std::vector<std::vector<uint32_t>>().swap(partRuns);
        // The places fit in 31 bits, which the passes split from the top.
        int bits = 1;
        while (bits < 31 && (uint64_t{1} << bits) < count_) {
            ++bits;
        }
        const std::unique_ptr<TargetRecord[]> scratch(
            new TargetRecord[static_cast<size_t>(parts) * kScratchRecords]);
        MoveRecords(to, 0, static_cast<uint32_t>(count_), bits, parts, scratch.get());
        RecordTable().swap(to);
        MakeBuckets(parts, fineStart, occupied);
        MapCellBlocks();
    } catch (const std::bad_alloc&) {
        cells.Clear();
        decltype(buckets)().swap(buckets);
        std::vector<uint32_t>().swap(subMaps);
        return false;
    }
    indexed_ = true;
    return true;
}

}  // namespace zentorak
