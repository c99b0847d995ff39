// Cuts a file into lines for the location-info loader, reading large blocks and finding line
// ends 16 or 32 bytes at a time. The lines, results and end of file are those of ReadTextLine: LF,
// CR LF and a lone CR end a line; the piece after the last line end (also a line ended by a CR that
// is the file's last byte) comes with kTextEndOfFile. Does not decode; UpToNul cuts a line at its
// first NUL byte. A scanner may be given one byte range of the file, so that several threads can
// each cut their own part; a range that starts at a line start and ends after a line end cuts as
// the whole file would there.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/text/text_line.h"

namespace zentorak {

class LineScanner {
public:
    LineScanner(int fd, TextFileReader::ReadFunction read, size_t blockSize = 1 << 20);
    // The bytes [begin, end) of the file, read at their offsets so that the file position is not
    // shared; the end of the range is the end of the file for Next.
    LineScanner(int fd, off_t begin, off_t end, size_t blockSize = 1 << 20);

    // 0: a line ended by a line end; kTextEndOfFile (the bytes are the last piece);
    // kTextReadFailed. The view stays valid until the next call. May throw std::bad_alloc.
    int Next(std::string_view& line);

    // The line that Next gave last, up to its first NUL byte (found with the line end). Inline:
    // the loader asks it for every line, and most have none.
    std::string_view UpToNul(std::string_view line) const {
        if (lineNul_ == kNone) [[likely]] {
            return line;
        }
        const size_t from = static_cast<size_t>(line.data() - buffer_.get());
        return lineNul_ >= from && lineNul_ < from + line.size() ? line.substr(0, lineNul_ - from)
                                                                 : line;
    }

    // Bytes that may be read after the start of a line that Next gave, past its end: the
    // buffer has this many more, so a reader may load them in wide words and mask off what is
    // not the line's.
    static constexpr size_t kReadableAfterStart = 32;

private:
    // Moves the unread bytes to the front and reads more; false on a read error.
    bool Fill(bool& atEnd);
    // The first CR or LF at or after from, or end_; notes the first NUL on the way in nul_.
    size_t FindLineEnd(size_t from);
    size_t Capacity() const { return size_ - kReadableAfterStart; }

    int fd_;
    TextFileReader::ReadFunction read_;
    std::unique_ptr<char[]> buffer_;  // size_ bytes, of which the last kReadableAfterStart
    size_t size_ = 0;                 // are never filled
    size_t pos_ = 0, end_ = 0;
    static constexpr size_t kNone = SIZE_MAX;
    size_t nul_ = kNone;      // the first NUL of the line being cut, if any
    size_t lineNul_ = kNone;  // that of the line Next gave last
    bool eof_ = false;
    off_t offset_ = -1, limit_ = -1;  // the range's next byte and its end; -1: read_ is used
};

}  // namespace zentorak
