#include "core/text/code_page.h"

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

int LeadIndex(unsigned char b) {
    return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31;
}

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

// Copies ASCII bytes at p: eight at a time while eight are there (telephone numbers, postal
// codes, web addresses), then one more. The caller's loop comes back for a longer run.
inline void CopyAscii(const unsigned char*& p, const unsigned char* end, char16_t*& o) {
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
            CopyAscii(p, end, o);
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

bool FitsCp932(std::u16string_view text) {
    for (char16_t c : text) {
        if (c >= 0x80) {
            return DecodeCp932(EncodeCp932(text)) == text;
        }
    }
    return true;
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

}  // namespace zentorak
