#include "core/targets/target_store.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>

#include "core/platform/threads.h"
#include "core/text/code_page.h"
#include "core/text/csv_split.h"

namespace zentorak {

namespace {

// Makes room for one more element, doubling as push_back would, so that the push_back after it
// cannot throw. (reserve(size() + 1) would copy the whole vector every time.)
template <typename T>
void RoomForOneMore(std::vector<T>& v) {
    if (v.size() == v.capacity()) {
        v.reserve(std::max<size_t>(16, v.capacity() * 2));
    }
}

}  // namespace

// Raw blocks whose pages are all decoded, kept for the bodies of the pages still to come: their
// memory is in place already, where a new block would have to be cleared first.
struct BlockShelf {
    std::mutex mutex;
    std::vector<MappedBlock> blocks;

    void Put(MappedBlock block) {
        std::lock_guard<std::mutex> lock(mutex);
        try {
            blocks.push_back(block);
        } catch (const std::bad_alloc&) {
            block.Unmap();
        }
    }
    bool Take(size_t bytes, MappedBlock& block) {
        std::lock_guard<std::mutex> lock(mutex);
        if (blocks.empty() || blocks.back().size < bytes) {
            return false;
        }
        block = blocks.back();
        blocks.pop_back();
        return true;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex);
        for (MappedBlock& block : blocks) {
            block.Unmap();
        }
        blocks.clear();
    }
    ~BlockShelf() { Clear(); }
};

// A block of lines waiting for their decoding. pending counts the pages in it that are not
// decoded yet, and one more while the block is open; the last to count down shelves it.
struct RawBlock {
    MappedBlock memory;
    BlockShelf* shelf = nullptr;
    std::atomic<uint32_t> pending{1};

    void Release() {
        if (pending.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            shelf->Put(memory);
            memory = {};
        }
    }
    ~RawBlock() { memory.Unmap(); }
};

static_assert(sizeof(TargetRecord) == 16, "two angles and the page address");

bool TargetRecord::HasInfo(int k) const {
    if (k < 0 || k >= kInfoItems || text_ == 0) {
        return false;
    }
    int place;
    return TargetStore::PageOf(*this, place).Body().present[place] & (1u << k);
}

namespace {

// Where the record's item k lies in its column, in units; false when it is absent.
bool ItemOf(const TargetRecord& record, int k, const TextBody*& body, size_t& offset,
            size_t& length) {
    if (!record.HasInfo(k)) {
        return false;
    }
    int place;
    body = &TargetStore::PageOf(record, place).Body();
    offset = 0;
    length = 0;
    if (const uint8_t* row = body->LengthRow(k)) {  // else every item of the column is empty
        for (int q = 0; q < place; ++q) {
            offset += body->LengthIn(row, q);
        }
        length = body->LengthIn(row, place);
    }
    return true;
}

}  // namespace

bool NarrowText(std::u16string_view text, std::string& narrow) {
    narrow.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0xFF) {
            return false;
        }
        narrow[i] = static_cast<char>(text[i]);
    }
    return true;
}

std::u16string TargetRecord::Info(int k) const {
    const TextBody* body;
    size_t offset, length;
    if (!ItemOf(*this, k, body, offset, length)) {
        return {};
    }
    if (body->Narrow(k)) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(body->NarrowColumn(k).data());
        return std::u16string(bytes + offset, bytes + offset + length);
    }
    return std::u16string(body->WideColumn(k).substr(offset, length));
}

bool TargetRecord::InfoContains(int k, std::u16string_view text) const {
    const TextBody* body;
    size_t offset, length;
    if (!ItemOf(*this, k, body, offset, length)) {
        return false;
    }
    if (!body->Narrow(k)) {
        return body->WideColumn(k).substr(offset, length).find(text) != std::u16string_view::npos;
    }
    thread_local std::string narrow;
    return NarrowText(text, narrow) &&
           body->NarrowColumn(k).substr(offset, length).find(narrow) != std::string_view::npos;
}

namespace {

constexpr size_t kBodyAlign = 64;  // a body starts a cache line
constexpr int kDecodingNice = 5;

// The body of a page whose texts found no memory: no item of its records is there.
const TextBody kEmptyBody = [] {
    TextBody body{};
    body.lengthBytes = 1;
    for (uint8_t& row : body.lengthRow) {
        row = TextBody::kNoRow;
    }
    return body;
}();

// Whether every unit is below 0x100, four at a time.
bool BelowU100(const char16_t* text, size_t n) {
    uint64_t high = 0;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t four;
        std::memcpy(&four, text + i, sizeof four);
        high |= four;
    }
    for (; i < n; ++i) {
        high |= text[i];
    }
    return (high & 0xFF00FF00FF00FF00u) == 0;
}

