#include "core/locinfo/file_encoding.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "core/platform/regular_file.h"

namespace zentorak {

TextEncoding DetectTextEncoding(std::string_view head, bool wholeFile) {
    if (head.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        return TextEncoding::kUtf8;
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(head.data());
    const unsigned char* end = p + head.size();
    bool multiByte = false;
    while (p < end) {
        uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), !(word & 0x8080808080808080ull))) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = Utf8SequenceLength(p, end);
        if (length == 0 || (length < 0 && wholeFile)) {
            return TextEncoding::kCp932;
        }
        multiByte = true;
        p += length > 0 ? length : -length;
    }
    return multiByte ? TextEncoding::kUtf8 : TextEncoding::kCp932;
}

bool DetectFileEncoding(int fd, TextEncoding& encoding) {
    std::string head(kEncodingWindow, '\0');
    const ssize_t read = ReadFullyAt(fd, head.data(), head.size(), 0);
    if (read < 0) {
        return false;
    }
    const size_t got = static_cast<size_t>(read);
    encoding = DetectTextEncoding(std::string_view(head).substr(0, got), got < head.size());
    return true;
}

}  // namespace zentorak
