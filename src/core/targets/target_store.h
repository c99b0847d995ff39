// Storage behind TargetGrid: records in fixed-size chunks (their addresses never move), the item
// texts in pages of 64 records laid out column by column (so a text search scans one column like
// one long buffer; see text_pages.h), and the cell index that the searches walk.
// A page keeps its records' lines as the file has them until its texts are first needed or the
// store's threads reach it: the nearest search can run as soon as the index stands.
// Does not read files and does not search; the reader fills it and the searches read the index.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "core/platform/mapped_allocator.h"
#include "core/platform/mapped_memory.h"
#include "core/targets/target_grid.h"
#include "core/targets/text_pages.h"

namespace zentorak {

// The sub-cell (0..k-1) of a coordinate in a dense cell starting at x0 with perDegree sub-cells
// per degree; coordinates a rounding step outside the cell fall in the edge sub-cell.
inline int SubCellIndex(double x, double x0, double perDegree, int k) {
    const double s = std::floor((x - x0) * perDegree);
    if (!(s >= 0)) {
        return 0;
    }
    return s >= k ? k - 1 : static_cast<int>(s);
}
// The same for a position in milliseconds of arc in the cell whose nominal edge is `edge` (x0 in
// degrees), in integers where they give the same answer (see detail::PartsFrom).
inline int SubCellIndex(ArcAngle x, int32_t edge, double x0, int k) {
    auto inDegrees = [&] { return SubCellIndex(DmsToDegrees(x), x0, k * 10.0, k); };
    if (x.Milliseconds() < edge) {
        return inDegrees();
    }
    return std::min(detail::PartsFrom(x.Milliseconds(), edge, k, inDegrees), k - 1);
}
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

    // The cells of the grid: a slot number for every grid cell and a Cell only for the occupied
    // ones, so the index of a town-sized file does not pay 48 bytes for each of the 67,600 cells.
    class CellTable {
    public:
        const Cell& operator[](uint32_t cell) const { return cells_[slot_[cell]]; }
        Cell& operator[](uint32_t cell) { return cells_[slot_[cell]]; }
        // Gives each cell of occupied its own empty Cell; every other cell shares slot 0 (k 0).
        void Reset(const std::vector<uint32_t>& occupied);
        void Clear();

    private:
        std::vector<uint32_t> slot_;
        std::vector<Cell> cells_;
    };

    TargetStore();
    ~TargetStore();

    // Adds a record with its line, or the rest of its line after its first `skipped` columns
    // (the separator after them included), whose items the plan names. false when memory runs
    // out; the record is dropped then. Texts become readable after Flush. Waits for the decoding
    // of earlier texts first.
    // cell is CellOf the record, which the reader has worked out already.
    bool Add(ArcAngle lat, ArcAngle lon, int cell, std::string_view line,
             const std::shared_ptr<const ItemPlan>& plan, uint8_t skipped = 0) {
        // Inline, the common case: one more line of the same file on the open page, with room
        // for it, its record and its cell.
        if (openPage_ && plan.get() == stagedPlan_ && line.size() <= openRoom_ && !decoding_ &&
            count_ < records_.size() * kChunkSize && count_ < 0x7FFFFFFF &&
            addedCells_.size() < addedCells_.capacity()) {
            addedCells_.push_back(static_cast<uint32_t>(cell));
            AddToOpenPage(lat, lon, line, skipped);
            return true;
        }
        return AddOpeningPage(lat, lon, cell, line, plan, skipped);
    }
    // The lines to come take about `bytes`: the blocks of lines and of texts grow to a 128th of
    // that (64 KB to 2 MB), so what is left unused of them at the end stays small beside the file;
    // the cells of their records are given room at once (unused room is never touched).
    void ExpectLineBytes(size_t bytes);
    // Writes the last, partly filled page. Records whose page cannot be stored are dropped.
    void Flush();
    // Flush, at the end of a file's lines: the memory kept for more lines is given back.
    void EndLines();
    // Moves every record of part (filled by Add, not indexed) after the records here, in its
    // order, with its texts where they are; part is left empty. Both are flushed first. false
    // when memory runs out; then nothing has moved.
    bool Append(TargetStore& part);

