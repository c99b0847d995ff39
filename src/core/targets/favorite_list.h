// The user's named positions in the order they were added. Pure data: the favourites menu rule
// (favourite i has command 2001 + i) is kept by the callers; naming dialogs live elsewhere.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/geo/dms.h"

namespace zentorak {

struct FavoriteRecord {
    DmsAngle lat;
    DmsAngle lon;
    std::u16string name;
};

// Favourite i (from 0) is the menu command kFavoriteCommandBase + 1 + i.
inline constexpr int kFavoriteCommandBase = 2000;

class FavoriteList {
public:
    int count() const { return static_cast<int>(records_.size()); }
    // Room for this many records before the list grows again (in steps of 10).
    size_t capacity() const { return capacity_; }
    const FavoriteRecord& operator[](int i) const { return records_[static_cast<size_t>(i)]; }
    FavoriteRecord& operator[](int i) { return records_[static_cast<size_t>(i)]; }
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }
    void clear();

private:
    friend int AddFavorite(FavoriteList&, const FavoriteRecord&);
    friend int RemoveFavorite(FavoriteList&, int);

    std::vector<FavoriteRecord> records_;
    size_t capacity_ = 0;
};

// 0; -101 when the list cannot grow; -102 when the name cannot be copied (nothing added).
int AddFavorite(FavoriteList& list, const FavoriteRecord& record);
// 0; -101 when the index lies outside 0..count-1 (nothing changes).
int RemoveFavorite(FavoriteList& list, int index);

}  // namespace zentorak
