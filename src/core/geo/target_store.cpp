#include "core/geo/target_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "core/platform/code_page.h"

namespace zentorak {

// Text that grows without clearing what it is about to overwrite.
struct ColumnText {
    std::unique_ptr<char16_t[]> data;
    size_t size = 0, capacity = 0;

    char16_t* Extend(size_t units) {
        if (size + units > capacity) {
            size_t grown = std::max(size + units, capacity * 2 + 256);
            std::unique_ptr<char16_t[]> bigger(new char16_t[grown]);
            std::copy(data.get(), data.get() + size, bigger.get());
            data = std::move(bigger);
            capacity = grown;
        }
        return data.get() + size;
    }
};

// The items of the records that wait for their page, column by column.
struct TargetStore::Staging {
    std::array<ColumnText, kInfoItems> text;
    std::array<std::array<uint32_t, kPageRecords>, kInfoItems> length{};
    std::array<uint8_t, kPageRecords> present{};
    int count = 0;
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
    const TextPage& page = TargetStore::PageOf(*this, place);
    size_t offset = page.columnStart[k];
    const uint8_t* row = page.LengthRow(k);
    if (!row) {
        return {page.Text() + offset, 0};  // every item of the column here is empty
    }
    for (int q = 0; q < place; ++q) {
        offset += page.LengthIn(row, q);
    }
    return {page.Text() + offset, page.LengthIn(row, place)};
}

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
TargetStore::~TargetStore() = default;

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
    Staging& s = *staging_;
    std::array<size_t, kInfoItems> before{};
    try {
        if (count_ == records_.size() * kChunkSize) {
            records_.push_back(NewRecordChunk());
        }
        for (int k = 0; k < kInfoItems; ++k) {
            ColumnText& column = s.text[k];
            before[k] = column.size;
            uint32_t n = 0;
            if (present & (1u << k)) {
                char16_t* out = column.Extend(items[k].size());
                n = static_cast<uint32_t>(
                    DecodeText(encoding, items[k].data(), items[k].size(), out));
                column.size += n;
            }
            s.length[k][s.count] = n;
        }
    } catch (const std::bad_alloc&) {
        for (int k = 0; k < kInfoItems; ++k) {
            s.text[k].size = before[k];
        }
        return false;
    }
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

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// Large text blocks are whole, aligned huge pages where the system offers them on request: a
// large load then takes one page fault per 2 MB instead of one per 4 KB. Smaller blocks are
// plain memory, so that a short file (or a thread's short range) does not clear 2 MB.
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

}  // namespace

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
        std::unique_ptr<std::byte[], FreeBlock> block(NewBlock(size));
        pool_.push_back(std::move(block));
        poolSize_ = size;
        at = aligned(0, pool_.back().get());
    }
    poolUsed_ = at + bytes;
    return pool_.back().get() + at;
}

namespace {

// One column's lengths, as bytes or as 32-bit numbers; places past the page's records are 0.
void WriteLengthRow(uint8_t* row, uint8_t lengthBytes,
                    const std::array<uint32_t, kPageRecords>& length, int count) {
    for (int q = 0; q < kPageRecords; ++q) {
        uint32_t n = q < count ? length[q] : 0;
        if (lengthBytes == 1) {
            row[q] = static_cast<uint8_t>(n);
        } else {
            reinterpret_cast<uint32_t*>(row)[q] = n;
        }
    }
}

}  // namespace

void TargetStore::Flush() {
    Staging& s = *staging_;
    if (s.count == 0) {
        return;
    }
    size_t units = 0;
    uint32_t longest = 0;
    uint8_t rows = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        units += s.text[k].size;
        rows += s.text[k].size > 0;
        for (int q = 0; q < s.count; ++q) {
            longest = std::max(longest, s.length[k][q]);
        }
    }
    uint8_t lengthBytes = longest < 255 ? 1 : 4;
    size_t lengths = size_t{rows} * kPageRecords * lengthBytes;
    TextPage* page = nullptr;
    try {
        page = new (PoolSpace(sizeof(TextPage) + lengths + units * 2)) TextPage;
        pages_.push_back(page);
    } catch (const std::bad_alloc&) {
        count_ -= static_cast<size_t>(s.count);  // the page's records are dropped
        page = nullptr;
    }
    if (page) {
        page->lengthBytes = lengthBytes;
        page->lengthRows = rows;
        FillPage(*page);
    }
    for (ColumnText& column : s.text) {
        column.size = 0;
    }
    s.count = 0;
}

// Copies the staged records into a page sized for them and points their records at it.
void TargetStore::FillPage(TextPage& page) {
    Staging& s = *staging_;
    std::memcpy(page.present, s.present.data(), kPageRecords);
    page.count = static_cast<uint16_t>(s.count);
    page.firstRecord = static_cast<uint32_t>(count_ - static_cast<size_t>(s.count));
    uint8_t rows = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        page.lengthRow[k] = s.text[k].size > 0 ? rows++ : TextPage::kNoRow;
    }
    char16_t* text = const_cast<char16_t*>(page.Text());
    uint32_t start = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        page.columnStart[k] = start;
        if (s.text[k].size > 0) {  // an empty column may have no buffer yet
            std::memcpy(text + start, s.text[k].data.get(), s.text[k].size * 2);
            WriteLengthRow(const_cast<uint8_t*>(page.LengthRow(k)), page.lengthBytes, s.length[k],
                           s.count);
        }
        start += static_cast<uint32_t>(s.text[k].size);
    }
    page.columnStart[kInfoItems] = start;
    for (int q = 0; q < s.count; ++q) {
        size_t index = count_ - static_cast<size_t>(s.count) + q;
        Slot(index).text_ = reinterpret_cast<uintptr_t>(&page) | static_cast<uintptr_t>(q);
    }
}

bool TargetStore::Append(TargetStore& part) {
    Flush();
    part.Flush();
    const size_t total = count_ + part.count_;
    if (total >= 0x7FFFFFFF) {
        return false;
    }
    try {
        pages_.reserve(pages_.size() + part.pages_.size());
        pool_.reserve(pool_.size() + part.pool_.size());
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
    count_ = total;
    indexed_ = false;
    part.Clear();
    return true;
}

void TargetStore::Clear() {
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
