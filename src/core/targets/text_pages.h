// The texts of the target store's records: pages of up to 64 records whose items stay as the
// file's lines until they are split and decoded, column by column, into the page's body, and the
// blocks that hold those lines. Does not file records and does not search; the store
// (target_store.h) owns the pages and the threads that decode them.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/mapped_memory.h"
#include "core/targets/target_grid.h"
#include "core/text/code_page.h"

namespace zentorak {

inline constexpr int kPageRecords = 64;

// The decoded texts of a text page: the item lengths in units, [row][record] as uint8_t, or
// uint32_t when an item of the page may have 255 units or more; then the texts, column after
// column. Only the columns with some text in the page have a row of lengths: a file with three
// item columns would otherwise pay for eight. A column whose units in the page are all below
// 0x100 (postal codes, telephone numbers) keeps one byte a unit, and one more byte when it needs
// it to keep the next column's UTF-16 on an even offset.
struct TextBody {
    static constexpr uint8_t kNoRow = 0xFF;  // every item of the column is absent or empty

    // What a search reads first comes first: it fits one cache line.
    uint32_t columnStart[kInfoItems + 1];  // byte offset of each column's text; last: the end
    uint8_t lengthBytes;
    uint8_t lengthRows;
    uint8_t narrow;                 // bit k: column k has one byte a unit
    uint8_t padded;                 // bit k: column k ends in a byte that is no unit
    uint8_t lengthRow[kInfoItems];  // the row of each column's lengths, or kNoRow
    uint8_t present[kPageRecords];  // bit k: info[k] present

    const uint8_t* Lengths() const { return reinterpret_cast<const uint8_t*>(this + 1); }
    // The lengths of column k, nullptr when they are all 0.
    const uint8_t* LengthRow(int k) const {
        return lengthRow[k] == kNoRow
                   ? nullptr
                   : Lengths() + size_t{lengthRow[k]} * kPageRecords * lengthBytes;
    }
    uint32_t LengthIn(const uint8_t* row, int record) const {
        return lengthBytes == 1 ? row[record] : reinterpret_cast<const uint32_t*>(row)[record];
    }
    uint32_t Length(int k, int record) const {
        const uint8_t* row = LengthRow(k);
        return row ? LengthIn(row, record) : 0;
    }
    const uint8_t* Texts() const {
        return Lengths() + size_t{lengthRows} * kPageRecords * lengthBytes;
    }
    bool Narrow(int k) const { return (narrow >> k) & 1; }
    // Column k's text, all its items one after the other: one byte a unit when Narrow(k).
    std::u16string_view WideColumn(int k) const {
        return {reinterpret_cast<const char16_t*>(Texts() + columnStart[k]), ColumnBytes(k) / 2};
    }
    std::string_view NarrowColumn(int k) const {
        return {reinterpret_cast<const char*>(Texts() + columnStart[k]), ColumnBytes(k)};
    }
    size_t ColumnBytes(int k) const {
        return columnStart[k + 1] - columnStart[k] - ((padded >> k) & 1);
    }
};

// The text with one byte a unit, as a narrow column keeps it; false when a unit is 0x100 or above
// (then no narrow column holds it).
bool NarrowText(std::u16string_view text, std::string& narrow);

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

// The lines of a page's records as the file has them (less the columns read already where
// those are the first ones): their lengths, then their bytes.
struct RawPage {
    RawBlock* block;
    uint32_t length[kPageRecords];
    uint8_t skipped[kPageRecords];  // columns before the kept part of each line

    const char* Bytes() const { return reinterpret_cast<const char*>(this + 1); }
};

// How the lines of one file give their items: the file's encoding and the column of each item,
// -1 when its slot is absent. An item is present when the line has its column.
struct ItemPlan {
    TextEncoding encoding = TextEncoding::kCp932;
    std::array<int, kInfoItems> column{-1, -1, -1, -1, -1, -1, -1, -1};
    std::vector<int8_t> itemOfColumn;  // up to the last item column: its item, or -1
    // The items present in a line of n columns, n up to itemOfColumn.size(): bit k set when
    // column[k] < n.
    std::vector<uint8_t> presentWith;
};

// The head of up to 64 records' items. A load keeps the records' lines as the file has them;
// they are split and decoded into the body after the index is built, by the store's decoding
// threads or by the first reader that needs them, whichever comes first.
struct TextPage {
    uint32_t firstRecord;  // load number of the page's first record
    uint16_t count;
    bool ownBody = false;  // the body is an allocation of its own, not in a block
    const ItemPlan* plan = nullptr;
    std::atomic<bool> claimed{false};            // by the one thread that decodes the page
    std::atomic<const TextBody*> body{nullptr};  // set once decoded
    RawPage* raw = nullptr;                      // the lines, until they are decoded

    // The texts, decoded here first when no one has done it yet.
    const TextBody& Body() const;
};

namespace detail {

// Makes room for one more element, doubling as push_back would, so that the push_back after it
// cannot throw. (reserve(size() + 1) would copy the whole vector every time.)
template <typename T>
void RoomForOneMore(std::vector<T>& v) {
    if (v.size() == v.capacity()) {
        v.reserve(std::max<size_t>(16, v.capacity() * 2));
    }
}

}  // namespace detail

}  // namespace zentorak
