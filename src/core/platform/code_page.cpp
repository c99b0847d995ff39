#include "core/platform/code_page.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zentorak {

namespace {

constexpr unsigned kTrailFirst = 0x40;
constexpr unsigned kTrailLast = 0xFC;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;
constexpr char16_t kLead = 0;  // Marks a lead byte in the single-byte table (0x00 maps to itself
                               // only at index 0, which is never a lead byte).

struct DecodeTable {
    std::array<char16_t, 256> single{};
    // [lead index][trail - 0x40]; kReplacementChar where iconv rejects the pair.
    std::vector<char16_t> pairs;
    // [lead << 8 | next byte]: the pair's unit, or 0 where the next byte cannot trail the lead.
    // One lookup without branching on the lead's range.
    std::vector<char16_t> direct;
};

int LeadIndex(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31; }

// Converts one short sequence with iconv; returns the unit or 0 when iconv rejects it.
char16_t IconvOne(iconv_t cd, const unsigned char* bytes, size_t n) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[2] = {static_cast<char>(bytes[0]), n > 1 ? static_cast<char>(bytes[1]) : '\0'};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = n;
    size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
        sizeof out - outLeft != 2) {
        return 0;
    }
    char16_t unit;
    std::memcpy(&unit, out, 2);
    return unit;
}

// The pair table again, indexed by both bytes, for decoding with one lookup per pair.
void FillDirect(DecodeTable& table) {
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (IsCp932LeadByte(static_cast<unsigned char>(lead))) {
            for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
                table.direct[lead << 8 | trail] =
                    table.pairs[LeadIndex(static_cast<unsigned char>(lead)) * kTrailCount +
                                (trail - kTrailFirst)];
            }
        }
    }
}

DecodeTable BuildTable() {
    DecodeTable table;
    table.pairs.assign(60 * kTrailCount, kReplacementChar);
    table.direct.assign(65536, 0);
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    for (unsigned b = 0; b < 256; ++b) {
        unsigned char byte = static_cast<unsigned char>(b);
        if (IsCp932LeadByte(byte)) {
            table.single[b] = kLead;
            continue;
        }
        char16_t unit = cd == reinterpret_cast<iconv_t>(-1) ? 0 : IconvOne(cd, &byte, 1);
        if (b == 0) {
            unit = 0;
        } else if (unit == 0) {
            unit = b < 0x80 ? static_cast<char16_t>(b) : kReplacementChar;
        }
        table.single[b] = unit;
    }
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return table;
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) {
            continue;
        }
        for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                     static_cast<unsigned char>(trail)};
            char16_t unit = IconvOne(cd, pair, 2);
            if (unit != 0) {
                table.pairs[LeadIndex(pair[0]) * kTrailCount + (trail - kTrailFirst)] = unit;
            }
        }
    }
    iconv_close(cd);
    FillDirect(table);
    return table;
}

// A function-local static is built once, thread-safely, and costs one test per call afterwards;
// std::call_once cost more than decoding a short item.
const DecodeTable& Table() {
    static const DecodeTable table = BuildTable();
    return table;
}

}  // namespace

size_t DecodeCp932(const char* bytes, size_t n, char16_t* out) {
    const DecodeTable& table = Table();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char* end = p + n;
    char16_t* o = out;
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) {
            // Runs of ASCII (digits, postal codes, telephone numbers) go eight bytes at a time.
            uint64_t word;
            while (end - p >= 8 && (std::memcpy(&word, p, 8), !(word & 0x8080808080808080ull))) {
                for (int i = 0; i < 8; ++i) {
                    o[i] = p[i];
                }
                p += 8;
                o += 8;
            }
            if (p < end && *p < 0x80) {
                *o++ = *p++;
            }
            continue;
        }
        char16_t unit = table.single[b];
        if (unit != kLead) {
            *o++ = unit;
            ++p;
            continue;
        }
        char16_t pair = p + 1 < end ? table.direct[b << 8 | p[1]] : 0;
        if (pair != 0) {
            *o++ = pair;
            p += 2;
        } else {
            *o++ = kReplacementChar;
            ++p;
        }
    }
    return static_cast<size_t>(o - out);
}

std::u16string DecodeCp932(std::string_view bytes) {
    std::u16string result(bytes.size(), u'\0');
    result.resize(DecodeCp932(bytes.data(), bytes.size(), result.data()));
    return result;
}

std::string EncodeCp932(std::u16string_view text) {
    std::string result;
    result.reserve(text.size() * 2);
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char16_t c : text) {
            result.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return result;
    }
    size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c < 0x80) {
            result.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // A surrogate pair is one character and becomes one '?'.
        size_t units = (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                           ? 2
                           : 1;
        char in[4];
        std::memcpy(in, &text[i], units * 2);
        char out[8];
        char* inPtr = in;
        char* outPtr = out;
        size_t inLeft = units * 2;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            inLeft != 0) {
            result.push_back('?');
        } else {
            result.append(out, sizeof out - outLeft);
        }
        i += units;
    }
    iconv_close(cd);
    return result;
}

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

// Length of the valid UTF-8 character at p (1 to 4), or 0 when the byte there does not start
// one. Overlong forms, encoded surrogates and values past U+10FFFF are not valid.
size_t ValidUtf8Length(const unsigned char* p, const unsigned char* end, char32_t& c) {
    unsigned char b = *p;
    size_t extra;
    char32_t minimum;
    if (b < 0x80) {
        c = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        extra = 1, c = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2, c = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3, c = b & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) <= extra) {
        return 0;
    }
    for (size_t k = 1; k <= extra; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (p[k] & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return extra + 1;
}

std::u16string DecodeFileName(std::string_view bytes, bool forDisplay) {
    std::u16string result;
    result.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        char32_t c;
        size_t n = ValidUtf8Length(p, end, c);
        if (n == 0) {
            result.push_back(forDisplay ? kReplacementChar : static_cast<char16_t>(0xDC00 + *p));
            ++p;
            continue;
        }
        p += n;
        if (c >= 0x10000) {
            c -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(c));
        }
    }
    return result;
}

}  // namespace

// Text as it is shown: each byte that starts no valid character becomes one replacement mark.
std::u16string FromUtf8(std::string_view text) {
    return DecodeFileName(text, true);
}

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
