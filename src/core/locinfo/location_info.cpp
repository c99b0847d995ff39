#include "core/locinfo/location_info.h"

#include <unistd.h>

#include <cerrno>
#include <new>

#include "core/locinfo/file_encoding.h"
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
    fields.clear();
    int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return kLoadCannotOpen;
    }
    TextEncoding encoding = TextEncoding::kCp932;
    std::u16string line;
    int result = kTextReadFailed;
    if (DetectFileEncoding(fd, encoding)) {
        TextFileReader reader(fd, {}, 4096);
        result = ReadTextLine(reader, line, nullptr, encoding);
    }
    ::close(fd);
    if (result != 0 && result != kTextEndOfFile) {
        return kLoadReadFailed;
    }
    if (encoding == TextEncoding::kUtf8 && !line.empty() && line[0] == u'\uFEFF') {
        line.erase(0, 1);  // the byte-order mark
    }
    if (encodingOut) {
        *encodingOut = encoding;
    }
    return SplitCsvLine(line, u",", u"\"", fields) == 0 ? 0 : kLoadNoMemory;
}

}  // namespace zentorak
