#include "core/geo/target_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>

#include "core/platform/code_page.h"

namespace zentorak {

// Bytes that grow without clearing what they are about to overwrite.
struct ColumnBytes {
    std::unique_ptr<char[]> data;
    size_t size = 0, capacity = 0;

    void Append(std::string_view bytes) {
        if (size + bytes.size() > capacity) {
            size_t grown = std::max(size + bytes.size(), capacity * 2 + 256);
            std::unique_ptr<char[]> bigger(new char[grown]);
            std::copy(data.get(), data.get() + size, bigger.get());
            data = std::move(bigger);
            capacity = grown;
        }
        std::copy(bytes.begin(), bytes.end(), data.get() + size);
        size += bytes.size();
    }
};

// The items of the records that wait for their page, column by column.
struct TargetStore::Staging {
    std::array<ColumnBytes, kInfoItems> bytes;
    std::array<std::array<uint32_t, kPageRecords>, kInfoItems> length{};
    std::array<uint8_t, kPageRecords> present{};
    int count = 0;
    TextEncoding encoding = TextEncoding::kCp932;
};

// A block of item bytes waiting for their decoding. pending counts the pages in it that are not
// decoded yet, and one more while the block is open; the last to count down gives it back.
struct RawBlock {
    std::byte* base = nullptr;
    size_t size = 0;
    std::atomic<uint32_t> pending{1};

    void Release();
    ~RawBlock();
};

// The bytes of a page's items as the file has them: the lengths, [row][record], then the bytes
// column after column. Only columns with bytes in the page have a row.
struct RawPage {
    RawBlock* block;
    uint32_t bytes;     // of all the items
    uint32_t longest;   // the longest item, in bytes
    uint8_t rows;
    uint8_t rowOf[kInfoItems];  // TextBody::kNoRow when the column has no bytes

    const uint32_t* Lengths() const { return reinterpret_cast<const uint32_t*>(this + 1); }
    const char* Bytes() const { return reinterpret_cast<const char*>(Lengths() + rows * kPageRecords); }
};

int SubCellIndex(double x, double x0, double perDegree, int k) {
    double s = std::floor((x - x0) * perDegree);
    if (!(s >= 0)) {
        return 0;
    }
    return s >= k ? k - 1 : static_cast<int>(s);
}

bool TargetRecord::HasInfo(int k) const {
    if (k < 0 || k >= kInfoItems || text_ == 0) {
        return false;
    }
    int place;
    return TargetStore::PageOf(*this, place).present[place] & (1u << k);
}

std::u16string_view TargetRecord::Info(int k) const {
    if (!HasInfo(k)) {
        return {};
    }
    int place;
    const TextBody& body = TargetStore::PageOf(*this, place).Body();
    size_t offset = body.columnStart[k];
    const uint8_t* row = body.LengthRow(k);
    if (!row) {
        return {body.Text() + offset, 0};  // every item of the column here is empty
    }
    for (int q = 0; q < place; ++q) {
        offset += body.LengthIn(row, q);
    }
    return {body.Text() + offset, body.LengthIn(row, place)};
}

namespace {

constexpr size_t kBodyAlign = 16;

// The body of a page whose texts found no memory: every item reads as empty.
const TextBody kEmptyBody = [] {
    TextBody body{};
    body.lengthBytes = 1;
    for (uint8_t& row : body.lengthRow) {
        row = TextBody::kNoRow;
    }
    return body;
}();

// The most bytes the body of a raw page can take: no byte decodes to more than one unit.
size_t BodyBound(const RawPage& raw) {
    const size_t lengthBytes = raw.longest < 255 ? 1 : 4;
    return sizeof(TextBody) + size_t{raw.rows} * kPageRecords * lengthBytes + size_t{raw.bytes} * 2;
}

// Decodes the page's bytes into space of BodyBound bytes; returns the bytes used.
size_t DecodeBody(const TextPage& page, void* space) {
    const RawPage& raw = *page.raw;
    TextBody& body = *new (space) TextBody;
    body.lengthBytes = raw.longest < 255 ? 1 : 4;
    body.lengthRows = raw.rows;
    std::copy(std::begin(raw.rowOf), std::end(raw.rowOf), body.lengthRow);
    char16_t* text = const_cast<char16_t*>(body.Text());
    const char* bytes = raw.Bytes();
    uint32_t start = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        body.columnStart[k] = start;
        if (raw.rowOf[k] == TextBody::kNoRow) {
            continue;
        }
        const uint32_t* length = raw.Lengths() + size_t{raw.rowOf[k]} * kPageRecords;
        uint8_t* row = const_cast<uint8_t*>(body.LengthRow(k));
        for (int q = 0; q < kPageRecords; ++q) {
            uint32_t n = 0;
            if (q < page.count && length[q] > 0) {
                n = static_cast<uint32_t>(DecodeText(page.encoding, bytes, length[q], text + start));
                bytes += length[q];
                start += n;
            }
            if (body.lengthBytes == 1) {
                row[q] = static_cast<uint8_t>(n);
            } else {
                reinterpret_cast<uint32_t*>(row)[q] = n;
            }
        }
    }
    body.columnStart[kInfoItems] = start;
    return reinterpret_cast<const std::byte*>(text + start) - static_cast<const std::byte*>(space);
}

constexpr size_t kHugePage = size_t{2} << 20;

// Large blocks are whole, aligned huge pages where the system offers them on request: a large
// load then takes one page fault per 2 MB instead of one per 4 KB. Smaller blocks are plain
// memory, so that a short file (or a thread's short range) does not clear 2 MB.
std::byte* NewBlock(size_t& size) {
    const bool huge = size >= kHugePage;
    const size_t unit = huge ? kHugePage : kPageRecords;
    size = (size + unit - 1) / unit * unit;
    void* block = std::aligned_alloc(unit, size);
    if (!block) {
        throw std::bad_alloc();
    }
    if (huge) {
        madvise(block, size, MADV_HUGEPAGE);
    }
    return static_cast<std::byte*>(block);
}

// Where a decoding thread puts its bodies: blocks of its own, handed to the store at the end.
struct BodyPool {
    static constexpr size_t kBlock = size_t{4} << 20;
    std::vector<std::unique_ptr<std::byte[], void (*)(std::byte*)>> blocks;
    size_t used = 0, size = 0;

