// Storage behind TargetGrid: records in fixed-size chunks (their addresses never move), the item
// texts of all records in one pool of large blocks, and the cell index that the searches walk.
// Does not read files and does not search; the reader fills it and the searches read the index.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "geo/location_info.h"

namespace zentorak {

// The sub-cell (0..k-1) of a coordinate in a dense cell starting at x0 with sub-cells of step
// degrees; coordinates a rounding step outside the cell fall in the edge sub-cell.
int SubCellIndex(double x, double x0, double step, int k);
// The nominal south and west edges of a row and a column of the grid, in degrees.
inline double RowSouth(int row) {
    return kAreaLatMin + row * 0.1;
}
inline double ColumnWest(int column) {
    return kAreaLonMin + column * 0.1;
}

class TargetStore {
public:
    // One group of entries of a cell with their exact bounding box in degrees. Dense cells are
    // cut into k x k sub-cells so that a search in a city centre touches few targets.
    struct Bucket {
        double minLat, maxLat, minLon, maxLon;
        uint32_t begin, end;  // entry range
    };
    struct Cell {
        uint32_t firstBucket = 0;
        uint32_t subMap = 0;  // k > 1: k * k bucket numbers (kNoBucket when empty) at subMap
        uint16_t k = 0;       // 0: empty cell; 1: one bucket; else sub-cells per side
        double minLat = 0, maxLat = 0, minLon = 0, maxLon = 0;
    };
    static constexpr uint32_t kNoBucket = UINT32_MAX;

    // Adds a record with the CP932 bytes of its present items (bit k of present) and files it in
    // the cell. nullptr when memory runs out; the store is unchanged then.
    const TargetRecord* Add(const DmsAngle& lat, const DmsAngle& lon, int cell,
                            const std::array<std::string_view, kInfoItems>& items, uint8_t present);

    size_t size() const { return count_; }
    const TargetRecord& At(uint32_t index) const {
        return records_[index >> kChunkBits][index & (kChunkSize - 1)];
    }
    static int CellOf(const TargetRecord& record);
    void Clear();

    // Rebuilds the cell index over every record; false when memory runs out (then the index is
    // empty and searches find nothing).
    bool BuildIndex();
    bool indexed() const { return indexed_; }

    // The index, in cell order; within a bucket the entries keep the cell list's order (the
    // record loaded last first).
    std::vector<Cell> cells;        // kGridCells entries once indexed
    std::vector<Bucket> buckets;    // in cell order
    std::vector<uint32_t> subMaps;  // sub-cell to bucket maps of the dense cells
    std::vector<double> entryLat;   // degrees of each entry
    std::vector<double> entryLon;
    std::vector<uint32_t> entryRecord;  // record number (load order) of each entry

private:
    static constexpr int kChunkBits = 15;
    static constexpr size_t kChunkSize = size_t{1} << kChunkBits;
    static constexpr size_t kPoolBlock = size_t{1} << 20;  // units per text block

    char16_t* PoolSpace(size_t units);
    void IndexCell(int cell, uint32_t begin, uint32_t end, std::vector<uint32_t>& scratch);

    std::vector<std::unique_ptr<TargetRecord[]>> records_;
    size_t count_ = 0;
    std::vector<std::unique_ptr<char16_t[]>> pool_;
    size_t poolUsed_ = 0;  // units used in the last block
    size_t poolSize_ = 0;  // units in the last block
    bool indexed_ = false;
};

}  // namespace zentorak
