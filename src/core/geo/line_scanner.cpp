#include "core/geo/line_scanner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentorak {

namespace {

// The buffer is not cleared (the reads write it), except for the bytes after its capacity, which
// wide loads may read.
std::unique_ptr<char[]> NewBuffer(size_t size) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get() + size - LineScanner::kReadableAfterStart, 0,
                LineScanner::kReadableAfterStart);
    return buffer;
}

}  // namespace

LineScanner::LineScanner(int fd, TextFileReader::ReadFunction read, size_t blockSize)
    : fd_(fd),
      read_(std::move(read)),
      buffer_(NewBuffer(std::max<size_t>(blockSize, 1) + kReadableAfterStart)),
      size_(std::max<size_t>(blockSize, 1) + kReadableAfterStart) {
    if (!read_) {
        read_ = [](int f, void* b, size_t n) { return ::read(f, b, n); };
    }
}

LineScanner::LineScanner(int fd, off_t begin, off_t end, size_t blockSize)
    : fd_(fd),
      buffer_(NewBuffer(std::max<size_t>(blockSize, 1) + kReadableAfterStart)),
      size_(std::max<size_t>(blockSize, 1) + kReadableAfterStart),
      offset_(begin),
      limit_(end) {}

bool LineScanner::Fill(bool& atEnd) {
    char* base = buffer_.get();
    std::memmove(base, base + pos_, end_ - pos_);
    end_ -= pos_;
    nul_ = nul_ == kNone ? kNone : nul_ - pos_;
    pos_ = 0;
    if (end_ == Capacity()) {  // a line longer than the block
        const size_t grown = Capacity() * 2 + kReadableAfterStart;
        std::unique_ptr<char[]> larger = NewBuffer(grown);
        std::memcpy(larger.get(), base, end_);
        buffer_ = std::move(larger);
        size_ = grown;
        base = buffer_.get();
    }
    ssize_t n;
    do {
        if (offset_ >= 0) {
            const size_t wanted = std::min(Capacity() - end_, static_cast<size_t>(limit_ - offset_));
            n = wanted == 0 ? 0 : ::pread(fd_, base + end_, wanted, offset_);
            offset_ += n > 0 ? n : 0;
        } else {
            n = read_(fd_, base + end_, Capacity() - end_);
        }
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return false;
    }
    atEnd = n == 0;
    end_ += static_cast<size_t>(n);
    return true;
}

// One pass for CR, LF and NUL, sixteen bytes at a time where the processor has SSE2. Each call
// starts where the last line ended (or where the last call stopped), so each byte is looked at
// once whichever line ends a file uses.
size_t LineScanner::FindLineEnd(size_t from) {
    const char* base = buffer_.get();
    size_t i = from;
    auto noteNul = [&](size_t at) {
        if (nul_ == kNone) {
            nul_ = at;
        }
    };
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
    for (; i + 16 <= end_; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)),
                         _mm_cmpeq_epi8(block, zero))));
        for (; mask != 0; mask &= mask - 1) {
            const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
            if (base[at] != '\0') {
                return at;
            }
            noteNul(at);  // rare: NUL bytes end the text, not the line
        }
    }
#endif
    for (; i < end_; ++i) {
        if (base[i] == '\r' || base[i] == '\n') {
            return i;
        }
        if (base[i] == '\0') {
            noteNul(i);
        }
    }
    return end_;
}

std::string_view LineScanner::UpToNul(std::string_view line) const {
    const size_t from = static_cast<size_t>(line.data() - buffer_.get());
    return lineNul_ != kNone && lineNul_ >= from && lineNul_ < from + line.size()
               ? line.substr(0, lineNul_ - from)
               : line;
}

int LineScanner::Next(std::string_view& line) {
    const char* base = buffer_.get();
    size_t scanned = pos_;
    nul_ = kNone;
    for (;;) {
        size_t at = FindLineEnd(scanned);
        if (at < end_ && (base[at] == '\n' || at + 1 < end_)) {
            line = std::string_view(base + pos_, at - pos_);
            lineNul_ = nul_;
            pos_ = at + 1 + (base[at] == '\r' && base[at + 1] == '\n');
            return 0;
        }
        if (eof_) {
            // A CR as the file's last byte ends the last piece, which comes with -1.
            line = std::string_view(base + pos_, (at < end_ ? at : end_) - pos_);
            lineNul_ = nul_;
            pos_ = end_;
            return -1;
        }
        scanned = at;  // a CR at the block's end needs the next byte
        size_t offset = pos_;
        if (!Fill(eof_)) {
            return -12;
        }
        base = buffer_.get();
        scanned -= offset;
    }
}

}  // namespace zentorak
