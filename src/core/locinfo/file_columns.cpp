#include "core/locinfo/file_columns.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <new>
#include <tuple>

#include "core/locinfo/coordinate_bytes.h"
#include "core/locinfo/location_info.h"
#include "core/platform/regular_file.h"
#include "core/text/csv_split.h"
#include "core/text/text_line.h"

namespace zentorak {

namespace {

constexpr size_t kMaxCaption = 99;
// How many of the first lines decide where the coordinates are.
constexpr int kSampleLines = 32;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + (u'a' - u'A') : text[i];
        if (c != static_cast<unsigned char>(lower[i])) {
            return false;
        }
    }
    return true;
}

// Whether the two cells give a point the load would keep.
bool GivesPoint(std::string_view latCell, std::string_view lonCell) {
    DmsAngle lat, lon;
    const PointForm form = ReadPoint(latCell, lonCell, lat, lon);
    if (form != PointForm::kDms && form != PointForm::kDecimal) {
        return false;
    }
    int row, column;
    return GridCellOf(ArcAngle(lat), ArcAngle(lon), row, column) == 0;
}

// The header's latitude and longitude columns by caption: false unless it names both.
bool CoordinateColumnsByCaption(const std::vector<std::u16string>& header,
                                const CoordinateKeywords& keywords, int& lat, int& lon) {
    lat = lon = -1;
    for (size_t i = 0; i < header.size(); ++i) {
        if (lat < 0 && IsLatitudeCaption(header[i], keywords)) {
            lat = static_cast<int>(i);
        } else if (lon < 0 && IsLongitudeCaption(header[i], keywords)) {
            lon = static_cast<int>(i);
        }
    }
    return lat >= 0 && lon >= 0;
}

// The line's raw fields, up to the first `needed`.
void SplitRaw(std::string_view line, size_t needed, std::vector<std::string>& fields) {
    fields.clear();
    std::string arena;
    SplitQuotedFields<char>(line, ',', '"', arena, [&](std::string_view v) {
        fields.emplace_back(v);
        return fields.size() < needed;
    });
}

}  // namespace

std::u16string_view TrimCaption(std::u16string_view caption) {
    while (!caption.empty() && IsBlank(caption.front())) {
        caption.remove_prefix(1);
    }
    while (!caption.empty() && IsBlank(caption.back())) {
        caption.remove_suffix(1);
    }
    return caption;
}

bool IsLatitudeCaption(std::u16string_view caption, const CoordinateKeywords& keywords) {
    caption = TrimCaption(caption);
    return (!keywords.lat.empty() && caption == keywords.lat) || caption == u"緯度" ||
           caption == u"北緯" || EqualsIgnoringAsciiCase(caption, "lat") ||
           EqualsIgnoringAsciiCase(caption, "latitude");
}

bool IsLongitudeCaption(std::u16string_view caption, const CoordinateKeywords& keywords) {
    caption = TrimCaption(caption);
    return (!keywords.lon.empty() && caption == keywords.lon) || caption == u"経度" ||
           caption == u"東経" || EqualsIgnoringAsciiCase(caption, "lng") ||
           EqualsIgnoringAsciiCase(caption, "lon") || EqualsIgnoringAsciiCase(caption, "longitude");
}

