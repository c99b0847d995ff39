// Cuts a file into lines for the location-info loader, reading large blocks and finding line
// ends with memchr. The lines, results and end of file are those of ReadTextLine: LF, CR LF and
// a lone CR end a line; the piece after the last line end (also a line ended by a CR that is the
// file's last byte) comes with -1. Does not decode; UpToNul cuts a line at its first NUL byte.
// A scanner may be given one byte range of the file, so that several threads can each cut their
// own part; a range that starts at a line start and ends after a line end cuts as the whole file
// would there.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "core/text/text_line.h"

namespace zentorak {

class LineScanner {
public:
    LineScanner(int fd, TextFileReader::ReadFunction read, size_t blockSize = 1 << 20);
    // The bytes [begin, end) of the file, read with pread so that the file position is not
    // shared; the end of the range is the end of the file for Next.
    LineScanner(int fd, off_t begin, off_t end, size_t blockSize = 1 << 20);

    // 0: a line ended by a line end; -1: end of file (the bytes are the last piece); -12: a read
    // failed. The view stays valid until the next call. May throw std::bad_alloc.
    int Next(std::string_view& line);

    // The line that Next gave, up to its first NUL byte. Each byte is searched for a NUL once,
    // however many lines follow, since NUL bytes are rare.
    std::string_view UpToNul(std::string_view line);

private:
    // Moves the unread bytes to the front and reads more; false on a read error.
    bool Fill(bool& atEnd);
    size_t FindLineEnd(size_t from);
    // The first c at or after from, or end_, with cached the last answer for c.
    size_t NextOf(size_t& cached, char c, size_t from);

    int fd_;
    TextFileReader::ReadFunction read_;
    std::string buffer_;
    size_t pos_ = 0, end_ = 0;
    size_t nextNul_ = 0;  // the next NUL at or after the scan point, or end_
    bool eof_ = false;
    off_t offset_ = -1, limit_ = -1;  // the range's next byte and its end; -1: read_ is used
};

}  // namespace zentorak