// A page's items split and decoded, column by column, before they are copied into a body of
// their exact size. One per decoding thread.
struct DecodedItems {
    std::array<std::unique_ptr<char16_t[]>, kInfoItems> text;
    std::array<size_t, kInfoItems> size{}, capacity{};
    std::array<std::array<uint32_t, kPageRecords>, kInfoItems> length{};
    std::array<uint8_t, kPageRecords> present{};
    size_t longest = 0;  // units of the longest item
    std::string arena;

    char16_t* Room(int k, size_t units) {
        if (size[k] + units > capacity[k]) {
            size_t grown = std::max(size[k] + units, capacity[k] * 2 + 256);
            std::unique_ptr<char16_t[]> bigger(new char16_t[grown]);
            std::copy_n(text[k].get(), size[k], bigger.get());
            text[k] = std::move(bigger);
            capacity[k] = grown;
        }
        return text[k].get() + size[k];
    }

    // Splits and decodes the page's lines. May throw std::bad_alloc.
    void Decode(const TextPage& page) {
        const ItemPlan& plan = *page.plan;
        const RawPage& raw = *page.raw;
        size.fill(0);
        longest = 0;
        for (int k = 0; k < kInfoItems; ++k) {
            if (plan.column[k] >= 0) {
                std::fill_n(length[k].begin(), page.count, 0);
            }
        }
        const char* line = raw.Bytes();
        const size_t planned = plan.itemOfColumn.size();
        for (int q = 0; q < page.count; ++q) {
            size_t count = raw.skipped[q];
            SplitQuotedFields<char>(
                std::string_view(line, raw.length[q]), ',', '"', arena,
                [&](std::string_view field) {
                    const int k = count < planned ? plan.itemOfColumn[count] : -1;
                    ++count;
                    if (k >= 0 && !field.empty()) {
                        const size_t n = DecodeText(plan.encoding, field.data(), field.size(),
                                                    Room(k, field.size()));
                        size[k] += n;
                        length[k][q] = static_cast<uint32_t>(n);
                        longest = std::max(longest, n);
                    }
                    return count < planned;  // the columns after the last item are not needed
                });
            present[q] = plan.presentWith[std::min(count, planned)];
            line += raw.length[q];
        }
    }

    // The bytes of the body these items need, and which columns are narrow: every unit of
    // their items in the page is below 0x100.
    size_t BodySize(uint8_t& lengthBytes, uint8_t& rows, uint8_t& narrow) const {
        size_t bytes = 0;
        rows = 0;
        narrow = 0;
        for (int k = 0; k < kInfoItems; ++k) {
            if (size[k] == 0) {
                continue;
            }
            ++rows;
            if (BelowU100(text[k].get(), size[k])) {
                narrow |= static_cast<uint8_t>(1u << k);
                bytes += (size[k] + 1) / 2 * 2;
            } else {
                bytes += size[k] * 2;
            }
        }
        lengthBytes = longest < 255 ? 1 : 4;
        return sizeof(TextBody) + size_t{rows} * kPageRecords * lengthBytes + bytes;
    }

