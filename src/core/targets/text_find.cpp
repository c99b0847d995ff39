#include "core/targets/text_find.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentorak {

namespace {

// The first position in [from, last] holding unit, or npos.
size_t FindUnit(const char16_t* text, size_t from, size_t last, char16_t unit) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    for (; i + 8 <= last + 1; i += 8) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted));
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
        if (std::memcmp(data + at + 1, needle.data() + 1, (needle.size() - 1) * 2) == 0) {
            return at;
        }
    }
}

}  // namespace zentorak
