// The user's named positions in the order they were added, and the favourites menu rule
// (favourite i has command 2001 + i, up to the last id below the program's own commands). Pure
// data: the callers keep the menu itself; naming dialogs live elsewhere.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/geo/dms.h"
#include "core/resources/resource_ids.h"

namespace zentorak {

struct FavoriteRecord {
    DmsAngle lat;
    DmsAngle lon;
    std::u16string name;
};

// Favourite i (from 0) is the menu command kFavoriteCommandBase + 1 + i.
inline constexpr int kFavoriteCommandBase = 2000;
// A favourite's command must never be one of the program's own (from 32771 更新 up), or
// choosing that command would pick a favourite instead. So the menu holds the favourites up to
// this id; the list and the settings file keep any number.
inline constexpr int kLastFavoriteCommand = res::kFirstCommandAboveFavorites - 1;
inline constexpr int kMaxMenuFavorites = kLastFavoriteCommand - kFavoriteCommandBase;

// The menu command of favourite `index`, or 0 when that favourite has no menu item.
int FavoriteCommandOf(int index);
// The favourite (0-based) that a menu command chooses among `count` favourites, or -1 when the
// command is not a favourite's.
int FavoriteIndexOfCommand(int commandId, int count);

class FavoriteList {
public:
    int count() const { return static_cast<int>(records_.size()); }
    // Room for this many records before the list grows again: 10 at first, then twice as
    // many each time, so that a file of a hundred thousand favourites loads in linear time.
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

// What changing the list gives besides 0; nothing changes then.
inline constexpr int kFavoriteNoRoom = -101;        // the list cannot grow
inline constexpr int kFavoriteNameNoMemory = -102;  // the name cannot be copied
inline constexpr int kFavoriteBadIndex = -101;      // no favourite has the index

// 0; kFavoriteNoRoom; kFavoriteNameNoMemory.
// Adds beyond the menu's room too (the settings file may hold more favourites than the menu);
// the interactive callers refuse an addition first when FavoriteMenuFull.
int AddFavorite(FavoriteList& list, const FavoriteRecord& record);
// True when the menu has no id left for another favourite.
bool FavoriteMenuFull(const FavoriteList& list);
// 0; kFavoriteBadIndex when the index lies outside 0..count-1.
int RemoveFavorite(FavoriteList& list, int index);

}  // namespace zentorak
