// ReadTextLine with the CP932 conversion over memory. The first byte chooses the read buffer
// size; every line must equal what the one-byte-at-a-time reading gives.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/text/code_page.h"
#include "core/text/text_line.h"

namespace {

// The next line by the handset's rule, or false at the end (rest holds the last piece).
bool ReferenceLine(std::string_view& input, std::string& line) {
    size_t end = input.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        line = std::string(input);
        input = {};
        return false;
    }
    line = std::string(input.substr(0, end));
    size_t next = end + 1;
    if (input[end] == '\r' && next == input.size()) {
        input = {};  // A CR still waiting for its next byte at the end is dropped.
        return false;
    }
    if (input[end] == '\r' && next < input.size() && input[next] == '\n') {
        ++next;
    }
    input.remove_prefix(next);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    size_t bufferSize = 1 + data[0] % 64;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t offset = 0;
    zentorak::TextFileReader reader(
        -1,
        [&](int, void* buffer, size_t n) -> ssize_t {
            n = std::min(n, bytes.size() - offset);
            std::memcpy(buffer, bytes.data() + offset, n);
            offset += n;
            return static_cast<ssize_t>(n);
        },
        bufferSize);
    std::string_view rest = bytes;
    for (;;) {
        std::u16string line;
        size_t count = 0;
        int result = zentorak::ReadTextLine(reader, line, &count);
        std::string expected;
        bool more = ReferenceLine(rest, expected);
        std::string text = expected.substr(0, expected.find('\0'));
        if (result != (more ? 0 : -1) || count != expected.size() ||
            line != zentorak::DecodeCp932(text)) {
            std::abort();
        }
        if (!more) {
            return 0;
        }
    }
}
