// Place lists that other map apps export: GPX waypoints, KML and KMZ placemarks and GeoJSON point
// features, read into one plain form (the item captions, and per place its WGS 84 point and its
// items) that the loader files like a CSV file's lines (AddPlaceList in location_loader.h).
// Routes, tracks, lines and polygons are not places: they are counted and left out. Parses with
// pugixml, simdjson and libzip; does not touch the target grid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/locinfo/file_columns.h"
#include "core/locinfo/location_info.h"

namespace zentorak {

enum class PlaceFormat { kNone, kGpx, kKml, kKmz, kGeoJson };

// By the file name's extension (.gpx, .kml, .kmz, .geojson, in any letter case); kNone for a
// location-info CSV file and every other name.
PlaceFormat PlaceFormatOf(std::string_view path);

struct PlaceList {
    struct Place {
        double lat = 0, lon = 0;     // WGS 84 degrees as the file gives them
        size_t begin = 0, size = 0;  // its items in itemBytes
    };
    std::vector<std::string> captions;  // UTF-8; the name's comes first
    std::vector<Place> places;
    // Each place's items as one comma-separated line in UTF-8 ('"' quoting), one after the
    // other: field c is under captions[c]; a short line leaves the later items empty.
    std::string itemBytes;
    size_t skippedShapes = 0;  // routes, tracks, lines and polygons left out

    std::string_view Items(const Place& place) const {
        return std::string_view(itemBytes).substr(place.begin, place.size);
    }
};

// Collects the places of one file: the fields of the place being read, each under the caption
// of its name, then one Point call for each of its points. The name's caption is the name
// keyword; a field named like the telephone keyword (tel, phone, phoneNumber, ...) goes under
// the telephone keyword, so both serve as they do in a CSV file. Values are trimmed and their
// line breaks and tabs become spaces; the first non-empty value of a caption in a place wins.
class PlaceListBuilder {
public:
    PlaceListBuilder(PlaceList& list, const CoordinateKeywords& keywords);
    void Name(std::string_view value) { Set(0, value); }
    void Field(std::string_view caption, std::string_view value);
    // Adds a place at the point with the fields given since the last Clear. May throw
    // std::bad_alloc, as every call here may.
    void Point(double lat, double lon);
    void Clear();
    void SkipShape() { ++list_.skippedShapes; }

private:
    // A field name met before and its column (the telephone keyword's for a telephone name).
    struct Known {
        std::string name;
        size_t column;
    };
    void Set(size_t column, std::string_view value);
    size_t ColumnOf(std::string_view name);
    PlaceList& list_;
    std::string tel_;
    std::vector<Known> known_;
    size_t lastKnown_ = 0;  // where the next name is looked for first: fields come in order
    std::vector<std::string> values_;
    std::vector<char> quoted_;  // whether values_[c] holds a comma or a quote
    size_t lineBegin_ = 0, lineSize_ = 0;
    bool lineBuilt_ = false;
};

// A document's bytes: size bytes at data, which a reader may change (GPX and KML are parsed in
// place), then room bytes more that may be read but are no part of it.
struct PlaceBytes {
    char* data = nullptr;
    size_t size = 0;
    size_t room = 0;
};

// The readers: 0 with the places of the bytes added to list, or kLoadCannotOpen when the bytes
// are not a document of the form. May throw std::bad_alloc. GeoJSON is read where it lies when
// the room after it holds simdjson's padding (SIMDJSON_PADDING, 64 bytes), else from a copy.
int ReadGpxPlaces(PlaceBytes bytes, PlaceListBuilder& places);
int ReadKmlPlaces(PlaceBytes bytes, PlaceListBuilder& places);
int ReadKmzPlaces(PlaceBytes bytes, PlaceListBuilder& places);  // its first .kml entry
int ReadGeoJsonPlaces(PlaceBytes bytes, PlaceListBuilder& places);

// The same for the bytes of a string, whose spare capacity is the room after them.
inline PlaceBytes BytesOf(std::string& bytes) {
    return {bytes.data(), bytes.size(), bytes.capacity() - bytes.size()};
}
inline int ReadGpxPlaces(std::string& bytes, PlaceListBuilder& places) {
    return ReadGpxPlaces(BytesOf(bytes), places);
}
inline int ReadKmlPlaces(std::string& bytes, PlaceListBuilder& places) {
    return ReadKmlPlaces(BytesOf(bytes), places);
}
inline int ReadKmzPlaces(std::string& bytes, PlaceListBuilder& places) {
    return ReadKmzPlaces(BytesOf(bytes), places);
}
inline int ReadGeoJsonPlaces(std::string& bytes, PlaceListBuilder& places) {
    return ReadGeoJsonPlaces(BytesOf(bytes), places);
}

// Reads the file of the format: 0; kLoadCannotOpen (missing, not a regular file, not a document
// of the format); kLoadReadFailed; kLoadNoMemory.
int ReadPlaceListFile(const std::string& path, PlaceFormat format,
                      const CoordinateKeywords& keywords, PlaceList& list);

// The header a place list stands for (緯度, 経度, then its captions) and its columns: the point
// first, the items after it.
void PlaceListHeader(const PlaceList& list, std::vector<std::u16string>& header,
                     FileColumns& columns);

// The header of a location-info file and the columns a load of it reads: a place list's as
// PlaceListHeader gives them, another file's as ChooseFileColumns finds them in its first lines.
// 0, or the failure of reading the file.
int ReadFileColumns(const std::string& path, const CoordinateKeywords& keywords,
                    std::vector<std::u16string>& header, FileColumns& columns);

}  // namespace zentorak
