#include "core/favorites/favorite_list.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace zentorak {

void FavoriteList::clear() {
    records_.clear();
    records_.shrink_to_fit();
    capacity_ = 0;
}

int FavoriteCommandOf(int index) {
    return index >= 0 && index < kMaxMenuFavorites ? kFavoriteCommandBase + 1 + index : 0;
}

int FavoriteIndexOfCommand(int commandId, int count) {
    int index = commandId - kFavoriteCommandBase - 1;
    return index >= 0 && index < count && FavoriteCommandOf(index) == commandId ? index : -1;
}

bool FavoriteMenuFull(const FavoriteList& list) {
    return list.count() >= kMaxMenuFavorites;
}

int AddFavorite(FavoriteList& list, const FavoriteRecord& record) {
    if (list.records_.size() == list.capacity_) {
        size_t grown = list.capacity_ + std::max<size_t>(list.capacity_, 10);
        try {
            list.records_.reserve(grown);
        } catch (const std::bad_alloc&) {
            return kFavoriteNoRoom;
        } catch (const std::length_error&) {
            return kFavoriteNoRoom;
        }
        list.capacity_ = grown;
    }
    // The room is reserved above, so only the copy of the name can fail here.
    try {
        list.records_.push_back(FavoriteRecord{record.lat, record.lon, record.name});
    } catch (const std::bad_alloc&) {
        return kFavoriteNameNoMemory;
    }
    return 0;
}

int RemoveFavorite(FavoriteList& list, int index) {
    if (index < 0 || index >= list.count()) {
        return kFavoriteBadIndex;
    }
    list.records_.erase(list.records_.begin() + index);
    return 0;
}

}  // namespace zentorak