    size_t size() const { return count_; }
    // The record at a storage position. Indexing moves the records into cell order; before it,
    // and for records added since, the position is the load number.
    const TargetRecord& At(uint32_t position) const {
        return records_[position >> kChunkBits][position & (kChunkSize - 1)];
    }
    // The record by load number (0 for the first target read).
    const TargetRecord& Loaded(uint32_t loadNumber) const { return At(PositionOf(loadNumber)); }
    uint32_t PositionOf(uint32_t loadNumber) const {
        return loadNumber < position_.size() ? position_[loadNumber] : loadNumber;
    }
    static uint32_t LoadNumberOf(const TargetRecord& record);
    // The grid cell (row * 260 + column) of a record; points on 46 N or 148 E lie in the last
    // row or column.
    static int CellOf(const TargetRecord& record);
    // The same from GridCellOf's row and column.
    static int CellNumber(int row, int column) {
        return std::min(row, kGridRows - 1) * kGridColumns + std::min(column, kGridColumns - 1);
    }
    // The same for the record at a position, from the index when there is one.
    int CellOfPosition(uint32_t position) const;
    static const TextPage& PageOf(const TargetRecord& record, int& place);
    void Clear();

    // The pages in load order, for scanning one column of every record.
    const std::vector<const TextPage*>& pages() const { return pages_; }

    // Decodes the texts of every page not decoded yet on up to `threads` threads of the store's
    // own, while the index is built or after it (the index and the searches by position read
    // only the points). Readers of a page that is not decoded yet decode it themselves; adding
    // records, appending or clearing waits for them all.
    void StartDecodingTexts(int threads);
    // Decodes what is left here, together with the threads, and joins them: every text is
    // readable after it.
    void FinishTexts() const;

    // Rebuilds the cell index over every record; false when memory runs out (then the index is
    // empty and searches find nothing).
    // `threads` threads share the moving of the records of a large store.
    bool BuildIndex(int threads = 1);
    bool indexed() const { return indexed_; }

    // The index. The records themselves stand in cell order, each bucket a run of positions in
    // which the record loaded last comes first, so a search reads neighbouring memory.
    CellTable cells;  // every grid cell once indexed
    std::vector<Bucket, MappedAllocator<Bucket>> buckets;
    std::vector<uint32_t> subMaps;  // sub-cell to bucket maps of the dense cells

private:
    // Small chunks: the unused tail of the last one is what a short file pays for.
    static constexpr int kChunkBits = 12;
    static constexpr size_t kChunkSize = size_t{1} << kChunkBits;
    static constexpr size_t kPoolBlock = size_t{4} << 20;  // bytes per block of page heads, at most
    static constexpr size_t kFirstPoolBlock = size_t{64} << 10;
    static constexpr size_t kRawBlock = size_t{2} << 20;  // at most; the first is kFirstRawBlock
    static constexpr size_t kFirstRawBlock = size_t{64} << 10;
    static constexpr size_t kClosed = SIZE_MAX;  // rawUsed_ when no block takes more lines

