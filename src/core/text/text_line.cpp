#include "core/text/text_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "core/text/code_page.h"

namespace zentorak {

TextFileReader::TextFileReader(int fd, ReadFunction read, size_t bufferSize)
    : fd_(fd), read_(std::move(read)), buffer_(bufferSize ? bufferSize : 1, '\0') {
    if (!read_) {
        read_ = [](int f, void* b, size_t n) { return ::read(f, b, n); };
    }
}

bool TextFileReader::Refill(std::string_view& bytes, int& result) {
    ssize_t n;
    do {
        n = read_(fd_, buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        result = kTextReadFailed;
        return false;
    }
    pos_ = 0;
    end_ = static_cast<size_t>(n);
    if (n == 0) {
        bytes = carry_;
        result = kTextEndOfFile;
        return false;
    }
    return true;
}

int TextFileReader::ReadRawLine(std::string_view& bytes) {
    carry_.clear();
    bool carrying = false;
    for (;;) {
        int result;
        if (pos_ == end_ && !Refill(bytes, result)) {
            return result;
        }
        const char* start = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* p = start;
        while (p < stop && *p != '\n' && *p != '\r') {
            ++p;
        }
        if (p == stop) {
            carry_.append(start, p);
            carrying = true;
            pos_ = end_;
            continue;
        }
        char lineEnd = *p;
        pos_ = static_cast<size_t>(p - buffer_.data()) + 1;
        if (lineEnd == '\r') {
            // After a CR the next byte decides: an LF belongs to this line end, anything else
            // starts the next line.
            if (pos_ == end_) {
                carry_.append(start, p);
                if (!Refill(bytes, result)) {
                    return result;
                }
                if (buffer_[0] == '\n') {
                    pos_ = 1;
                }
                bytes = carry_;
                return 0;
            }
            if (buffer_[pos_] == '\n') {
                ++pos_;
            }
        }
        if (carrying) {
            carry_.append(start, p);
            bytes = carry_;
        } else {
            bytes = std::string_view(start, static_cast<size_t>(p - start));
        }
        return 0;
    }
}

int ReadTextLine(TextFileReader& file, std::u16string& line, size_t* byteCount,
                 TextEncoding encoding) {
    line.clear();
    if (byteCount) {
        *byteCount = 0;
    }
    std::string_view bytes;
    int result;
    try {
        result = file.ReadRawLine(bytes);
    } catch (const std::bad_alloc&) {
        return kTextLineNoMemory;
    }
    if (result != 0 && result != kTextEndOfFile) {
        return result;
    }
    if (byteCount) {
        *byteCount = bytes.size();
    }
    size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
        bytes = bytes.substr(0, nul);
    }
    try {
        line.resize(bytes.size());
        line.resize(DecodeText(encoding, bytes.data(), bytes.size(), line.data()));
    } catch (const std::bad_alloc&) {
        line.clear();
        return kTextDecodeNoMemory;
    }
    return result;
}

TextFileWriter::TextFileWriter(int fd, WriteFunction write, TextEncoding encoding)
    : fd_(fd), write_(std::move(write)), encoding_(encoding) {
    if (!write_) {
        write_ = [](int f, const void* d, size_t n) { return ::write(f, d, n); };
    }
}

bool TextFileWriter::WriteAll(const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write_(fd_, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int TextFileWriter::WriteTextLine(std::u16string_view text) {
    text = text.substr(0, text.find(u'\0'));
    std::string bytes;
    try {
        bytes = encoding_ == TextEncoding::kUtf8 ? ToUtf8(text) : EncodeCp932(text);
    } catch (const std::bad_alloc&) {
        return kTextWriteFailed;
    }
    bytes += "\r\n";
    return WriteAll(bytes.data(), bytes.size()) ? 0 : kTextWriteFailed;
}

int TextFileWriter::WriteBytes(std::string_view bytes) {
    return WriteAll(bytes.data(), bytes.size()) ? 0 : kTextWriteFailed;
}

}  // namespace zentorak
