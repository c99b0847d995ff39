// Building the cell index of TargetStore: a counting sort of the records by cell that keeps the
// cell list's order (the record loaded last first), and sub-cells for dense cells.
#include <algorithm>
#include <cmath>
#include <new>

#include "geo/target_store.h"

namespace zentorak {

namespace {

constexpr uint32_t kSplitThreshold = 48;  // cells with more entries get sub-cells
constexpr double kTargetsPerSub = 16.0;
constexpr int kMaxSubsPerSide = 64;

TargetStore::Bucket BoxOf(const std::vector<double>& lat, const std::vector<double>& lon,
                          uint32_t begin, uint32_t end) {
    TargetStore::Bucket b{lat[begin], lat[begin], lon[begin], lon[begin], begin, end};
    for (uint32_t i = begin + 1; i < end; ++i) {
        b.minLat = std::min(b.minLat, lat[i]);
        b.maxLat = std::max(b.maxLat, lat[i]);
        b.minLon = std::min(b.minLon, lon[i]);
        b.maxLon = std::max(b.maxLon, lon[i]);
    }
    return b;
}

}  // namespace

bool TargetStore::BuildIndex() {
    indexed_ = false;
    std::vector<Cell>().swap(cells);
    std::vector<Bucket>().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    try {
        std::vector<uint32_t> start(kGridCells + 1, 0);
        for (size_t i = 0; i < count_; ++i) {
            ++start[CellOf(At(static_cast<uint32_t>(i))) + 1];
        }
        for (int c = 0; c < kGridCells; ++c) {
            start[c + 1] += start[c];
        }
        entryLat.resize(count_);
        entryLon.resize(count_);
        entryRecord.resize(count_);
        std::vector<uint32_t> cursor(start.begin(), start.end() - 1);
        for (size_t i = count_; i-- > 0;) {
            const TargetRecord& r = At(static_cast<uint32_t>(i));
            uint32_t pos = cursor[CellOf(r)]++;
            entryLat[pos] = DmsToDegrees(r.lat);
            entryLon[pos] = DmsToDegrees(r.lon);
            entryRecord[pos] = static_cast<uint32_t>(i);
        }
        cells.assign(kGridCells, Cell{});
        std::vector<uint32_t> scratch;
        for (int c = 0; c < kGridCells; ++c) {
            if (start[c] != start[c + 1]) {
                IndexCell(c, start[c], start[c + 1], scratch);
            }
        }
    } catch (const std::bad_alloc&) {
        std::vector<Cell>().swap(cells);
        std::vector<Bucket>().swap(buckets);
        std::vector<uint32_t>().swap(subMaps);
        return false;
    }
    indexed_ = true;
    return true;
}

void TargetStore::IndexCell(int cellNumber, uint32_t begin, uint32_t end,
                            std::vector<uint32_t>& scratch) {
    Cell& cell = cells[cellNumber];
    cell.firstBucket = static_cast<uint32_t>(buckets.size());
    uint32_t n = end - begin;
    int k = 1;
    if (n > kSplitThreshold) {
        k = std::clamp(static_cast<int>(std::ceil(std::sqrt(n / kTargetsPerSub))), 2,
                       kMaxSubsPerSide);
    }
    cell.k = static_cast<uint16_t>(k);
    Bucket whole = BoxOf(entryLat, entryLon, begin, end);
    cell.minLat = whole.minLat, cell.maxLat = whole.maxLat;
    cell.minLon = whole.minLon, cell.maxLon = whole.maxLon;
    if (k == 1) {
        buckets.push_back(whole);
        return;
    }
    double lat0 = RowSouth(cellNumber / kGridColumns);
    double lon0 = ColumnWest(cellNumber % kGridColumns);
    double step = 0.1 / k;
    // A stable counting sort by sub-cell keeps the cell list's order inside each sub-cell.
    scratch.resize(n);
    std::vector<uint32_t> counts(static_cast<size_t>(k) * k + 1, 0);
    for (uint32_t i = 0; i < n; ++i) {
        scratch[i] = static_cast<uint32_t>(SubCellIndex(entryLat[begin + i], lat0, step, k) * k +
                                           SubCellIndex(entryLon[begin + i], lon0, step, k));
        ++counts[scratch[i] + 1];
    }
    for (size_t s = 0; s + 1 < counts.size(); ++s) {
        counts[s + 1] += counts[s];
    }
    std::vector<double> lat(n), lon(n);
    std::vector<uint32_t> rec(n);
    std::vector<uint32_t> next(counts.begin(), counts.end() - 1);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t to = next[scratch[i]]++;
        lat[to] = entryLat[begin + i];
        lon[to] = entryLon[begin + i];
        rec[to] = entryRecord[begin + i];
    }
    std::copy(lat.begin(), lat.end(), entryLat.begin() + begin);
    std::copy(lon.begin(), lon.end(), entryLon.begin() + begin);
    std::copy(rec.begin(), rec.end(), entryRecord.begin() + begin);
    cell.subMap = static_cast<uint32_t>(subMaps.size());
    subMaps.resize(subMaps.size() + static_cast<size_t>(k) * k, kNoBucket);
    for (int s = 0; s < k * k; ++s) {
        if (counts[s] != counts[s + 1]) {
            subMaps[cell.subMap + s] = static_cast<uint32_t>(buckets.size());
            buckets.push_back(BoxOf(entryLat, entryLon, begin + counts[s], begin + counts[s + 1]));
        }
    }
}

}  // namespace zentorak
