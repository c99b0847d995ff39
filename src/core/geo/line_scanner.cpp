#include "core/geo/line_scanner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zentorak {

LineScanner::LineScanner(int fd, TextFileReader::ReadFunction read, size_t blockSize)
    : fd_(fd), read_(std::move(read)), buffer_(blockSize ? blockSize : 1, '\0') {
    if (!read_) {
        read_ = [](int f, void* b, size_t n) { return ::read(f, b, n); };
    }
}

LineScanner::LineScanner(int fd, off_t begin, off_t end, size_t blockSize)
    : fd_(fd), buffer_(blockSize ? blockSize : 1, '\0'), offset_(begin), limit_(end) {}

bool LineScanner::Fill(bool& atEnd) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    nextCr_ = nextCr_ >= pos_ ? nextCr_ - pos_ : 0;
    nextLf_ = nextLf_ >= pos_ ? nextLf_ - pos_ : 0;
    nextNul_ = nextNul_ >= pos_ ? nextNul_ - pos_ : 0;
    pos_ = 0;
    if (end_ == buffer_.size()) {
        buffer_.resize(buffer_.size() * 2);  // a line longer than the block
    }
    ssize_t n;
    do {
        if (offset_ >= 0) {
            const size_t wanted =
                std::min(buffer_.size() - end_, static_cast<size_t>(limit_ - offset_));
            n = wanted == 0 ? 0 : ::pread(fd_, buffer_.data() + end_, wanted, offset_);
            offset_ += n > 0 ? n : 0;
        } else {
            n = read_(fd_, buffer_.data() + end_, buffer_.size() - end_);
        }
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return false;
    }
    atEnd = n == 0;
    end_ += static_cast<size_t>(n);
    return true;
}

// The cached positions hold "no such byte between the scan point and here", so each byte is
// searched once per character even in files whose lines all end in CR alone.
size_t LineScanner::NextOf(size_t& cached, char c, size_t from) {
    const char* base = buffer_.data();
    if (cached < from) {
        cached = from;
    }
    if (cached < end_ && base[cached] != c) {
        const void* hit = std::memchr(base + cached, c, end_ - cached);
        cached = hit ? static_cast<size_t>(static_cast<const char*>(hit) - base) : end_;
    }
    return cached;
}

// The first CR or LF at or after from, or end_.
size_t LineScanner::FindLineEnd(size_t from) {
    return std::min(NextOf(nextCr_, '\r', from), NextOf(nextLf_, '\n', from));
}

std::string_view LineScanner::UpToNul(std::string_view line) {
    const size_t from = static_cast<size_t>(line.data() - buffer_.data());
    const size_t nul = NextOf(nextNul_, '\0', from);
    return nul < from + line.size() ? line.substr(0, nul - from) : line;
}

int LineScanner::Next(std::string_view& line) {
    size_t scanned = pos_;
    for (;;) {
        size_t at = FindLineEnd(scanned);
        if (at < end_ && (buffer_[at] == '\n' || at + 1 < end_)) {
            line = std::string_view(buffer_.data() + pos_, at - pos_);
            pos_ = at + 1 + (buffer_[at] == '\r' && buffer_[at + 1] == '\n');
            return 0;
        }
        if (eof_) {
            // A CR as the file's last byte ends the last piece, which comes with -1.
            line = std::string_view(buffer_.data() + pos_, (at < end_ ? at : end_) - pos_);
            pos_ = end_;
            return -1;
        }
        scanned = at;  // a CR at the block's end needs the next byte
        size_t offset = pos_;
        if (!Fill(eof_)) {
            return -12;
        }
        scanned -= offset;
    }
}

}  // namespace zentorak