    // Writes the body into space of BodySize bytes.
    const TextBody* Fill(const TextPage& page, void* space, uint8_t lengthBytes, uint8_t rows,
                         uint8_t narrow) const {
        TextBody& body = *new (space) TextBody;
        std::memcpy(body.present, present.data(), kPageRecords);
        std::fill(body.present + page.count, body.present + kPageRecords, 0);
        body.lengthBytes = lengthBytes;
        body.lengthRows = rows;
        body.narrow = narrow;
        body.padded = 0;
        uint8_t row = 0;
        for (int k = 0; k < kInfoItems; ++k) {
            body.lengthRow[k] = size[k] > 0 ? row++ : TextBody::kNoRow;
        }
        uint8_t* texts = const_cast<uint8_t*>(body.Texts());
        uint32_t start = 0;
        for (int k = 0; k < kInfoItems; ++k) {
            body.columnStart[k] = start;
            if (size[k] == 0) {
                continue;
            }
            if (body.Narrow(k)) {
                const char16_t* from = this->text[k].get();
                for (size_t i = 0; i < size[k]; ++i) {
                    texts[start + i] = static_cast<uint8_t>(from[i]);
                }
                start += static_cast<uint32_t>(size[k]);
                if (size[k] % 2 != 0) {
                    texts[start++] = 0;
                    body.padded |= static_cast<uint8_t>(1u << k);
                }
            } else {
                std::memcpy(texts + start, this->text[k].get(), size[k] * 2);
                start += static_cast<uint32_t>(size[k] * 2);
            }
            uint8_t* lengths = const_cast<uint8_t*>(body.LengthRow(k));
            for (int q = 0; q < kPageRecords; ++q) {
                const uint32_t n = q < page.count ? length[k][q] : 0;
                if (lengthBytes == 1) {
                    lengths[q] = static_cast<uint8_t>(n);
                } else {
                    reinterpret_cast<uint32_t*>(lengths)[q] = n;
                }
            }
        }
        body.columnStart[kInfoItems] = start;
        return &body;
    }
};

// Where a decoding thread puts its bodies: blocks of its own, shelved ones first, handed to the
// store at the end.
struct BodyPool {
    // The blocks grow to the size of a raw block, so that those fit; a short load does not map
    // (or, with huge pages, clear) 2 MB.
    BlockShelf* shelf = nullptr;
    size_t largest = size_t{2} << 20;
    std::vector<MappedBlock> blocks;
    size_t used = 0;
    size_t next = size_t{64} << 10;

    void* Space(size_t bytes) {
        if (blocks.empty() || used + bytes > blocks.back().size) {
            RoomForOneMore(blocks);
            MappedBlock block;
            if (!shelf || !shelf->Take(bytes, block)) {
                block = MappedBlock::Map(std::max(next, bytes));
                next = std::min(next * 2, largest);
            }
            blocks.push_back(block);
            used = 0;
        }
        return blocks.back().base + used;
    }
    void Use(size_t bytes) { used += (bytes + kBodyAlign - 1) / kBodyAlign * kBodyAlign; }
};

// Decodes the page once, into the pool when one is given and into memory of its own otherwise;
// a reader that finds another thread at it waits for it.
const TextBody& DecodePage(TextPage& page, BodyPool* pool) {
    if (const TextBody* body = page.body.load(std::memory_order_acquire)) {
        return *body;
    }
    if (page.claimed.exchange(true, std::memory_order_acq_rel)) {
        const TextBody* body;
        while (!(body = page.body.load(std::memory_order_acquire))) {
            std::this_thread::yield();  // a page takes some microseconds
        }
        return *body;
    }
    const TextBody* body = &kEmptyBody;
    try {
        thread_local DecodedItems items;
        items.Decode(page);
        uint8_t lengthBytes, rows, narrow;
        const size_t size = items.BodySize(lengthBytes, rows, narrow);
        void* space = pool ? pool->Space(size) : std::malloc(size);
        if (space) {
            body = items.Fill(page, space, lengthBytes, rows, narrow);
            if (pool) {
                pool->Use(size);
            } else {
                page.ownBody = true;
            }
        }
    } catch (const std::bad_alloc&) {
    }
    RawBlock* block = page.raw->block;
    page.raw = nullptr;
    page.body.store(body, std::memory_order_release);
    block->Release();
    return *body;
}

}  // namespace

const TextBody& TextPage::Body() const {
    return DecodePage(const_cast<TextPage&>(*this), nullptr);
}

// The threads that decode the pages from `next` on, each into a pool of its own.
struct TargetStore::Decoding {
    std::atomic<size_t> next;
    std::atomic<bool> stop{false};
    std::vector<BodyPool> pools;
    std::vector<std::thread> threads;
    size_t end;

    // Each thread takes runs of pages, so that the bodies of neighbouring pages lie together in
    // its pool: the text search then reads them as one stream.
    static constexpr size_t kRun = 64;

    void Run(const std::vector<const TextPage*>& pages, BodyPool& pool) {
        for (size_t first; !stop.load(std::memory_order_relaxed) &&
                           (first = next.fetch_add(kRun, std::memory_order_relaxed)) < end;) {
            for (size_t i = first; i < std::min(first + kRun, end); ++i) {
                DecodePage(const_cast<TextPage&>(*pages[i]), &pool);
            }
        }
    }
};

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

