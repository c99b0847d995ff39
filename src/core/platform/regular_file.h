// Opening the files the program reads whole (zentorak.ini, the location-info files): only a
// regular file is read. A FIFO would block the open or the read for good, and a device such as
// /dev/zero never ends a line, so both count as files that cannot be opened. Does not read.
#pragma once

#include <string>

namespace zentorak {

// A read-only descriptor (close-on-exec, blocking reads) when the path names a regular file,
// also through symbolic links; -1 otherwise, as for a missing file.
int OpenRegularFileForReading(const std::string& path);

}  // namespace zentorak
