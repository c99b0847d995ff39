// The slow, plain reading of a location-info file that the fast loader must agree with: line by
// line through ReadTextLine in the file's encoding, SplitCsvLine on the decoded text, the
// coordinate columns from the first lines or the header's captions, ParseDms for D/M/S cells and,
// for decimal cells, the exact Wgs84ToTokyo. Shared by the unit tests and the loader's fuzz target;
// uses the default coordinate keywords (緯度 and 経度).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/geo/datum.h"
#include "core/geo/dms.h"
#include "core/locinfo/file_encoding.h"
#include "core/locinfo/location_info.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "core/text/text_line.h"

namespace zentorak::testing {

struct ReferenceTarget {
    DmsAngle lat, lon;
    std::array<std::optional<std::u16string>, kInfoItems> items;
};

struct ReferenceLoadResult {
    bool headerRead = false;
    std::array<int, kColumnSlots> slot{};  // the file column of each slot, -1 when absent
    std::vector<ReferenceTarget> targets;
};

namespace reference {

inline std::u16string Lower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        c = c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
    }
    return lower;
}

inline std::u16string_view Trim(std::u16string_view c) {
    const size_t begin = c.find_first_not_of(u" \t\u3000");
    return begin == c.npos ? std::u16string_view()
                           : c.substr(begin, c.find_last_not_of(u" \t\u3000") - begin + 1);
}

inline bool IsLat(std::u16string_view c) {
    c = Trim(c);
    return c == u"緯度" || c == u"北緯" || Lower(c) == u"lat" || Lower(c) == u"latitude";
}

inline bool IsLon(std::u16string_view c) {
    c = Trim(c);
    return c == u"経度" || c == u"東経" || Lower(c) == u"lng" || Lower(c) == u"lon" ||
           Lower(c) == u"longitude";
}

// The header's latitude and longitude columns, when it names both and not as its first two.
inline bool NamedColumns(const std::vector<std::u16string>& header, int& lat, int& lon) {
    lat = lon = -1;
    for (size_t i = 0; i < header.size(); ++i) {
        if (lat < 0 && IsLat(header[i])) {
            lat = static_cast<int>(i);
        } else if (lon < 0 && IsLon(header[i])) {
            lon = static_cast<int>(i);
        }
    }
    return lat >= 0 && lon >= 0 && !(lat == 0 && lon == 1);
}

// The slots of a file whose coordinates are the columns lat and lon.
inline std::array<int, kColumnSlots> Slots(const std::vector<std::u16string>& header, int lat,
                                           int lon) {
    std::array<int, kColumnSlots> slot;
    slot.fill(-1);
    slot[0] = lat;
    slot[1] = lon;
    std::vector<int> items;
    for (int i = 0; i < static_cast<int>(std::max<size_t>(header.size(), 2)); ++i) {
        if (i != lat && i != lon) {
            items.push_back(i);
        }
    }
    for (size_t k = 0; k < kInfoItems && k < items.size(); ++k) {
        size_t c = static_cast<size_t>(items[k]);
        slot[k + 2] = c < header.size() && !Trim(header[c]).empty() ? static_cast<int>(c) : -1;
    }
    return slot;
}

// A decimal cell: blanks, digits, at most one '.' after a digit, blanks.
inline std::optional<double> Decimal(std::u16string_view cell, bool& bareDigits) {
    size_t begin = cell.find_first_not_of(u" \t");
    size_t end = cell.find_last_not_of(u" \t");
    if (begin == cell.npos) {
        return std::nullopt;
    }
    std::u16string_view number = cell.substr(begin, end - begin + 1);
    size_t point = number.find(u'.');
    std::string narrow;
    for (size_t i = 0; i < number.size(); ++i) {
        bool digit = number[i] >= u'0' && number[i] <= u'9';
        if (!digit && !(i == point && i > 0)) {
            return std::nullopt;
        }
        narrow.push_back(static_cast<char>(number[i]));
    }
    bareDigits = point == number.npos && number.size() == cell.size();
    return std::strtod(narrow.c_str(), nullptr);
}

// The point of a line, or nullopt.
inline std::optional<std::pair<DmsAngle, DmsAngle>> Point(std::u16string_view latCell,
                                                          std::u16string_view lonCell) {
    DmsAngle lat, lon;
    bool latDms = ParseDms(latCell, lat) == 0, lonDms = ParseDms(lonCell, lon) == 0;
    if (latDms && lonDms) {
        return std::pair{lat, lon};
    }
    bool latBare = false, lonBare = false;
    std::optional<double> x = Decimal(latCell, latBare), y = Decimal(lonCell, lonBare);
    if (!x || !y || (latDms && !latBare) || (lonDms && !lonBare) || *x < kAreaLatMin ||
        *x > kAreaLatMax || *y < kAreaLonMin || *y > kAreaLonMax) {
        return std::nullopt;
    }
    double tokyoLat, tokyoLon;
    Wgs84ToTokyo(*x, *y, tokyoLat, tokyoLon);
    return std::pair{DegreesToDms(tokyoLat), DegreesToDms(tokyoLon)};
}

