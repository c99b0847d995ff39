// The loader behind LoadLocationInfoFile, with the file's read function injectable so that tests
// can fail a read in the middle of a file, and the number of threads that share a large file.
// Loading does not rebuild the search index; the callers do that once after their last file, and
// the index starts the decoding of the items.
#pragma once

#include <string>

#include "core/locinfo/location_info.h"
#include "core/text/text_line.h"

namespace zentorak {

// How many threads read one file: each takes a range of whole lines of at least minChunkBytes;
// a file of more than four times minChunkBytes a thread is cut into up to three ranges a thread,
// each taken by the next thread free.
struct LoadParallelism {
    int threads = 0;  // 0: as many as the cores this process may run on
    size_t minChunkBytes = size_t{4} << 20;
};

// With a read function the file is read from its start by this thread alone.
int LoadLocationInfoFileUnindexed(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                                  const TextFileReader::ReadFunction& read = {},
                                  const CoordinateKeywords& keywords = {},
                                  LocationInfoFileReport* report = nullptr,
                                  const LoadParallelism& parallel = {});

struct PlaceList;

// Files the places of a place list (GPX, KML, KMZ, GeoJSON) as the lines of a decimal CSV file
// whose header is 緯度, 経度 and the list's captions: the captions go to the column map as a
// header's do, and the points, WGS 84 degrees, to the Tokyo datum. LoadLocationInfoFileUnindexed
// calls it for a file whose extension names such a list. 0 or kLoadNoMemory.
int AddPlaceList(TargetGrid& grid, ColumnMap& columns, const PlaceList& places,
                 LocationInfoFileReport* report = nullptr);

// Rebuilds the search index of the grid (after the last file of a load), on every core the process
// may run on, and then decodes the items of a large load on all of them but one, behind the
// caller: the nearest search can run at once, and a reader of items that are not decoded yet
// decodes them itself. false when memory ran out for the index (then searches find nothing).
bool IndexTargetGrid(TargetGrid& grid);

}  // namespace zentorak
