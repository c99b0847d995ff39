#include "core/locinfo/file_encoding.h"

#include <cstdint>
#include <cstring>

namespace zentorak {

void Utf8Tally::AddBytes(std::string_view bytes, bool complete) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    while (p < end && !invalid) {
        uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), !(word & 0x8080808080808080ull))) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        // The common characters at once: two bytes, and three bytes other than the overlong
        // forms and the surrogates (E0 80..9F and ED A0..BF, left to the full check).
        if (end - p >= 3 && ((*p >= 0xE1 && *p <= 0xEC) || *p >= 0xEE) && *p <= 0xEF &&
            (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            multiByte = true;
            p += 3;
            continue;
        }
        if (end - p >= 2 && *p >= 0xC2 && *p <= 0xDF && (p[1] & 0xC0) == 0x80) {
            multiByte = true;
            p += 2;
            continue;
        }
        const int length = Utf8SequenceLength(p, end);
        if (length == 0 || (length < 0 && complete)) {
            invalid = true;
            return;
        }
        multiByte = true;
        p += length > 0 ? length : -length;
    }
}

HeadEncoding DetectHeadEncoding(std::string_view head, bool wholeFile) {
    HeadEncoding result;
    result.byteOrderMark = head.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
    result.tally.AddBytes(head, wholeFile);
    result.settled = wholeFile || result.tally.invalid;
    result.encoding = FinalEncoding(result, {});
    return result;
}

TextEncoding FinalEncoding(const HeadEncoding& head, const Utf8Tally& rest) {
    if (head.tally.invalid || rest.invalid) {
        return TextEncoding::kCp932;
    }
    return head.byteOrderMark || head.tally.multiByte || rest.multiByte ? TextEncoding::kUtf8
                                                                        : TextEncoding::kCp932;
}

TextEncoding DetectTextEncoding(std::string_view head, bool wholeFile) {
    return DetectHeadEncoding(head, wholeFile).encoding;
}

}  // namespace zentorak
