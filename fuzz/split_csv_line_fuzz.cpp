// SplitCsvLine on any text, and the loader's raw-byte splitting checked against splitting the
// decoded line: both must give the same fields for every byte string.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/locinfo/location_info.h"
#include "core/text/code_page.h"
#include "core/text/csv_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentorak;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string line = DecodeCp932(bytes);
    std::vector<std::u16string> decoded;
    if (SplitCsvLine(line, u",", u"\"", decoded) != 0) {
        return 0;
    }
    std::vector<std::u16string> raw;
    std::string arena;
    SplitQuotedFields<char>(bytes, ',', '"', arena,
                            [&](std::string_view f) { raw.push_back(DecodeCp932(f)); });
    if (raw != decoded) {
        std::abort();
    }
    std::vector<std::u16string> other;
    SplitCsvLine(line, u",", u"", other);
    SplitCsvLine(line, u"", u"\"", other);
    return 0;
}
