#include "core/geo/location_info.h"

#include <unistd.h>

#include <cerrno>
#include <new>

#include "core/geo/csv_split.h"
#include "core/geo/target_store.h"
#include "core/platform/code_page.h"
#include "core/platform/regular_file.h"
#include "core/text/text_line.h"

namespace zentorak {

ColumnMap::ColumnMap()
    : columnCaption{u"緯度", u"経度",     u"店名",     u"郵便番号", u"住所",
                    u"TEL",  u"最寄り駅", u"営業時間", u"サービス", u"備考"} {
    for (int i = 0; i < kColumnSlots; ++i) {
        slot[i] = i;
    }
}

TargetGrid::TargetGrid() : store_(std::make_unique<TargetStore>()) {}
TargetGrid::~TargetGrid() = default;
size_t TargetGrid::size() const {
    return store_->size();
}

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
        return -101;
    }
    return 0;
}

namespace {

// The encoding of the open file from its first kEncodingWindow bytes, read without moving the
// file offset. false on a read error.
bool DetectFileEncoding(int fd, TextEncoding& encoding) {
    std::string head(kEncodingWindow, '\0');
    size_t got = 0;
    while (got < head.size()) {
        ssize_t n = ::pread(fd, head.data() + got, head.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    encoding = DetectTextEncoding(std::string_view(head).substr(0, got), got < head.size());
    return true;
}

}  // namespace

int ReadCsvHeader(const std::string& path, std::vector<std::u16string>& fields,
                  TextEncoding* encodingOut) {
    fields.clear();
    int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return -1;
    }
    TextEncoding encoding = TextEncoding::kCp932;
    std::u16string line;
    int result = -12;
    if (DetectFileEncoding(fd, encoding)) {
        TextFileReader reader(fd, {}, 4096);
        result = ReadTextLine(reader, line, nullptr, encoding);
    }
    ::close(fd);
    if (result != 0 && result != -1) {
        return -9;
    }
    if (encoding == TextEncoding::kUtf8 && !line.empty() && line[0] == u'\uFEFF') {
        line.erase(0, 1);  // the byte-order mark
    }
    if (encodingOut) {
        *encodingOut = encoding;
    }
    return SplitCsvLine(line, u",", u"\"", fields) == 0 ? 0 : -100;
}

int FindColumnByCaption(const ColumnMap& columns, std::u16string_view keyword) {
    if (keyword.empty()) {
        return -1;
    }
    for (int i = 0; i < kColumnSlots; ++i) {
        if (columns.Present(i) && columns.columnCaption[i] == keyword) {
            return i;
        }
    }
    return -1;
}

void ClearTargetGrid(TargetGrid& grid) {
    grid.store().Clear();
}

}  // namespace zentorak
