// The record chunks, the page heads and the blocks of lines that Add fills, and the moving of a
// part's records and pages into the store (Append).
#include "core/targets/target_store.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <type_traits>

namespace zentorak {

static_assert(sizeof(TargetRecord) == 16, "two angles and the page address");

TargetStore::TargetStore() : shelf_(std::make_unique<BlockShelf>()) {}

TargetStore::RecordChunk TargetStore::NewRecordChunk(bool faultIn) {
    static_assert(std::is_trivially_copyable_v<TargetRecord> &&
                  std::is_trivially_destructible_v<TargetRecord> &&
                  sizeof(TargetRecord) * kChunkSize == kChunkBytes);
    return RecordChunk(static_cast<TargetRecord*>(MapPages(kChunkBytes, faultIn)));
}

void TargetStore::FreeRecords::operator()(TargetRecord* chunk) const {
    UnmapPages(chunk, kChunkBytes);
}

TargetStore::~TargetStore() {
    StopDecoding();
    FreeTexts();
    arena_.Release();
    FreeHeads();
}

// Gives back the page heads, after their texts.
void TargetStore::FreeHeads() {
    for (MappedBlock& block : pool_) {
        block.Unmap();
    }
    std::vector<MappedBlock>().swap(pool_);
    std::vector<const TextPage*>().swap(pages_);
    poolUsed_ = 0;
}

int TargetStore::CellOf(const TargetRecord& record) {
    int row = 0, column = 0;
    GridCellOf(record.lat, record.lon, row, column);
    return CellNumber(row, column);
}

bool TargetStore::AddOpeningPage(ArcAngle lat, ArcAngle lon, int cell, std::string_view line,
                                 const std::shared_ptr<const ItemPlan>& plan, uint8_t skipped) {
    // Positions and load numbers are 32-bit, and indexing marks positions with the top bit.
    if (count_ >= 0x7FFFFFFF || line.size() > UINT32_MAX) {
        return false;
    }
    if (decoding_) [[unlikely]] {
        FinishTexts();
    }
    if (plan.get() != stagedPlan_) {
        Flush();  // a page holds the lines of one file
    }
    try {
        if (plan.get() != stagedPlan_ && (plans_.empty() || plans_.back() != plan)) {
            plans_.push_back(plan);
        }
        if (count_ == records_.size() * kChunkSize) {
            records_.push_back(cutFromArenas_ ? RecordChunk(reinterpret_cast<TargetRecord*>(
                                                    CutBlock(kChunkBytes).base))
                                              : NewRecordChunk(true));
        }
        if (!openPage_) {
            OpenRawPage();
        }
        if (rawUsed_ + line.size() > raw_.back()->memory.size) {
            MoveOpenPage(line.size());
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    try {
        addedCells_.push_back(static_cast<uint32_t>(cell));
    } catch (const std::bad_alloc&) {
        RecordTable().swap(addedCells_);  // the index works the cells out itself
    }
    stagedPlan_ = plan.get();
    openRoom_ = raw_.back()->memory.size - rawUsed_;
    openBytes_ = reinterpret_cast<char*>(raw_.back()->memory.base + rawUsed_);
    AddToOpenPage(lat, lon, line, skipped);
    return true;
}

// Page heads are 64-byte aligned (the records keep their place in the low bits of the address);
// the blocks, mapped, start on a page.
void* TargetStore::PoolSpace(size_t bytes) {
    size_t at = (poolUsed_ + kPageRecords - 1) / kPageRecords * kPageRecords;
    if (pool_.empty() || at + bytes > pool_.back().size) {
        // The blocks grow from 64 KB to kPoolBlock as the load does.
        const size_t grown =
            pool_.empty() ? kFirstPoolBlock : std::min(pool_.back().size * 2, kPoolBlock);
        detail::RoomForOneMore(pool_);
        pool_.push_back(MappedBlock::Map(std::max(grown, bytes)));
        at = 0;
    }
    poolUsed_ = at + bytes;
    return pool_.back().base + at;
}

// Blocks under 2 MB of a large load (of lines, and the record chunks) are cut from arenas of huge
// pages; what is left of the last arena is given back when the lines end (EndLines).
MappedBlock TargetStore::CutBlock(size_t size) {
    size = WholePages(size);
    if (!cutFromArenas_ || size >= kHugePage) {
        return MappedBlock::Map(size);
    }
    return arena_.Cut(size);
}

void TargetStore::EndLines() {
    Flush();
    arena_.Release();
}

// A new open block of at least the given bytes, after the last one is closed.
RawBlock& TargetStore::NewRawBlock(size_t bytes) {
    detail::RoomForOneMore(raw_);
    auto block = std::make_unique<RawBlock>();
    block->memory = CutBlock(std::max(rawBlockSize_, bytes));
    rawBlockSize_ = std::min(rawBlockSize_ * 2, largestBlock_);
    block->shelf = shelf_.get();
    CloseRawBlock();
    raw_.push_back(std::move(block));
    rawUsed_ = 0;
    return *raw_.back();
}

// Starts the page of the next records' lines in the open block.
void TargetStore::OpenRawPage() {
    rawUsed_ = rawUsed_ == kClosed ? kClosed : (rawUsed_ + 7) / 8 * 8;
    if (rawUsed_ == kClosed || rawUsed_ + sizeof(RawPage) > raw_.back()->memory.size) {
        NewRawBlock(sizeof(RawPage));
    }
    RawBlock& block = *raw_.back();
    openPage_ = reinterpret_cast<RawPage*>(block.memory.base + rawUsed_);
    openPage_->block = &block;
    block.pending.fetch_add(1, std::memory_order_relaxed);
    rawUsed_ += sizeof(RawPage);
}

// Moves the open page to a new block with room for more bytes of lines.
void TargetStore::MoveOpenPage(size_t more) {
    RawBlock& old = *raw_.back();
    const size_t bytes = old.memory.base + rawUsed_ - reinterpret_cast<std::byte*>(openPage_);
    RawBlock& block = NewRawBlock(bytes + more);  // closes the old block
    std::memcpy(block.memory.base, openPage_, bytes);
    openPage_ = reinterpret_cast<RawPage*>(block.memory.base);
    openPage_->block = &block;
    block.pending.fetch_add(1, std::memory_order_relaxed);
    rawUsed_ = bytes;
    old.Release();  // the page has left it
}

// Lets the last block go once its pages are decoded: no more lines go into it.
void TargetStore::CloseRawBlock() {
    if (!raw_.empty() && rawUsed_ != kClosed) {
        raw_.back()->Release();
    }
    rawUsed_ = kClosed;
}

void TargetStore::ExpectLineBytes(size_t bytes) {
    largestBlock_ = std::clamp(std::bit_ceil(bytes / 128), kFirstRawBlock, kRawBlock);
    rawBlockSize_ = std::min(rawBlockSize_, largestBlock_);
    cutFromArenas_ = bytes >= 2 * kHugePage;  // a short load does not map 2 MB
    // A line of the usual form takes some 30 bytes and more; growing by doubling would copy the
    // cells and touch twice their memory.
    try {
        addedCells_.reserve(addedCells_.size() + bytes / 24);
    } catch (const std::bad_alloc&) {
        // they grow as they come
    }
}

void TargetStore::Flush() {
    if (stagedCount_ == 0) {
        return;
    }
    if (decoding_) {
        FinishTexts();
    }
    TextPage* page = nullptr;
    try {
        detail::RoomForOneMore(pages_);
        page = new (PoolSpace(sizeof(TextPage))) TextPage;
        pages_.push_back(page);
    } catch (const std::bad_alloc&) {
        count_ -= static_cast<size_t>(stagedCount_);  // the page's records are dropped
        addedCells_.resize(addedCells_.size() - std::min(addedCells_.size(), size_t(stagedCount_)));
        openPage_->block->Release();
    }
    if (page) {
        page->raw = openPage_;
        page->plan = stagedPlan_;
        page->count = static_cast<uint16_t>(stagedCount_);
        page->firstRecord = static_cast<uint32_t>(count_ - static_cast<size_t>(stagedCount_));
        for (int q = 0; q < stagedCount_; ++q) {
            Slot(page->firstRecord + q).text_ =
                reinterpret_cast<uintptr_t>(page) | static_cast<uintptr_t>(q);
        }
    }
    openPage_ = nullptr;
    stagedCount_ = 0;
}

bool TargetStore::Append(TargetStore& part) {
    Flush();
    part.Flush();
    if (decoding_) {
        FinishTexts();  // the threads read the list of pages
    }
    const size_t total = count_ + part.count_;
    if (total >= 0x7FFFFFFF || !RoomToAppend(part, total)) {
        return false;
    }
    CopyRecordsFrom(part);
    TakeTextsFrom(part);
    count_ = total;
    indexed_ = false;
    part.pages_.clear();  // its pages and blocks are here now
    part.Clear();
    return true;
}

// Makes room for the part's records and for the lists of its pages, blocks and plans, so that
// nothing can fail once the records move; false when memory runs out.
bool TargetStore::RoomToAppend(const TargetStore& part, size_t total) {
    try {
        pages_.reserve(pages_.size() + part.pages_.size());
        pool_.reserve(pool_.size() + part.pool_.size());
        raw_.reserve(raw_.size() + part.raw_.size());
        bodies_.reserve(bodies_.size() + part.bodies_.size());
        plans_.reserve(plans_.size() + part.plans_.size());
        const size_t needed = (total + kChunkSize - 1) / kChunkSize;
        const size_t chunks = needed > records_.size() ? needed - records_.size() : 0;
        records_.reserve(records_.size() + chunks);
        if (cutFromArenas_ && chunks * kChunkBytes >= kHugePage) {
            // In a large load the chunks are cut from one mapping of huge pages, each faulted in
            // when the copies first reach it while the part's chunks are given back: a fault for
            // every 4 KB of them cost more than the copy.
            MappedBlock block = MappedBlock::Map(chunks * kChunkBytes);
            for (size_t i = 0; i < chunks; ++i) {
                records_.push_back(
                    RecordChunk(reinterpret_cast<TargetRecord*>(block.base + i * kChunkBytes)));
            }
            if (block.size > chunks * kChunkBytes) {
                MappedBlock{block.base + chunks * kChunkBytes, block.size - chunks * kChunkBytes}
                    .Unmap();
            }
        }
        while (records_.size() * kChunkSize < total) {
            records_.push_back(NewRecordChunk(false));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Copies the part's records after those here, with its pages.
void TargetStore::CopyRecordsFrom(TargetStore& part) {
    // The records point at their pages, which stay where they are; only the load numbers that
    // the pages count from move on by the records already here.
    for (const TextPage* page : part.pages_) {
        const_cast<TextPage*>(page)->firstRecord += static_cast<uint32_t>(count_);
        pages_.push_back(page);
    }
    // Each chunk of the part is freed once copied, so the records are not held twice.
    for (size_t done = 0; done < part.count_;) {
        const size_t to = count_ + done;
        const size_t run = std::min({kChunkSize - (done & (kChunkSize - 1)),
                                     kChunkSize - (to & (kChunkSize - 1)), part.count_ - done});
        std::copy_n(&part.Slot(done), run, &Slot(to));
        done += run;
        if ((done & (kChunkSize - 1)) == 0 || done == part.count_) {
            part.records_[(done - 1) >> kChunkBits].reset();
        }
    }
}

// Takes the part's blocks of page heads, lines and texts, its records' cells and its plans.
void TargetStore::TakeTextsFrom(TargetStore& part) {
    if (!part.pool_.empty()) {
        pool_.insert(pool_.end(), part.pool_.begin(), part.pool_.end());
        part.pool_.clear();
        poolUsed_ = part.poolUsed_;  // new pages go on in the part's last block
    }
    // The part's open raw block stays the open one: new pages go on in it.
    if (!part.raw_.empty()) {
        CloseRawBlock();
        for (auto& block : part.raw_) {
            block->shelf = shelf_.get();
            raw_.push_back(std::move(block));
        }
        rawUsed_ = part.rawUsed_;
        part.rawUsed_ = kClosed;
    }
    bodies_.insert(bodies_.end(), part.bodies_.begin(), part.bodies_.end());
    part.bodies_.clear();
    // The cells known stay a run at the end.
    if (part.addedCells_.size() < part.count_ || addedCells_.empty()) {
        addedCells_.swap(part.addedCells_);
    } else {
        try {
            addedCells_.insert(addedCells_.end(), part.addedCells_.begin(), part.addedCells_.end());
        } catch (const std::bad_alloc&) {
            addedCells_.swap(part.addedCells_);
        }
    }
    for (auto& plan : part.plans_) {
        if (plans_.empty() || plans_.back() != plan) {
            plans_.push_back(std::move(plan));
        }
    }
}

void TargetStore::Clear() {
    StopDecoding();
    FreeTexts();
    arena_.Release();
    // Swapping with empty vectors gives the memory back, which clear() would keep.
    std::vector<RecordChunk>().swap(records_);
    FreeHeads();
    std::vector<std::shared_ptr<const ItemPlan>>().swap(plans_);
    stagedCount_ = 0;
    stagedPlan_ = nullptr;
    largestBlock_ = kRawBlock;
    cutFromArenas_ = false;
    count_ = 0;
    cells.Clear();
    decltype(buckets)().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    RecordTable().swap(position_);
    RecordTable().swap(addedCells_);
    cellFirst_.clear();
    cellNumber_.clear();
    cellOfBlock_.clear();
    indexed_ = false;
}

}  // namespace zentorak
