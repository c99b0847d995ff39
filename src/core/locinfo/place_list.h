// Place lists that other map apps export: GPX waypoints, KML and KMZ placemarks and GeoJSON point
// features, read into one plain form (the item captions, and per place its WGS 84 point and its
// items) that the loader files like a CSV file's lines (AddPlaceList in location_loader.h).
// Routes, tracks, lines and polygons are not places: they are counted and left out. Parses with
// pugixml, simdjson and libzip; does not touch the target grid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/locinfo/location_info.h"

namespace zentorak {

enum class PlaceFormat { kNone, kGpx, kKml, kKmz, kGeoJson };

// By the file name's extension (.gpx, .kml, .kmz, .geojson, in any letter case); kNone for a
// location-info CSV file and every other name.
PlaceFormat PlaceFormatOf(std::string_view path);

struct PlaceList {
    struct Place {
        double lat = 0, lon = 0;  // WGS 84 degrees as the file gives them
        // The items as one comma-separated line in UTF-8 ('"' quoting): field c is under
        // captions[c]; a short line leaves the later items empty.
        std::string items;
    };
    std::vector<std::string> captions;  // UTF-8; the name's comes first
    std::vector<Place> places;
    size_t skippedShapes = 0;  // routes, tracks, lines and polygons left out
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
    void Set(size_t column, std::string_view value);
    PlaceList& list_;
    std::string tel_;
    std::unordered_map<std::string, size_t> columnOf_;
    std::vector<std::string> values_;
    std::string line_;
    bool lineBuilt_ = false;
};

// The readers: 0 with the places of the bytes added to list, or kLoadCannotOpen when the bytes
// are not a document of the form. May throw std::bad_alloc.
int ReadGpxPlaces(std::string_view bytes, PlaceListBuilder& places);
int ReadKmlPlaces(std::string_view bytes, PlaceListBuilder& places);
int ReadKmzPlaces(std::string_view bytes, PlaceListBuilder& places);  // its first .kml entry
int ReadGeoJsonPlaces(std::string_view bytes, PlaceListBuilder& places);

// Reads the file of the format: 0; kLoadCannotOpen (missing, not a regular file, not a document
// of the format); kLoadReadFailed; kLoadNoMemory.
int ReadPlaceListFile(const std::string& path, PlaceFormat format,
                      const CoordinateKeywords& keywords, PlaceList& list);

// The captions a location-info file offers as its header gives them: for a place list,
// 緯度 and 経度 then its item captions; for any other file ReadCsvHeader's fields. 0 or
// ReadCsvHeader's failures.
int ReadFileCaptions(const std::string& path, std::vector<std::u16string>& fields,
                     const CoordinateKeywords& keywords = {});

}  // namespace zentorak