    void* Space(size_t bytes) {
        if (blocks.empty() || used + bytes > size) {
            size_t grown = std::max(kBlock, bytes);
            blocks.reserve(blocks.size() + 1);
            blocks.emplace_back(NewBlock(grown), [](std::byte* b) { std::free(b); });
            used = 0;
            size = grown;
        }
        return blocks.back().get() + used;
    }
    void Use(size_t bytes) { used += (bytes + kBodyAlign - 1) / kBodyAlign * kBodyAlign; }
};

// Decodes the page once, into the pool when one is given and into memory of its own otherwise;
// a reader that finds another thread at it waits for it.
const TextBody& DecodePage(TextPage& page, BodyPool* pool) {
    if (const TextBody* body = page.body.load(std::memory_order_acquire)) {
        return *body;
    }
    uint8_t raw = TextPage::kRaw;
    if (!page.state.compare_exchange_strong(raw, TextPage::kDecoding, std::memory_order_acq_rel)) {
        const TextBody* body;
        while (!(body = page.body.load(std::memory_order_acquire))) {
            std::this_thread::yield();  // a page takes some microseconds
        }
        return *body;
    }
    const TextBody* body = &kEmptyBody;
    const size_t bound = BodyBound(*page.raw);
    try {
        if (pool) {
            void* space = pool->Space(bound);
            pool->Use(DecodeBody(page, space));
            body = static_cast<const TextBody*>(space);
        } else if (void* space = std::malloc(bound)) {
            const size_t used = DecodeBody(page, space);
            void* fitted = std::realloc(space, used);
            body = static_cast<const TextBody*>(fitted ? fitted : space);
            page.ownBody = true;
        }
    } catch (const std::bad_alloc&) {
    }
    RawBlock* block = page.raw->block;
    page.raw = nullptr;
    page.body.store(body, std::memory_order_release);
    page.state.store(TextPage::kDecoded, std::memory_order_release);
    block->Release();
    return *body;
}

}  // namespace

const TextBody& TextPage::Body() const {
    return DecodePage(const_cast<TextPage&>(*this), nullptr);
}

void RawBlock::Release() {
    if (pending.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        munmap(base, size);
        base = nullptr;
    }
}

RawBlock::~RawBlock() {
    if (base) {
        munmap(base, size);
    }
}

// The threads that decode the pages from `next` on, each into a pool of its own.
struct TargetStore::Decoding {
    std::atomic<size_t> next;
    std::atomic<bool> stop{false};
    std::vector<BodyPool> pools;
    std::vector<std::thread> threads;
    size_t end;

    void Run(const std::vector<const TextPage*>& pages, BodyPool& pool) {
        for (size_t i; !stop.load(std::memory_order_relaxed) &&
                       (i = next.fetch_add(1, std::memory_order_relaxed)) < end;) {
            DecodePage(const_cast<TextPage&>(*pages[i]), &pool);
        }
    }
};

TargetStore::TargetStore() : staging_(std::make_unique<Staging>()) {}

TargetStore::RecordChunk TargetStore::NewRecordChunk() {
    static_assert(std::is_trivially_copyable_v<TargetRecord> &&
                  std::is_trivially_destructible_v<TargetRecord>);
    return RecordChunk(
        static_cast<TargetRecord*>(::operator new(kChunkSize * sizeof(TargetRecord))));
}

