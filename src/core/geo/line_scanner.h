// Cuts a file into lines for the location-info loader, reading large blocks and finding line
// ends with memchr. The lines, results and end of file are those of ReadTextLine: LF, CR LF and
// a lone CR end a line; the piece after the last line end (also a line ended by a CR that is the
// file's last byte) comes with -1. Does not decode or cut at NUL bytes.
#pragma once

#include <string>
#include <string_view>

#include "core/text/text_line.h"

namespace zentorak {

class LineScanner {
public:
    LineScanner(int fd, TextFileReader::ReadFunction read, size_t blockSize = 1 << 20);

    // 0: a line ended by a line end; -1: end of file (the bytes are the last piece); -12: a read
    // failed. The view stays valid until the next call. May throw std::bad_alloc.
    int Next(std::string_view& line);

private:
    // Moves the unread bytes to the front and reads more; false on a read error.
    bool Fill(bool& atEnd);
    size_t FindLineEnd(size_t from);

    int fd_;
    TextFileReader::ReadFunction read_;
    std::string buffer_;
    size_t pos_ = 0, end_ = 0;
    size_t nextCr_ = 0, nextLf_ = 0;  // next CR and LF at or after the scan point, or end_
    bool eof_ = false;
};

}  // namespace zentorak
