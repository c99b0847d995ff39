// Opening and reading the files the program reads whole (zentorak.ini, the location-info files):
// only a regular file is opened. A FIFO would block the open or the read for good, and a device
// such as /dev/zero never ends a line, so both count as files that cannot be opened. Reads at an
// offset, so that threads may share a descriptor, and cuts a file into ranges of whole lines;
// knows nothing else of what the files hold.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace zentorak {

// OpenRegularFileForReading's answer for a path it does not open.
inline constexpr int kFileCannotOpen = -1;

// A read-only descriptor (close-on-exec, blocking reads) when the path names a regular file,
// also through symbolic links; kFileCannotOpen otherwise, as for a missing file.
int OpenRegularFileForReading(const std::string& path);

// The file's size in bytes, or -1 when the system cannot tell it.
off_t FileSize(int fd);

// Up to size bytes at offset (pread(2): the descriptor's position stays), read again when a
// signal interrupts the read: the bytes read, 0 at the end of the file, -1 on a read error.
ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset);
// The same, reading on until size bytes are read or the file ends.
ssize_t ReadFullyAt(int fd, void* buffer, size_t size, off_t offset);

// Cuts [0, size) of the file into at most parts ranges that each start at a line start (after
// LF, CR LF or a lone CR), so that every line lies whole in one range: the cuts, 0 and size
// included. Ranges that would be empty are left out; a read error ends the cutting (the reader
// of the ranges meets it again and reports it).
std::vector<off_t> CutAtLineStarts(int fd, off_t size, int parts);

}  // namespace zentorak