void TargetStore::FreeRecords::operator()(TargetRecord* chunk) const {
    ::operator delete(chunk);
}

TargetStore::~TargetStore() {
    StopDecoding();
    FreeTexts();
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
    return std::min(row, kGridRows - 1) * kGridColumns + std::min(column, kGridColumns - 1);
}

bool TargetStore::Add(const DmsAngle& lat, const DmsAngle& lon,
                      const std::array<std::string_view, kInfoItems>& items, uint8_t present,
                      TextEncoding encoding) {
    // Positions and load numbers are 32-bit, and indexing marks positions with the top bit.
    if (count_ >= 0x7FFFFFFF) {
        return false;
    }
    if (decoding_) [[unlikely]] {
        FinishTexts();
    }
    Staging& s = *staging_;
    if (s.count > 0 && encoding != s.encoding) {
        Flush();  // a page holds the items of one encoding
    }
    std::array<size_t, kInfoItems> before{};
    try {
        if (count_ == records_.size() * kChunkSize) {
            records_.push_back(NewRecordChunk());
        }
        for (int k = 0; k < kInfoItems; ++k) {
            ColumnBytes& column = s.bytes[k];
            before[k] = column.size;
            uint32_t n = 0;
            if (present & (1u << k)) {
                column.Append(items[k]);
                n = static_cast<uint32_t>(items[k].size());
            }
            s.length[k][s.count] = n;
        }
    } catch (const std::bad_alloc&) {
        for (int k = 0; k < kInfoItems; ++k) {
            s.bytes[k].size = before[k];
        }
        return false;
    }
    s.encoding = encoding;
    s.present[s.count++] = present;
    TargetRecord& record = Slot(count_);
    record.lat = lat;
    record.lon = lon;
    record.text_ = 0;
    ++count_;
    indexed_ = false;
    if (s.count == kPageRecords) {
        Flush();
    }
    return true;
}

void TargetStore::FreeBlock::operator()(std::byte* block) const {
    std::free(block);
}

void* TargetStore::PoolSpace(size_t bytes) {
    auto aligned = [](size_t at, const std::byte* base) {
        uintptr_t address = reinterpret_cast<uintptr_t>(base) + at;
        return at + ((kPageRecords - address % kPageRecords) % kPageRecords);
    };
    size_t at = pool_.empty() ? 0 : aligned(poolUsed_, pool_.back().get());
    if (pool_.empty() || at + bytes > poolSize_) {
        // The blocks grow from 64 KB to kPoolBlock as the texts do.
        const size_t grown = pool_.empty() ? kFirstPoolBlock : std::min(poolSize_ * 2, kPoolBlock);
        size_t size = std::max(grown, bytes + kPageRecords);
        pool_.reserve(pool_.size() + 1);
        pool_.emplace_back(NewBlock(size));
        poolSize_ = size;
        at = aligned(0, pool_.back().get());
    }
    poolUsed_ = at + bytes;
    return pool_.back().get() + at;
}

// Raw blocks are mapped memory, so that each goes back to the system as soon as its pages are
// decoded rather than staying with the allocator.
void* TargetStore::RawSpace(size_t bytes, RawBlock*& block) {
    bytes = (bytes + 7) / 8 * 8;
    if (raw_.empty() || rawUsed_ == kClosed || rawUsed_ + bytes > raw_.back()->size) {
        auto fresh = std::make_unique<RawBlock>();
        fresh->size = std::max(kRawBlock, (bytes + 4095) / 4096 * 4096);
        void* base = mmap(nullptr, fresh->size, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) {
            throw std::bad_alloc();
        }
        fresh->base = static_cast<std::byte*>(base);
        raw_.reserve(raw_.size() + 1);
        CloseRawBlock();
        raw_.push_back(std::move(fresh));
        rawUsed_ = 0;
    }
    block = raw_.back().get();
    block->pending.fetch_add(1, std::memory_order_relaxed);
    void* space = block->base + rawUsed_;
    rawUsed_ += bytes;
    return space;
}

// Lets the last block go once its pages are decoded: no more pages go into it.
void TargetStore::CloseRawBlock() {
    if (!raw_.empty() && rawUsed_ != kClosed) {
        raw_.back()->Release();
    }
    rawUsed_ = kClosed;
}

