#include "core/locinfo/line_scanner.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "core/platform/regular_file.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
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
            const size_t wanted =
                std::min(Capacity() - end_, static_cast<size_t>(limit_ - offset_));
            n = wanted == 0 ? 0 : ReadAt(fd_, base + end_, wanted, offset_);
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

namespace {

// The first byte from i to end below 14 (CR, LF and NUL are; tabs and other control bytes too,
// and rare), or end: one compare for the three, 16 or 32 bytes at a time.
size_t LowByteFrom(const char* base, size_t i, size_t end) {
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(13);
    for (; i + 16 <= end; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(block, limit), block)));
        if (mask != 0) {
            return i + static_cast<size_t>(std::countr_zero(mask));
        }
    }
#endif
    for (; i < end; ++i) {
        if (static_cast<unsigned char>(base[i]) <= 13) {
            return i;
        }
    }
    return end;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx2"))) size_t LowByteFromAvx2(const char* base, size_t i, size_t end) {
    const __m256i limit = _mm256_set1_epi8(13);
    for (; i + 32 <= end; i += 32) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + i));
        const auto mask = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_min_epu8(block, limit), block)));
        if (mask != 0) {
            return i + static_cast<size_t>(std::countr_zero(mask));
        }
    }
    return LowByteFrom(base, i, end);
}

// The processor's widest form, chosen once (static initializers may run before the compiler's
// own, so the processor is asked first).
const auto kLowByte = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? LowByteFromAvx2 : LowByteFrom;
}();
#else
const auto kLowByte = LowByteFrom;
#endif

}  // namespace

// Each call starts where the last line ended (or where the last call stopped), so each byte is
// looked at once whichever line ends a file uses.
size_t LineScanner::FindLineEnd(size_t from) {
    const char* base = buffer_.get();
    for (size_t i = from; (i = kLowByte(base, i, end_)) < end_; ++i) {
        if (base[i] == '\r' || base[i] == '\n') {
            return i;
        }
        if (base[i] == '\0' && nul_ == kNone) {
            nul_ = i;  // NUL bytes end the text, not the line
        }
    }
    return end_;
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
            // A CR as the file's last byte ends the last piece, which comes with kTextEndOfFile.
            line = std::string_view(base + pos_, (at < end_ ? at : end_) - pos_);
            lineNul_ = nul_;
            pos_ = end_;
            return kTextEndOfFile;
        }
        scanned = at;  // a CR at the block's end needs the next byte
        size_t offset = pos_;
        if (!Fill(eof_)) {
            return kTextReadFailed;
        }
        base = buffer_.get();
        scanned -= offset;
    }
}

}  // namespace zentorak
