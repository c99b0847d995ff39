// Feeds arbitrary bytes, one character each, to the AT@LBC? reply parser with every mask.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/position/lbc_response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int mask = data[0] & 7;
    std::u16string text;
    for (size_t i = 1; i < size; ++i) {
        text += static_cast<char16_t>(data[i]);
    }
    int postal = 0;
    zentorak::DmsAngle lat, lon;
    const int rc = zentorak::ParseLbcResponse(mask, text, postal, lat, lon);
    if (rc == 0 && (lat.msec != 0 || lon.msec != 0)) {
        __builtin_trap();
    }
    return 0;
}
