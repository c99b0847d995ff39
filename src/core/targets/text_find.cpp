#include "core/targets/text_find.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentorak {

namespace {

// The first position in [from, last] holding unit, or npos. Four blocks of eight units are
// tested together, so the loop pays its test and branch once for 32 units.
size_t FindUnit(const char16_t* text, size_t from, size_t last, char16_t unit) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    auto block = [&](size_t at) {
        return _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at)),
                               wanted);
    };
    for (; i + 32 <= last + 1; i += 32) {
        const __m128i a = block(i), b = block(i + 8), c = block(i + 16), d = block(i + 24);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0) {
            break;  // the block below finds it
        }
    }
    for (; i + 8 <= last + 1; i += 8) {
        int mask = _mm_movemask_epi8(block(i));
        if (mask != 0) {
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        }
    }
#endif
    for (; i <= last; ++i) {
        if (text[i] == unit) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

// Whether the n units at a and b are the same; the needles searched for are short, so a loop
// beats a call.
bool SameUnits(const char16_t* a, const char16_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

size_t FindText(std::u16string_view text, std::u16string_view needle, size_t from) {
    if (needle.empty()) {
        return from <= text.size() ? from : std::u16string_view::npos;
    }
    if (text.size() < needle.size() || from > text.size() - needle.size()) {
        return std::u16string_view::npos;
    }
    size_t last = text.size() - needle.size();  // the last place the needle can start
    const char16_t* data = text.data();
    for (size_t at = from;; ++at) {
        at = FindUnit(data, at, last, needle[0]);
        if (at == std::u16string_view::npos) {
            return at;
        }
        if (SameUnits(data + at + 1, needle.data() + 1, needle.size() - 1)) {
            return at;
        }
    }
}

}  // namespace zentorak
