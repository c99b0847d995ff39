// The loader behind LoadLocationInfoFile, with the file's read function injectable so that tests
// can fail a read in the middle of a file. Loading does not rebuild the search index; the
// callers do that once after their last file.
#pragma once

#include <string>

#include "core/geo/location_info.h"
#include "core/text/text_line.h"

namespace zentorak {

int LoadLocationInfoFileUnindexed(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                                  const TextFileReader::ReadFunction& read = {},
                                  const CoordinateKeywords& keywords = {},
                                  LocationInfoFileReport* report = nullptr);

// Rebuilds the search index of the grid (after the last file of a load).
void IndexTargetGrid(TargetGrid& grid);

}  // namespace zentorak