const TextPage& TargetStore::PageOf(const TargetRecord& record, int& place) {
    place = static_cast<int>(record.text_ & (kPageRecords - 1));
    return *reinterpret_cast<const TextPage*>(record.text_ & ~uintptr_t{kPageRecords - 1});
}

uint32_t TargetStore::LoadNumberOf(const TargetRecord& record) {
    int place;
    return PageOf(record, place).firstRecord + static_cast<uint32_t>(place);
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
        std::vector<uint32_t>().swap(addedCells_);  // the index works the cells out itself
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
        RoomForOneMore(pool_);
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
    RoomForOneMore(raw_);
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
        RoomForOneMore(pages_);
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

void TargetStore::StartDecodingTexts(int threads) {
    Flush();
    BeginDecoding(threads);
}

void TargetStore::BeginDecoding(int threads) {
    if (decoding_ || decodedPages_ == pages_.size()) {
        return;
    }
    CloseRawBlock();
    arena_.Release();
    auto decoding = std::make_unique<Decoding>();
    decoding->next = decodedPages_;
    decoding->end = pages_.size();
    decoding->pools.resize(static_cast<size_t>(std::max(threads, 1)) +
                           1);  // the last: FinishTexts'
    for (BodyPool& pool : decoding->pools) {
        pool.shelf = shelf_.get();
        pool.largest = largestBlock_;
    }
    decoding_ = std::move(decoding);
    for (int t = 0; t < threads; ++t) {
        try {
            decoding_->threads.emplace_back([d = decoding_.get(), this, t] {
                // Behind the program: a window on the same core keeps answering first.
                RunThisThreadBehind(kDecodingNice);
                d->Run(pages_, d->pools[static_cast<size_t>(t)]);
            });
        } catch (const std::exception&) {  // no thread, or no memory for one
            break;  // the pages left are decoded by their readers or by FinishTexts
        }
    }
}

void TargetStore::FinishTexts() const {
    if (!decoding_ && decodedPages_ == pages_.size()) {
        return;
    }
    if (!decoding_) {
        const_cast<TargetStore*>(this)->BeginDecoding(0);
        if (!decoding_) {
            return;
        }
    }
    Decoding& d = *decoding_;
    d.Run(pages_, d.pools.back());
    for (std::thread& thread : d.threads) {
        thread.join();
    }
    for (BodyPool& pool : d.pools) {
        try {
            bodies_.insert(bodies_.end(), pool.blocks.begin(), pool.blocks.end());
        } catch (const std::bad_alloc&) {
            // No room to list them: the blocks stay mapped until the process ends, as their
            // pages' bodies are in them.
        }
    }
    decodedPages_ = d.stop ? decodedPages_ : d.end;
    decoding_.reset();
    shelf_->Clear();
}

// Stops the threads where they are; the pages they did not reach stay raw.
void TargetStore::StopDecoding() {
    if (!decoding_) {
        return;
    }
    decoding_->stop = true;
    FinishTexts();
}

// Gives back the texts: the bodies that readers decoded one by one, then every block.
void TargetStore::FreeTexts() {
    for (const TextPage* page : pages_) {
        if (page->ownBody) {
            std::free(const_cast<TextBody*>(page->body.load(std::memory_order_relaxed)));
        }
    }
    std::vector<std::unique_ptr<RawBlock>>().swap(raw_);
    for (MappedBlock& block : bodies_) {
        block.Unmap();
    }
    std::vector<MappedBlock>().swap(bodies_);
    shelf_->Clear();
    rawUsed_ = kClosed;
    rawBlockSize_ = kFirstRawBlock;
    openPage_ = nullptr;
    decodedPages_ = 0;
}

bool TargetStore::Append(TargetStore& part) {
    Flush();
    part.Flush();
    if (decoding_) {
        FinishTexts();  // the threads read the list of pages
    }
    const size_t total = count_ + part.count_;
    if (total >= 0x7FFFFFFF) {
        return false;
    }
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
    count_ = total;
    indexed_ = false;
    part.pages_.clear();  // its pages and blocks are here now
    part.Clear();
    return true;
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
    std::vector<Bucket>().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    std::vector<uint32_t>().swap(position_);
    std::vector<uint32_t>().swap(addedCells_);
    cellFirst_.clear();
    cellNumber_.clear();
    indexed_ = false;
}

}  // namespace zentorak
