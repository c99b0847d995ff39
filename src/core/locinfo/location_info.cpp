#include "core/locinfo/location_info.h"

#include <unistd.h>

#include <cerrno>
#include <new>

#include "core/locinfo/file_columns.h"
#include "core/platform/regular_file.h"
#include "core/text/code_page.h"
#include "core/text/csv_split.h"
#include "core/text/text_line.h"

namespace zentorak {

int SplitCsvLine(std::u16string_view line, std::u16string_view separator, std::u16string_view quote,
                 std::vector<std::u16string>& fields) {
    fields.clear();
    try {
        // An empty separator compares as the terminator, which a line does not hold.
        bool hasSeparator = !separator.empty();
        char16_t sep = hasSeparator ? separator[0] : u'\0';
        if (quote.empty()) {
            size_t begin = 0;
            for (size_t i = 0; i < line.size(); ++i) {
                if (hasSeparator && line[i] == sep) {
                    fields.emplace_back(line.substr(begin, i - begin));
                    begin = i + 1;
                }
            }
            fields.emplace_back(line.substr(begin));
            return 0;
        }
        std::u16string arena;
        SplitQuotedFields<char16_t>(line, sep, quote[0], arena,
                                    [&](std::u16string_view f) { fields.emplace_back(f); });
    } catch (const std::bad_alloc&) {
        fields.clear();
        return kLoadSplitNoMemory;
    }
    return 0;
}

int ReadCsvHeader(const std::string& path, std::vector<std::u16string>& fields,
                  TextEncoding* encodingOut) {
    FileStart start;
    const int result = ReadFileStart(path, start);
    fields = std::move(start.header);
    if (result == 0 && encodingOut) {
        *encodingOut = start.encoding.encoding;
    }
    return result;
}

}  // namespace zentorak
