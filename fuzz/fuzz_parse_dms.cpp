// ParseDms on arbitrary text: the input bytes are taken both as one unit each (so digits and
// separators are common) and as UTF-16 pairs. A text that parses must format and parse back to
// the same angle.
#include <cstdlib>
#include <string>

#include "core/geo/dms.h"

namespace {

void Check(const std::u16string& text) {
    zentorak::DmsAngle angle;
    if (zentorak::ParseDms(text, angle) != 0) {
        return;
    }
    zentorak::DmsAngle again;
    if (zentorak::ParseDms(zentorak::FormatDms(angle), again) != 0 || !(again == angle)) {
        std::abort();
    }
    int row, column;
    zentorak::GridCellOf(angle, angle, row, column);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(std::u16string(data, data + size));
    std::u16string pairs(size / 2, u'\0');
    for (size_t i = 0; i < pairs.size(); ++i) {
        pairs[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    Check(pairs);
    return 0;
}
