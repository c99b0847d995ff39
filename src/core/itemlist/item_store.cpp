#include "core/itemlist/item_store.h"

#include <cstdlib>
#include <cstring>

namespace zentorak {
namespace {

ItemStoreRealloc storeRealloc = &std::realloc;

InertItemStore& StoreOf(void* target) {
    return *static_cast<InertItemStore*>(target);
}
InertListItem* RecordOf(MsgLParam p) {
    return reinterpret_cast<InertListItem*>(p);
}
bool InRange(const InertItemStore& s, MsgLParam index) {
    return index >= 0 && index < s.count;
}

std::size_t TextLength(const char16_t* text) {
    std::size_t n = 0;
    while (text[n] != 0) {
        ++n;
    }
    return n;
}

bool TextEquals(const char16_t* a, const char16_t* b) {
    std::size_t n = TextLength(a);
    return n == TextLength(b) && std::memcmp(a, b, n * sizeof(char16_t)) == 0;
}

MsgResult Grow(InertItemStore& s) {
    if (s.count < s.capacity) {
        return 0;
    }
    std::size_t newCapacity = static_cast<std::size_t>(s.capacity) + s.step;
    void* grown = storeRealloc(s.items, newCapacity * sizeof(InertListItem));
    if (grown == nullptr) {
        return kItemListNoMemory;
    }
    s.items = static_cast<InertListItem*>(grown);
    s.capacity = static_cast<std::int32_t>(newCapacity);
    return 0;
}

// Fills a stored record from the caller's record; the text is copied.
MsgResult CopyIn(InertListItem& row, const InertListItem& from) {
    row.flags = from.flags;
    row.height = from.height;
    row.text = DuplicateItemText(from.text);
    return (from.text != nullptr && row.text == nullptr) ? kItemListBadItem : 0;
}

MsgResult Spare(void*, MsgLParam, MsgLParam, MsgLParam) {
    return 0;
}

MsgResult Init(void* target, MsgLParam, MsgLParam, MsgLParam) {
    StoreOf(target) = InertItemStore{};
    return 0;
}

MsgResult Clear(void* target, MsgLParam, MsgLParam, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    for (std::int32_t i = 0; i < s.count; ++i) {
        FreeItemText(s.items[i].text);
    }
    std::free(s.items);
    s = InertItemStore{};
    return 0;
}

MsgResult Find(void* target, MsgLParam start, MsgLParam record, MsgLParam) {
    const InertItemStore& s = StoreOf(target);
    if (start >= s.count || RecordOf(record) == nullptr) {
        return kItemListBadItem;
    }
    const char16_t* key = RecordOf(record)->text;
    for (MsgLParam i = start < 0 ? 0 : start; key != nullptr && i < s.count; ++i) {
        if (s.items[i].text != nullptr && TextEquals(s.items[i].text, key)) {
            return i;
        }
    }
    return kItemListNotFound;
}

MsgResult Append(void* target, MsgLParam record, MsgLParam, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    if (RecordOf(record) == nullptr) {
        return kItemListBadItem;
    }
    if (MsgResult grown = Grow(s); grown != 0) {
        return grown;
    }
    MsgResult copied = CopyIn(s.items[s.count], *RecordOf(record));
    if (copied == 0) {
        ++s.count;
    }
    return copied;
}

MsgResult Insert(void* target, MsgLParam index, MsgLParam record, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    if (!InRange(s, index) || RecordOf(record) == nullptr) {
        return kItemListBadItem;
    }
    if (MsgResult grown = Grow(s); grown != 0) {
        return grown;
    }
    InertListItem row;
    if (MsgResult copied = CopyIn(row, *RecordOf(record)); copied != 0) {
        return copied;
    }
    std::memmove(&s.items[index + 1], &s.items[index], (s.count - index) * sizeof(InertListItem));
    s.items[index] = row;
    ++s.count;
    return 0;
}

MsgResult Delete(void* target, MsgLParam index, MsgLParam, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    if (!InRange(s, index)) {
        return kItemListBadItem;
    }
    FreeItemText(s.items[index].text);
    std::memmove(&s.items[index], &s.items[index + 1],
                 (s.count - index - 1) * sizeof(InertListItem));
    --s.count;
    return 0;
}

MsgResult Count(void* target, MsgLParam, MsgLParam, MsgLParam) {
    return StoreOf(target).count;
}

MsgResult Replace(void* target, MsgLParam index, MsgLParam record, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    if (!InRange(s, index) || RecordOf(record) == nullptr) {
        return kItemListBadItem;
    }
    FreeItemText(s.items[index].text);
    return CopyIn(s.items[index], *RecordOf(record));
}

MsgResult Read(void* target, MsgLParam index, MsgLParam record, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    InertListItem* out = RecordOf(record);
    if (!InRange(s, index) || out == nullptr) {
        return kItemListBadItem;
    }
    const InertListItem& row = s.items[index];
    out->flags = row.flags;
    out->height = row.height;
    out->text = DuplicateItemText(row.text);
    return (row.text != nullptr && out->text == nullptr) ? kItemListBadItem : 0;
}

MsgResult Release(void*, MsgLParam record, MsgLParam, MsgLParam) {
    if (InertListItem* item = RecordOf(record); item != nullptr) {
        FreeItemText(item->text);
        *item = InertListItem{};
    }
    return 0;
}

MsgResult SetFlags(void* target, MsgLParam index, MsgLParam value, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    if (!InRange(s, index)) {
        return kItemListBadItem;
    }
    s.items[index].flags = static_cast<std::uint32_t>(value);
    return 0;
}

MsgResult GetFlags(void* target, MsgLParam index, MsgLParam, MsgLParam) {
    const InertItemStore& s = StoreOf(target);
    return InRange(s, index) ? s.items[index].flags : 0;
}

MsgResult SetHeight(void* target, MsgLParam index, MsgLParam value, MsgLParam) {
    InertItemStore& s = StoreOf(target);
    if (!InRange(s, index)) {
        return kItemListBadItem;
    }
    s.items[index].height = static_cast<std::int32_t>(value);
    return 0;
}

MsgResult GetOwnHeight(void* target, MsgLParam index, MsgLParam, MsgLParam) {
    const InertItemStore& s = StoreOf(target);
    if (!InRange(s, index)) {
        return kItemListBadItem;
    }
    const InertListItem& row = s.items[index];
    return (row.flags & ILVIF_OWNHEIGHT) != 0 ? row.height : -1;
}

MsgResult GetText(void* target, MsgLParam index, MsgLParam, MsgLParam) {
    const InertItemStore& s = StoreOf(target);
    if (!InRange(s, index)) {
        return 0;
    }
    const char16_t* text = s.items[index].text;
    char16_t* copy = text != nullptr ? DuplicateItemText(text) : NewEmptyItemText();
    return reinterpret_cast<MsgResult>(copy);
}

}  // namespace

char16_t* DuplicateItemText(const char16_t* text) {
    if (text == nullptr) {
        return nullptr;
    }
    std::size_t bytes = (TextLength(text) + 1) * sizeof(char16_t);
    auto* copy = static_cast<char16_t*>(storeRealloc(nullptr, bytes));
    if (copy != nullptr) {
        std::memcpy(copy, text, bytes);
    }
    return copy;
}

char16_t* NewEmptyItemText() {
    return DuplicateItemText(u"");
}

void FreeItemText(char16_t* text) {
    std::free(text);
}

void SetItemStoreRealloc(ItemStoreRealloc allocator) {
    storeRealloc = allocator != nullptr ? allocator : &std::realloc;
}

const InertListCallback kDefaultStoreSlots[kItemListSlotCount] = {
    Spare,   Init, Clear,   Clear,    nullptr,  Find,      Append,       Insert,  Delete,  Count,
    Replace, Read, Release, SetFlags, GetFlags, SetHeight, GetOwnHeight, GetText, nullptr, nullptr,
};

}  // namespace zentorak