    bool AddOpeningPage(ArcAngle lat, ArcAngle lon, int cell, std::string_view line,
                        const std::shared_ptr<const ItemPlan>& plan, uint8_t skipped);
    // Files a record whose line fits the open page.
    void AddToOpenPage(ArcAngle lat, ArcAngle lon, std::string_view line, uint8_t skipped) {
        std::memcpy(openBytes_, line.data(), line.size());
        openBytes_ += line.size();
        openRoom_ -= line.size();
        rawUsed_ += line.size();
        openPage_->length[stagedCount_] = static_cast<uint32_t>(line.size());
        openPage_->skipped[stagedCount_] = skipped;
        ++stagedCount_;
        TargetRecord& record = Slot(count_);
        record.lat = lat;
        record.lon = lon;
        record.text_ = 0;
        ++count_;
        indexed_ = false;
        if (stagedCount_ == kPageRecords) {
            Flush();
        }
    }
    // The decoding threads' state, which only text_pages.cpp knows; so it deletes it too.
    struct Decoding;
    struct DeleteDecoding {
        void operator()(Decoding* decoding) const;
    };
    void* PoolSpace(size_t bytes);
    void OpenRawPage();
    void MoveOpenPage(size_t more);
    RawBlock& NewRawBlock(size_t bytes);
    MappedBlock CutBlock(size_t size);
    void CloseRawBlock();
    void BeginDecoding(int threads);
    void StopDecoding();
    void FreeTexts();
    void FreeHeads();
    bool RoomToAppend(const TargetStore& part, size_t total);
    void CopyRecordsFrom(TargetStore& part);
    void TakeTextsFrom(TargetStore& part);
    TargetRecord& Slot(size_t position) {
        return records_[position >> kChunkBits][position & (kChunkSize - 1)];
    }
    void KeyCells(RecordTable& fineKey, std::vector<uint32_t>& perCell,
                  std::vector<uint32_t>& occupied);
    void PlanCells(int parts, std::vector<uint32_t>& fineStart, RecordTable& fineKey,
                   std::vector<uint32_t>& occupied, std::vector<std::vector<uint32_t>>& partRuns);
    void MoveRecords(RecordTable& to, uint32_t begin, uint32_t end, int highBit, int threads,
                     TargetRecord* scratch);
    static constexpr size_t kThreadedIndex = 65536;
    void PlaceRecords(int parts, const std::vector<uint32_t>& fineStart, RecordTable& to,
                      std::vector<std::vector<uint32_t>>& partRuns);
    void MapCellBlocks();
    void MakeBuckets(int parts, const std::vector<uint32_t>& fineStart,
                     const std::vector<uint32_t>& occupied);

    // Record chunks are mapped memory, not cleared by the program: every slot below count_ is
    // written before it is read. A chunk that Add fills is faulted in by its mapping (or cut
    // from an arena, see CutBlock), which costs less than a fault per page. Those Append
    // allocates for its copies are faulted in as they are written, while the part's chunks are
    // freed: in a large load a huge page at a time (see RoomToAppend).
    static constexpr size_t kChunkBytes = kChunkSize * 16;
    struct FreeRecords {
        void operator()(TargetRecord* chunk) const;
    };
    using RecordChunk = std::unique_ptr<TargetRecord[], FreeRecords>;
    static RecordChunk NewRecordChunk(bool faultIn);
    std::vector<RecordChunk> records_;
    size_t count_ = 0;
    std::vector<MappedBlock> pool_;  // of the page heads
    size_t poolUsed_ = 0;            // bytes used in the last block
    std::vector<const TextPage*> pages_;
    std::vector<std::shared_ptr<const ItemPlan>> plans_;  // of the pages' lines
    // The item bytes waiting for their decoding; a block is given back once its last page is
    // decoded. The open block (the last) holds one count of its own until the next is opened.
    std::vector<std::unique_ptr<RawBlock>> raw_;
    size_t rawUsed_ = kClosed;
    size_t rawBlockSize_ = kFirstRawBlock;  // of the next block
    size_t largestBlock_ = kRawBlock;       // of lines and of texts
    bool cutFromArenas_ = false;            // see CutBlock
    HugePageArena arena_;
    RawPage* openPage_ = nullptr;  // the page that the staged records' lines go to
    std::unique_ptr<BlockShelf> shelf_;
    // The decoded texts: the blocks of the decoding threads, and how many pages were decoded by
    // them (pages decoded one by one by their readers have a body of their own).
    mutable std::vector<MappedBlock> bodies_;
    mutable size_t decodedPages_ = 0;
    mutable std::unique_ptr<Decoding, DeleteDecoding> decoding_;
    RecordTable position_;  // storage position of each load number, once indexed
    // The cells of the last records added (all of them, unless memory ran short), until they are
    // indexed: the index need not work them out again.
    RecordTable addedCells_;
    std::vector<uint32_t> cellFirst_, cellNumber_;  // first position of each non-empty cell
    // For each block of 2^kCellBlockBits positions, the entry of cellFirst_ holding its first
    // position: CellOfPosition then searches only the few cells a block spans.
    static constexpr int kCellBlockBits = 8;
    std::vector<uint32_t> cellOfBlock_;
    // The records that wait for their page: their lines are in the open raw page already.
    int stagedCount_ = 0;
    const ItemPlan* stagedPlan_ = nullptr;
    // Where the open page's next line goes, and the room left there.
    char* openBytes_ = nullptr;
    size_t openRoom_ = 0;
    bool indexed_ = false;
};

}  // namespace zentorak
