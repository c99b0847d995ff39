#include "core/geo/line_scanner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The cached position holds "no such byte between the scan point and here", so each byte is
// searched once however many lines follow.
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

// The first CR or LF at or after from, or end_: one pass for both, sixteen bytes at a time where
// the processor has SSE2. Each call starts where the last line ended, so each byte is looked at
// once whichever line ends a file uses.
size_t LineScanner::FindLineEnd(size_t from) {
    const char* base = buffer_.data();
    size_t i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; i + 16 <= end_; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
        if (mask != 0) {
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
    }
#endif
    for (; i < end_; ++i) {
        if (base[i] == '\r' || base[i] == '\n') {
            return i;
        }
    }
    return end_;
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