int ReadFileStart(const std::string& path, FileStart& start) {
    start = FileStart{};
    const int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return kLoadCannotOpen;
    }
    int result = 0;
    try {
        // A small file needs no more than its size (and a byte to see that it ends).
        const off_t size = FileSize(fd);
        start.head.resize(size >= 0 ? std::min(kEncodingWindow, static_cast<size_t>(size) + 1)
                                    : kEncodingWindow);
        const ssize_t got = ReadFullyAt(fd, start.head.data(), start.head.size(), 0);
        if (got < 0) {
            result = kLoadReadFailed;
        } else {
            start.head.resize(static_cast<size_t>(got));
            start.encoding =
                DetectHeadEncoding(start.head, got < static_cast<ssize_t>(kEncodingWindow));
            std::string_view line;
            TextFileReader reader(fd, {}, 4096);
            const int read = reader.ReadRawLine(line);
            if (read != 0 && read != kTextEndOfFile) {
                result = kLoadReadFailed;
            } else {
                const size_t end = start.head.find_first_of("\r\n");
                start.firstLine = end == std::string::npos                  ? start.head.size()
                                  : start.head.compare(end, 2, "\r\n") == 0 ? end + 2
                                                                            : end + 1;
                if (start.encoding.byteOrderMark) {
                    line.remove_prefix(kUtf8ByteOrderMark.size());
                }
                line = line.substr(0, line.find('\0'));
                std::u16string text(line.size(), u'\0');
                text.resize(
                    DecodeText(start.encoding.encoding, line.data(), line.size(), text.data()));
                if (SplitCsvLine(text, u",", u"\"", start.header) != 0) {
                    result = kLoadNoMemory;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        result = kLoadNoMemory;
    }
    ::close(fd);
    return result;
}

FileColumns ChooseFileColumns(const std::vector<std::u16string>& header, std::string_view lines,
                              const CoordinateKeywords& keywords) {
    FileColumns chosen;
    int lat, lon;
    if (CoordinateColumnsByCaption(header, keywords, lat, lon) && !(lat == 0 && lon == 1)) {
        const size_t needed = static_cast<size_t>(std::max({lat, lon, 1})) + 1;
        std::vector<std::string> fields;
        bool first = false, named = false;
        for (int n = 0; n < kSampleLines && !lines.empty() && !first; ++n) {
            const size_t end = lines.find_first_of("\r\n");
            // A line cut by the end of the bytes is not judged, nor one whose CR is the last
            // byte: the line reader gives that as the file's unended last piece (or its LF is
            // beyond the bytes read).
            if (end == std::string_view::npos || (lines[end] == '\r' && end + 1 == lines.size())) {
                break;
            }
            const std::string_view line = lines.substr(0, end);
            SplitRaw(line.substr(0, line.find('\0')), needed, fields);
            lines.remove_prefix(lines.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
            first = fields.size() >= 2 && GivesPoint(fields[0], fields[1]);
            named =
                named || (fields.size() >= needed && GivesPoint(fields[static_cast<size_t>(lat)],
                                                                fields[static_cast<size_t>(lon)]));
        }
        if (!first && named) {
            chosen.lat = lat;
            chosen.lon = lon;
            chosen.byCaption = true;
        }
    }
    const size_t columns = std::max<size_t>(header.size(), 2);
    for (size_t c = 0; c < columns; ++c) {
        if (static_cast<int>(c) != chosen.lat && static_cast<int>(c) != chosen.lon) {
            chosen.items.push_back(static_cast<int>(c));
        }
    }
    return chosen;
}

void CaptionMerge::Start() {
    if (!started_) {
        for (int s = 2; s < kColumnSlots; ++s) {
            columns_.slot[s] = -1;
        }
        started_ = true;
    }
}

std::vector<int> CaptionMerge::PlaceItems(const std::vector<std::u16string>& captions,
                                          std::vector<std::u16string>* unplaced,
                                          const std::vector<int>* fileColumns) {
    Start();
    std::vector<int> slots(captions.size(), -1);
    std::array<bool, kColumnSlots> taken{};  // by an item of this file
    for (size_t i = 0; i < captions.size(); ++i) {
        const std::u16string_view name = TrimCaption(captions[i]);
        if (name.empty()) {
            continue;
        }
        int slot = -1;
        for (int s = 2; s < kColumnSlots && slot < 0; ++s) {
            if (columns_.Present(s) && !taken[s] &&
                TrimCaption(columns_.columnCaption[s]) == name) {
                slot = s;
            }
        }
        if (slot < 0 && i < static_cast<size_t>(kInfoItems)) {
            const int own = static_cast<int>(i) + 2;
            slot = !columns_.Present(own) ? own : -1;
            for (int s = 2; s < kColumnSlots && slot < 0; ++s) {
                slot = !columns_.Present(s) ? s : -1;
            }
            if (slot < 0) {
                if (unplaced) {
                    unplaced->push_back(captions[i]);
                }
                continue;
            }
            columns_.slot[slot] = fileColumns ? (*fileColumns)[i] : own;
            columns_.columnCaption[slot] = captions[i].substr(0, kMaxCaption);
        }
        if (slot >= 0) {
            taken[slot] = true;
            slots[i] = slot;
        }
    }
    return slots;
}

void CaptionMerge::PlaceCoordinates(std::u16string_view lat, std::u16string_view lon, int latColumn,
                                    int lonColumn) {
    Start();
    if (coordinatesPlaced_) {
        return;
    }
    coordinatesPlaced_ = true;
    for (auto [s, caption, column] : {std::tuple{0, lat, latColumn}, {1, lon, lonColumn}}) {
        columns_.slot[s] = column;
        if (!caption.empty()) {
            columns_.columnCaption[s] = std::u16string(caption.substr(0, kMaxCaption));
        }
    }
}

void FileColumnMap(const std::vector<std::u16string>& header, const FileColumns& columns,
                   ColumnMap& map) {
    const auto caption = [&](int c) {
        return static_cast<size_t>(c) < header.size() ? header[static_cast<size_t>(c)]
                                                      : std::u16string();
    };
    CaptionMerge merge(map);
    merge.PlaceCoordinates(caption(columns.lat), caption(columns.lon), columns.lat, columns.lon);
    std::vector<std::u16string> items;
    for (int c : columns.items) {
        items.push_back(caption(c));
    }
    merge.PlaceItems(items, nullptr, &columns.items);
}

}  // namespace zentorak
