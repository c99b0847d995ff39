// UTF-8: the text of today's location-info files, the command line and file names.
#include <cstdint>
#include <cstring>

#include "core/text/code_page.h"
#include "core/text/file_names.h"

namespace zentorak {

namespace {

// One step over ASCII for the UTF-8 decoder: eight bytes when the next eight are ASCII, else
// one. (Measured: in UTF-8 items the ASCII runs between Japanese characters are short enough
// that this beats CopyAscii, which pays off in CP932.)
inline void AsciiStep(const unsigned char*& p, const unsigned char* end, char16_t*& o) {
    uint64_t word;
    if (end - p >= 8 && (std::memcpy(&word, p, 8), !(word & 0x8080808080808080ull))) {
        for (int i = 0; i < 8; ++i) {
            o[i] = p[i];
        }
        p += 8;
        o += 8;
    } else {
        *o++ = *p++;
    }
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string result;
    result.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            result.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (c >> 6)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (c >> 12)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (c >> 18)));
            result.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return result;
}

namespace {

// Table 3-7 of the Unicode standard: a lead byte, the length of its sequence and the range of the
// byte after it (the later ones are all 0x80..0xBF). The ranges leave out overlong forms,
// surrogates and code points beyond U+10FFFF.
struct Utf8Lead {
    uint8_t length;  // 0: the byte begins no sequence
    uint8_t low, high;
};

constexpr Utf8Lead LeadOf(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (b >= 0xE0 && b <= 0xEF) {
        return {3, static_cast<uint8_t>(b == 0xE0 ? 0xA0 : 0x80),
                static_cast<uint8_t>(b == 0xED ? 0x9F : 0xBF)};
    }
    if (b >= 0xF0 && b <= 0xF4) {
        return {4, static_cast<uint8_t>(b == 0xF0 ? 0x90 : 0x80),
                static_cast<uint8_t>(b == 0xF4 ? 0x8F : 0xBF)};
    }
    return {0, 0, 0};
}

}  // namespace

int Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const Utf8Lead lead = LeadOf(*p);
    if (lead.length == 0) {
        return 0;
    }
    for (int i = 1; i < lead.length; ++i) {
        if (p + i == end) {
            return -i;
        }
        const unsigned char c = p[i];
        if (i == 1 ? (c < lead.low || c > lead.high) : (c & 0xC0) != 0x80) {
            return 0;
        }
    }
    return lead.length;
}

namespace {

// Writes the one or two UTF-16 units of the well-formed sequence of `length` bytes at p; returns
// the position after them.
char16_t* AppendSequence(const unsigned char* p, int length, char16_t* o) {
    char32_t c = *p & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c >= 0x10000) {
        c -= 0x10000;
        *o++ = static_cast<char16_t>(0xD800 + (c >> 10));
        *o++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        *o++ = static_cast<char16_t>(c);
    }
    return o;
}

// The high bits of the unit of a three-byte sequence, by its first byte (0xE0..0xEF, as row
// 0..15) and its second byte, or 0 where the second byte cannot follow the first (the ranges of
// Utf8Lead, which leave out overlong forms and surrogates). Built at compile time.
struct ThreeByteTable {
    constexpr ThreeByteTable() {
        for (unsigned row = 0; row < 16; ++row) {
            const Utf8Lead lead = LeadOf(static_cast<unsigned char>(0xE0 + row));
            for (unsigned second = lead.low; second <= lead.high; ++second) {
                high[row << 8 | second] = static_cast<char16_t>(row << 12 | (second & 0x3F) << 6);
            }
        }
    }
    char16_t high[16 * 256] = {};
};

constexpr ThreeByteTable kThreeByte;

}  // namespace

size_t DecodeUtf8(const char* bytes, size_t n, char16_t* out) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char* end = p + n;
    char16_t* o = out;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            AsciiStep(p, end, o);
            continue;
        }
        // Japanese text is nearly all three-byte sequences: one look-up checks and decodes
        // the first two bytes, as a CP932 pair is decoded.
        const unsigned row = b - 0xE0u;
        if (row < 16 && end - p >= 3) {
            const char16_t high = kThreeByte.high[row << 8 | p[1]];
            if (high != 0 && (p[2] & 0xC0) == 0x80) {
                *o++ = static_cast<char16_t>(high | (p[2] & 0x3F));
                p += 3;
                continue;
            }
        }
        const int length = Utf8SequenceLength(p, end);
        if (length <= 0) {
            *o++ = kReplacementChar;
            ++p;
            continue;
        }
        o = AppendSequence(p, length, o);
        p += length;
    }
    return static_cast<size_t>(o - out);
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string result(text.size(), u'\0');
    result.resize(DecodeUtf8(text.data(), text.size(), result.data()));
    return result;
}

namespace {

// Decodes like DecodeUtf8 but keeps each byte that starts no valid character as a lone
// U+DC80..U+DCFF (a file name's raw byte, given back by FileNameFromUtf16), or shows it as one
// replacement mark.
std::u16string DecodeFileName(std::string_view bytes, bool forDisplay) {
    std::u16string result;
    result.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            result.push_back(*p++);
            continue;
        }
        const int length = Utf8SequenceLength(p, end);
        if (length <= 0) {
            result.push_back(forDisplay ? kReplacementChar : static_cast<char16_t>(0xDC00 + *p));
            ++p;
            continue;
        }
        char16_t units[2];
        result.append(units, AppendSequence(p, length, units) - units);
        p += length;
    }
    return result;
}

}  // namespace

std::u16string FileNameToUtf16(std::string_view bytes) {
    return DecodeFileName(bytes, false);
}

std::u16string FileNameForDisplay(std::string_view bytes) {
    return DecodeFileName(bytes, true);
}

// A lone U+DC80..U+DCFF is an escaped byte (ASCII bytes are always valid, so never escaped);
// everything else is encoded as ToUtf8 does.
std::string FileNameFromUtf16(std::u16string_view text) {
    std::string result;
    result.reserve(text.size() * 3);
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        bool paired = i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF;
        if (u >= 0xDC80 && u <= 0xDCFF && !paired) {
            result += ToUtf8(text.substr(start, i - start));
            result.push_back(static_cast<char>(u - 0xDC00));
            start = i + 1;
        }
    }
    result += ToUtf8(text.substr(start));
    return result;
}

}  // namespace zentorak
