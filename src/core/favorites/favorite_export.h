// The favourites as a GPX 1.1 document of waypoints or a KML 2.2 document of placemarks, for the
// map apps people use beside this program: UTF-8, the names as stored, the points shifted from
// the Tokyo datum to WGS 84 (TokyoToWgs84). Builds text only: reads neither format and writes
// no file.
#pragma once

#include <string>
#include <vector>

#include "core/favorites/favorite_list.h"

namespace zentorak {

enum class FavoriteFormat { kGpx, kKml };

struct FavoriteExport {
    std::string document;
    // The favourites (0-based) that are not in the document: their point has no place on the
    // globe (a hand-edited FavLat of 95/00/00, say), and writing it would make the whole
    // document invalid for the reader.
    std::vector<int> leftOut;
};

FavoriteExport ExportFavorites(const FavoriteList& favorites, FavoriteFormat format);

}  // namespace zentorak
