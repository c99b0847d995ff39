// Building the cell index of TargetStore: the records are moved into cell order (dense cells cut
// into sub-cells), keeping within each run the cell list's order, the record loaded last first.
#include <algorithm>
#include <cmath>
#include <new>

#include "core/geo/target_store.h"

namespace zentorak {

namespace {

constexpr uint32_t kSplitThreshold = 48;  // cells with more records get sub-cells
constexpr double kTargetsPerSub = 16.0;
constexpr int kMaxSubsPerSide = 64;

// The run (cell, or sub-cell of a dense cell) of a record, numbered across the grid.
uint32_t FineKey(const TargetRecord& r, int cell, int k, uint32_t fineBase) {
    if (k == 1) {
        return fineBase;
    }
    double perDegree = k * 10.0;
    int a = SubCellIndex(DmsToDegrees(r.lat), RowSouth(cell / kGridColumns), perDegree, k);
    int b = SubCellIndex(DmsToDegrees(r.lon), ColumnWest(cell % kGridColumns), perDegree, k);
    return fineBase + static_cast<uint32_t>(a * k + b);
}

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

// Chooses the sub-cells of each cell and counts the records of every run; fineKey receives
// the run of the record at each position, fineStart the first position of each run (and the
// end).
void TargetStore::PlanCells(std::vector<uint32_t>& fineStart, std::vector<uint32_t>& fineKey,
                            std::vector<uint32_t>& occupied) {
    std::vector<uint32_t> perCell(kGridCells, 0);
    fineKey.resize(count_);
    for (size_t p = 0; p < count_; ++p) {
        fineKey[p] = static_cast<uint32_t>(CellOf(At(static_cast<uint32_t>(p))));
        if (perCell[fineKey[p]]++ == 0) {
            occupied.push_back(fineKey[p]);
        }
    }
    // Only occupied cells are visited from here on, so small files index quickly.
    std::sort(occupied.begin(), occupied.end());
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
    fineStart.assign(fines + 1, 0);
    for (size_t p = 0; p < count_; ++p) {
        int cell = static_cast<int>(fineKey[p]);
        fineKey[p] = FineKey(At(static_cast<uint32_t>(p)), cell, cells[cell].k, fineBase[cell]);
        ++fineStart[fineKey[p] + 1];
    }
    for (uint32_t f = 0; f < fines; ++f) {
        fineStart[f + 1] += fineStart[f];
    }
    for (uint32_t c : occupied) {
        cells[c].firstBucket = fineBase[c];  // the run number, until MakeBuckets
    }
}

// Moves the record at each position p to position to[p], into new chunks: reading the old ones
// in order and writing anywhere is several times faster than following the permutation's
// cycles in place, whose every step waits for a miss. Each old chunk is freed once read, so the
// records are held about twice only while the new chunks fill. moved holds as many chunks as
// records_.
void TargetStore::MoveRecords(const std::vector<uint32_t>& to,
                              std::vector<std::unique_ptr<TargetRecord[]>>& moved) {
    for (size_t p = 0; p < count_; ++p) {
        const uint32_t t = to[p];
        moved[t >> kChunkBits][t & (kChunkSize - 1)] = Slot(p);
        if ((p & (kChunkSize - 1)) == kChunkSize - 1) {
            records_[p >> kChunkBits].reset();
        }
    }
    records_ = std::move(moved);
}

void TargetStore::MakeBuckets(const std::vector<uint32_t>& fineStart,
                              const std::vector<uint32_t>& occupied) {
    // Exact sizes up front: a growing vector would hold its old and new blocks at once.
    size_t runs = 0, subs = 0;
    for (size_t f = 0; f + 1 < fineStart.size(); ++f) {
        runs += fineStart[f] != fineStart[f + 1];
    }
    for (uint32_t c : occupied) {
        subs += cells[c].k > 1 ? size_t{cells[c].k} * cells[c].k : 0;
    }
    buckets.reserve(runs);
    subMaps.reserve(subs);
    cellFirst_.reserve(occupied.size());
    cellNumber_.reserve(occupied.size());
    for (uint32_t c : occupied) {
        Cell& cell = cells[c];
        cellFirst_.push_back(fineStart[cell.firstBucket]);
        cellNumber_.push_back(c);
        uint32_t fine = cell.firstBucket;
        uint32_t runs = static_cast<uint32_t>(cell.k) * cell.k;
        cell.firstBucket = static_cast<uint32_t>(buckets.size());
        if (cell.k > 1) {
            cell.subMap = static_cast<uint32_t>(subMaps.size());
            subMaps.resize(subMaps.size() + runs, kNoBucket);
        }
        cell.minLat = cell.minLon = HUGE_VAL;
        cell.maxLat = cell.maxLon = -HUGE_VAL;
        for (uint32_t r = 0; r < runs; ++r) {
            uint32_t begin = fineStart[fine + r], end = fineStart[fine + r + 1];
            if (begin == end) {
                continue;
            }
            Bucket b{HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, begin, end};
            for (uint32_t p = begin; p < end; ++p) {
                double lat = DmsToDegrees(At(p).lat), lon = DmsToDegrees(At(p).lon);
                b.minLat = std::min(b.minLat, lat), b.maxLat = std::max(b.maxLat, lat);
                b.minLon = std::min(b.minLon, lon), b.maxLon = std::max(b.maxLon, lon);
            }
            cell.minLat = std::min(cell.minLat, b.minLat),
            cell.maxLat = std::max(cell.maxLat, b.maxLat);
            cell.minLon = std::min(cell.minLon, b.minLon),
            cell.maxLon = std::max(cell.maxLon, b.maxLon);
            if (cell.k > 1) {
                subMaps[cell.subMap + r] = static_cast<uint32_t>(buckets.size());
            }
            buckets.push_back(b);
        }
    }
}

int TargetStore::CellOfPosition(uint32_t position) const {
    if (!indexed_) {
        return CellOf(At(position));
    }
    // The last cell starting at or before the position, by a branch-free binary search (the
    // text search asks this for every match).
    const uint32_t* base = cellFirst_.data();
    size_t n = cellFirst_.size();
    while (n > 1) {
        size_t half = n / 2;
        base = base[half] <= position ? base + half : base;
        n -= half;
    }
    return static_cast<int>(cellNumber_[static_cast<size_t>(base - cellFirst_.data())]);
}

bool TargetStore::BuildIndex() {
    Flush();
    indexed_ = false;
    cellFirst_.clear();
    cellNumber_.clear();
    cells.Clear();
    std::vector<Bucket>().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    try {
        std::vector<uint32_t> fineStart, to, occupied;
        PlanCells(fineStart, to, occupied);
        std::vector<uint32_t> cursor(fineStart.begin(), fineStart.end() - 1);
        // Everything that can run out of memory comes before the first change.
        std::vector<std::unique_ptr<TargetRecord[]>> moved(records_.size());
        for (auto& chunk : moved) {
            chunk.reset(new TargetRecord[kChunkSize]);
        }
        position_.reserve(count_);  // records loaded since the last index stand at their number
        for (size_t n = position_.size(); n < count_; ++n) {
            position_.push_back(static_cast<uint32_t>(n));
        }
        // Walking the load numbers downwards gives each run the cell list's order. The run of
        // each position becomes the new position of its record.
        for (size_t n = count_; n-- > 0;) {
            uint32_t p = position_[n];
            uint32_t slot = cursor[to[p]]++;
            to[p] = slot;
            position_[n] = slot;
        }
        std::vector<uint32_t>().swap(cursor);
        MoveRecords(to, moved);
        std::vector<uint32_t>().swap(to);
        MakeBuckets(fineStart, occupied);
    } catch (const std::bad_alloc&) {
        cells.Clear();
        std::vector<Bucket>().swap(buckets);
        std::vector<uint32_t>().swap(subMaps);
        return false;
    }
    indexed_ = true;
    return true;
}

}  // namespace zentorak
