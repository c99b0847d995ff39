// The decoding of the text pages (on the store's threads, or by the first reader of a page) and
// the reading of one record's items from its page's body.
#include "core/targets/text_pages.h"

#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/platform/threads.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "core/text/csv_split.h"

namespace zentorak {

const TextPage& TargetStore::PageOf(const TargetRecord& record, int& place) {
    place = static_cast<int>(record.text_ & (kPageRecords - 1));
    return *reinterpret_cast<const TextPage*>(record.text_ & ~uintptr_t{kPageRecords - 1});
}

uint32_t TargetStore::LoadNumberOf(const TargetRecord& record) {
    int place;
    return PageOf(record, place).firstRecord + static_cast<uint32_t>(place);
}

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
            detail::RoomForOneMore(blocks);
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

void TargetStore::DeleteDecoding::operator()(Decoding* decoding) const {
    delete decoding;
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
    std::unique_ptr<Decoding, DeleteDecoding> decoding(new Decoding);
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

}  // namespace zentorak
