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

TargetStore::Bucket BoxOf(const double* lat, const double* lon, uint32_t from, uint32_t to,
                          uint32_t entryBase) {
    TargetStore::Bucket b{lat[from], lat[from],        lon[from],
                          lon[from], entryBase + from, entryBase + to};
    for (uint32_t i = from + 1; i < to; ++i) {
        b.minLat = std::min(b.minLat, lat[i]);
        b.maxLat = std::max(b.maxLat, lat[i]);
        b.minLon = std::min(b.minLon, lon[i]);
        b.maxLon = std::max(b.maxLon, lon[i]);
    }
    return b;
}

}  // namespace

bool TargetStore::BuildIndex() {
    Flush();
    indexed_ = false;
    std::vector<Cell>().swap(cells);
    std::vector<Bucket>().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    try {
        // Cells are computed twice rather than kept, which would cost memory per target.
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
            entryRecord[cursor[CellOf(At(static_cast<uint32_t>(i)))]++] = static_cast<uint32_t>(i);
        }
        cells.assign(kGridCells, Cell{});
        std::vector<double> lat, lon;
        std::vector<uint32_t> scratch;
        for (int c = 0; c < kGridCells; ++c) {
            if (start[c] != start[c + 1]) {
                IndexCell(c, start[c], start[c + 1], lat, lon, scratch);
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

void TargetStore::IndexCell(int cellNumber, uint32_t begin, uint32_t end, std::vector<double>& lat,
                            std::vector<double>& lon, std::vector<uint32_t>& scratch) {
    Cell& cell = cells[cellNumber];
    cell.firstBucket = static_cast<uint32_t>(buckets.size());
    uint32_t n = end - begin;
    lat.resize(n);
    lon.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        const TargetRecord& r = At(entryRecord[begin + i]);
        lat[i] = DmsToDegrees(r.lat);
        lon[i] = DmsToDegrees(r.lon);
    }
    int k = 1;
    if (n > kSplitThreshold) {
        k = std::clamp(static_cast<int>(std::ceil(std::sqrt(n / kTargetsPerSub))), 2,
                       kMaxSubsPerSide);
    }
    cell.k = static_cast<uint16_t>(k);
    double south = RowSouth(cellNumber / kGridColumns);
    double west = ColumnWest(cellNumber % kGridColumns);
    std::vector<uint32_t> counts(static_cast<size_t>(k) * k + 1, 0);
    if (k > 1) {
        // A stable counting sort by sub-cell keeps the cell list's order inside each sub-cell.
        double step = 0.1 / k;
        scratch.resize(n);
        for (uint32_t i = 0; i < n; ++i) {
            scratch[i] = static_cast<uint32_t>(SubCellIndex(lat[i], south, step, k) * k +
                                               SubCellIndex(lon[i], west, step, k));
            ++counts[scratch[i] + 1];
        }
        for (size_t s = 0; s + 1 < counts.size(); ++s) {
            counts[s + 1] += counts[s];
        }
        std::vector<double> sortedLat(n), sortedLon(n);
        std::vector<uint32_t> sortedRecord(n);
        std::vector<uint32_t> next(counts.begin(), counts.end() - 1);
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t to = next[scratch[i]]++;
            sortedLat[to] = lat[i];
            sortedLon[to] = lon[i];
            sortedRecord[to] = entryRecord[begin + i];
        }
        lat.swap(sortedLat);
        lon.swap(sortedLon);
        std::copy(sortedRecord.begin(), sortedRecord.end(), entryRecord.begin() + begin);
    } else {
        counts[1] = n;
    }
    for (uint32_t i = 0; i < n; ++i) {
        entryLat[begin + i] = static_cast<float>(lat[i] - south);
        entryLon[begin + i] = static_cast<float>(lon[i] - west);
    }
    Bucket whole = BoxOf(lat.data(), lon.data(), 0, n, begin);
    cell.minLat = whole.minLat, cell.maxLat = whole.maxLat;
    cell.minLon = whole.minLon, cell.maxLon = whole.maxLon;
    if (k > 1) {
        cell.subMap = static_cast<uint32_t>(subMaps.size());
        subMaps.resize(subMaps.size() + static_cast<size_t>(k) * k, kNoBucket);
    }
    for (int s = 0; s < k * k; ++s) {
        if (counts[s] != counts[s + 1]) {
            if (k > 1) {
                subMaps[cell.subMap + s] = static_cast<uint32_t>(buckets.size());
            }
            buckets.push_back(BoxOf(lat.data(), lon.data(), counts[s], counts[s + 1], begin));
        }
    }
}

}  // namespace zentorak
