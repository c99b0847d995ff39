// The item list control's default item storage: a growable array of item records in insertion
// order, with its own copies of the row texts, and the default store callbacks (slots 0 to 17)
// that work on it. Knows nothing of windows, drawing or scrolling.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/itemlist/item_list_types.h"

namespace zentorak {

struct InertItemStore {
    InertListItem* items = nullptr;
    std::int32_t count = 0;
    std::int32_t capacity = 0;
    std::int32_t step = 20;
};

// A new zero-terminated copy of text (null stays null); null if it cannot be allocated.
char16_t* DuplicateItemText(const char16_t* text);
// A new empty string; null if it cannot be allocated.
char16_t* NewEmptyItemText();
void FreeItemText(char16_t* text);

// The allocator behind the store's array and text copies (realloc semantics). Tests replace it
// to make allocations fail; null restores std::realloc.
using ItemStoreRealloc = void* (*)(void* block, std::size_t bytes);
void SetItemStoreRealloc(ItemStoreRealloc allocator);

// The default slot functions, indexed like the slots (slots 4, 18 and 19 have none here).
extern const InertListCallback kDefaultStoreSlots[kItemListSlotCount];

}  // namespace zentorak
