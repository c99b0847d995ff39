// The rules of the favourite dialogs that are not drawing: the labels taken from the column
// captions (also the search dialog's), the name as the name dialog accepts it (49 characters, no
// duplicate), the delete question, and renaming one favourite. The dialogs themselves live in the
// UI.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/app/commands.h"
#include "core/favorites/favorite_list.h"
#include "core/locinfo/location_info.h"

namespace zentorak {

// The name dialog takes at most this many characters (UTF-16 units).
inline constexpr size_t kFavoriteNameLimit = 49;

// A column caption as a label: cut to its first 38 characters when it has 39 or more, then ":".
std::u16string CaptionLabel(std::u16string_view caption);

// The label of coordinate slot 0 or 1 in the name dialog: the caption's label, or "Latitude:" /
// "Longitude:" when the loaded files have no such column.
std::u16string CoordinateLabel(const ColumnMap& columns, int slot);

// The name dialog's OK: `name` is cut to kFavoriteNameLimit characters; nullopt when it may be
// taken, else the refusal to show (the name holds a line break, or a favourite with exactly this
// name exists; letter case counts). An empty name is accepted.
std::optional<Notice> AcceptFavoriteName(const FavoriteList& favorites, std::u16string& name);

// Asked before favourite `name` is deleted: a name of more than 20 characters shows its first 20
// followed by "...". Yes/No, with No the default.
Notice DeleteFavoriteQuestion(std::u16string_view name);

// Favourite `index` gets `name`; its position and place in the list stay. 0;
// kFavoriteBadIndex; kFavoriteNameNoMemory (nothing changes).
int RenameFavorite(FavoriteList& favorites, int index, std::u16string_view name);

}  // namespace zentorak