void TargetStore::Flush() {
    Staging& s = *staging_;
    if (s.count == 0) {
        return;
    }
    if (decoding_) {
        FinishTexts();
    }
    size_t bytes = 0;
    uint32_t longest = 0;
    uint8_t rows = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        bytes += s.bytes[k].size;
        rows += s.bytes[k].size > 0;
        for (int q = 0; q < s.count; ++q) {
            longest = std::max(longest, s.length[k][q]);
        }
    }
    TextPage* page = nullptr;
    RawPage* raw = nullptr;
    try {
        pages_.reserve(pages_.size() + 1);
        RawBlock* block;
        raw = static_cast<RawPage*>(
            RawSpace(sizeof(RawPage) + size_t{rows} * kPageRecords * 4 + bytes, block));
        raw->block = block;
        try {
            page = new (PoolSpace(sizeof(TextPage))) TextPage;
        } catch (const std::bad_alloc&) {
            block->Release();
            throw;
        }
        pages_.push_back(page);
    } catch (const std::bad_alloc&) {
        count_ -= static_cast<size_t>(s.count);  // the page's records are dropped
        page = nullptr;
    }
    if (page) {
        raw->bytes = static_cast<uint32_t>(bytes);
        raw->longest = longest;
        raw->rows = rows;
        page->raw = raw;
        page->encoding = s.encoding;
        FillPage(*page);
    }
    for (ColumnBytes& column : s.bytes) {
        column.size = 0;
    }
    s.count = 0;
}

// Copies the staged records' bytes into the page's raw page and points their records at it.
void TargetStore::FillPage(TextPage& page) {
    Staging& s = *staging_;
    RawPage& raw = *page.raw;
    std::memcpy(page.present, s.present.data(), kPageRecords);
    page.count = static_cast<uint16_t>(s.count);
    page.firstRecord = static_cast<uint32_t>(count_ - static_cast<size_t>(s.count));
    uint8_t rows = 0;
    char* bytes = const_cast<char*>(raw.Bytes());
    for (int k = 0; k < kInfoItems; ++k) {
        if (s.bytes[k].size == 0) {
            raw.rowOf[k] = TextBody::kNoRow;
            continue;
        }
        raw.rowOf[k] = rows;
        uint32_t* length = const_cast<uint32_t*>(raw.Lengths()) + size_t{rows} * kPageRecords;
        std::copy_n(s.length[k].begin(), kPageRecords, length);
        std::fill(length + s.count, length + kPageRecords, 0);
        std::memcpy(bytes, s.bytes[k].data.get(), s.bytes[k].size);
        bytes += s.bytes[k].size;
        ++rows;
    }
    for (int q = 0; q < s.count; ++q) {
        size_t index = count_ - static_cast<size_t>(s.count) + q;
        Slot(index).text_ = reinterpret_cast<uintptr_t>(&page) | static_cast<uintptr_t>(q);
    }
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
    auto decoding = std::make_unique<Decoding>();
    decoding->next = decodedPages_;
    decoding->end = pages_.size();
    decoding->pools.resize(static_cast<size_t>(std::max(threads, 1)) + 1);  // the last: FinishTexts'
    decoding_ = std::move(decoding);
    for (int t = 0; t < threads; ++t) {
        try {
            decoding_->threads.emplace_back(&Decoding::Run, decoding_.get(), std::cref(pages_),
                                            std::ref(decoding_->pools[static_cast<size_t>(t)]));
        } catch (const std::system_error&) {
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
        for (auto& block : pool.blocks) {
            bodies_.emplace_back(block.release());
        }
    }
    decodedPages_ = d.stop ? decodedPages_ : d.end;
    decoding_.reset();
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
    std::vector<std::unique_ptr<std::byte[], FreeBlock>>().swap(bodies_);
    rawUsed_ = kClosed;
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
        while (records_.size() * kChunkSize < total) {
            records_.push_back(NewRecordChunk());
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
        for (auto& block : part.pool_) {
            pool_.push_back(std::move(block));
        }
        poolUsed_ = part.poolUsed_;  // new pages go on in the part's last block
        poolSize_ = part.poolSize_;
    }
    // The part's open raw block stays the open one: new pages go on in it.
    if (!part.raw_.empty()) {
        CloseRawBlock();
        for (auto& block : part.raw_) {
            raw_.push_back(std::move(block));
        }
        rawUsed_ = part.rawUsed_;
        part.rawUsed_ = kClosed;
    }
    for (auto& block : part.bodies_) {
        bodies_.push_back(std::move(block));
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
    // Swapping with empty vectors gives the memory back, which clear() would keep.
    std::vector<RecordChunk>().swap(records_);
    std::vector<std::unique_ptr<std::byte[], FreeBlock>>().swap(pool_);
    std::vector<const TextPage*>().swap(pages_);
    staging_ = std::make_unique<Staging>();
    count_ = 0;
    poolUsed_ = poolSize_ = 0;
    cells.Clear();
    std::vector<Bucket>().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    std::vector<uint32_t>().swap(position_);
    cellFirst_.clear();
    cellNumber_.clear();
    indexed_ = false;
}

}  // namespace zentorak
