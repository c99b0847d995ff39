// Line-by-line reading and writing of 8-bit text files: the settings file in CP932, the
// location-info files in CP932 or UTF-8. LF, CR LF and a lone CR each end a line on reading;
// writing always ends lines with CR LF, in CP932 or UTF-8. Reads go through a buffer; the lines,
// results and end-of-file behaviour are those of the handset's one-byte-at-a-time reader. Does not
// open or close files.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/text/code_page.h"

namespace zentorak {

// What reading a line gives besides 0 (a line ended by a line break). Callers treat anything but
// 0 and kTextEndOfFile as a read error of the whole file.
inline constexpr int kTextEndOfFile = -1;      // the line is the piece after the last line break
inline constexpr int kTextLineNoMemory = -11;  // no memory for a line's bytes
inline constexpr int kTextReadFailed = -12;
inline constexpr int kTextDecodeNoMemory = -13;  // no memory for a line's text
// WriteTextLine's failure: a write failed or wrote short.
inline constexpr int kTextWriteFailed = -1;

class TextFileReader {
public:
    // The read function is ::read unless a test injects failures.
    using ReadFunction = std::function<ssize_t(int fd, void* buffer, size_t size)>;

    explicit TextFileReader(int fd, ReadFunction read = {}, size_t bufferSize = 64 * 1024);

    // The next line's raw bytes without its line end: 0 when the line ended with a line break;
    // kTextEndOfFile (the bytes are the last piece, possibly empty); kTextReadFailed. The view
    // stays valid until the next call.
    int ReadRawLine(std::string_view& bytes);

private:
    // Reads the next buffer full; false when none came: then result is the read failure, or the
    // end of the file with the bytes carried so far as the last piece.
    bool Refill(std::string_view& bytes, int& result);

    int fd_;
    ReadFunction read_;
    std::string buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    std::string carry_;
};

// One line converted from CP932 (or the given encoding) to UTF-16. The text stops at a NUL
// byte, as a zero-terminated conversion would; byteCount receives the bytes the line held.
// Results: 0, kTextEndOfFile (the text is still valid), kTextReadFailed, kTextLineNoMemory,
// kTextDecodeNoMemory.
int ReadTextLine(TextFileReader& file, std::u16string& line, size_t* byteCount = nullptr,
                 TextEncoding encoding = TextEncoding::kCp932);

class TextFileWriter {
public:
    using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

    explicit TextFileWriter(int fd, WriteFunction write = {},
                            TextEncoding encoding = TextEncoding::kCp932);

    // Writes the text in the writer's encoding (up to a NUL character) and CR LF; 0, or
    // kTextWriteFailed.
    int WriteTextLine(std::u16string_view text);
    // Writes bytes as they are (a byte-order mark); 0, or kTextWriteFailed.
    int WriteBytes(std::string_view bytes);

private:
    bool WriteAll(const char* data, size_t size);

    int fd_;
    WriteFunction write_;
    TextEncoding encoding_;
};

}  // namespace zentorak