// Whether the whole text is valid UTF-8, and whether it holds a multi-byte character.
inline bool ValidUtf8(std::string_view text, bool& multiByte) {
    multiByte = false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int length = Utf8SequenceLength(p, end);
        if (length <= 0) {
            return false;
        }
        multiByte = true;
        p += length;
    }
    return true;
}

}  // namespace reference

// bufferSize: the reader's buffer; a tiny one exercises every refill path. One piece: the
// reference is read top to bottom, as plainly as the rules are said.
inline ReferenceLoadResult ReferenceLoad(const std::string& path, size_t bufferSize = 3) {
    ReferenceLoadResult load;
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return load;
    }
    std::string whole;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) {
        whole.append(chunk, static_cast<size_t>(got));
    }
    ::lseek(fd, 0, SEEK_SET);
    bool multiByte;
    const bool mark = whole.starts_with(kUtf8ByteOrderMark);
    const TextEncoding encoding = reference::ValidUtf8(whole, multiByte) && (mark || multiByte)
                                      ? TextEncoding::kUtf8
                                      : TextEncoding::kCp932;
    std::u16string line;
    if (mark) {
        // The mark is not part of the first caption, whatever the encoding.
        ::lseek(fd, static_cast<off_t>(kUtf8ByteOrderMark.size()), SEEK_SET);
    }
    TextFileReader reader(fd, {}, bufferSize);
    size_t bytesRead = 1, lineBytes = 0;  // line ends counted as one byte
    int result = ReadTextLine(reader, line, &lineBytes, encoding);
    bytesRead += lineBytes + (mark ? kUtf8ByteOrderMark.size() : 0);
    std::vector<std::u16string> f;
    SplitCsvLine(line, u",", u"\"", f);
    const std::vector<std::u16string> header = f;
    load.headerRead = result == 0 || result == -1;
    std::vector<std::vector<std::u16string>> lines;
    std::vector<size_t> lineEnds;
    while (result == 0) {
        result = ReadTextLine(reader, line, &lineBytes, encoding);
        // The piece after the last line end is a line when it holds anything.
        if (result != 0 && (result != -1 || line.empty())) {
            break;
        }
        bytesRead += lineBytes + 1;
        SplitCsvLine(line, u",", u"\"", f);
        lines.push_back(f);
        lineEnds.push_back(result == 0 ? bytesRead : SIZE_MAX);
    }
    ::close(fd);
    // The first lines that end within the first 64 KiB decide where the coordinates are.
    int lat = 0, lon = 1, namedLat, namedLon;
    if (reference::NamedColumns(header, namedLat, namedLon)) {
        bool first = false, named = false;
        for (size_t n = 0; n < lines.size() && n < 32 && lineEnds[n] <= kEncodingWindow; ++n) {
            const auto gives = [&](int a, int b) {
                int row, column;
                if (std::max(a, b) >= static_cast<int>(lines[n].size())) {
                    return false;
                }
                auto p = reference::Point(lines[n][a], lines[n][b]);
                return p && GridCellOf(p->first, p->second, row, column) == 0;
            };
            first = first || gives(0, 1);
            named = named || gives(namedLat, namedLon);
        }
        if (!first && named) {
            lat = namedLat;
            lon = namedLon;
        }
    }
    load.slot = reference::Slots(header, lat, lon);
    for (const std::vector<std::u16string>& fields : lines) {
        auto at = [&](int s) -> std::optional<std::u16string> {
            int c = load.slot[s];
            return c >= 0 && static_cast<size_t>(c) < fields.size() ? std::optional(fields[c])
                                                                    : std::nullopt;
        };
        if (fields.size() < 3 || !at(0) || !at(1)) {
            continue;
        }
        auto point = reference::Point(*at(0), *at(1));
        int row, column;
        if (!point || GridCellOf(point->first, point->second, row, column) != 0) {
            continue;
        }
        ReferenceTarget target{point->first, point->second, {}};
        for (int k = 0; k < kInfoItems; ++k) {
            target.items[k] = at(k + 2);
        }
        load.targets.push_back(target);
    }
    return load;
}

// Where a load differs from the reference reading: empty when the column map, the targets'
// order, their positions and every item agree.
inline std::string DifferenceFromReference(const TargetGrid& grid, const ColumnMap& columns,
                                           const ReferenceLoadResult& expected) {
    std::ostringstream out;
    if (columns.slot != expected.slot) {
        out << "column map differs";
    } else if (grid.size() != expected.targets.size()) {
        out << grid.size() << " targets instead of " << expected.targets.size();
    }
    for (uint32_t i = 0; out.tellp() == 0 && i < grid.size(); ++i) {
        const TargetRecord& t = grid.store().Loaded(i);
        const ReferenceTarget& e = expected.targets[i];
        bool same = t.lat == e.lat && t.lon == e.lon;
        for (int k = 0; k < kInfoItems; ++k) {
            same = same && t.HasInfo(k) == e.items[k].has_value() &&
                   (!t.HasInfo(k) || t.Info(k) == *e.items[k]);
        }
        if (!same) {
            out << "target " << i << " differs";
        }
    }
    return out.str();
}

}  // namespace zentorak::testing
