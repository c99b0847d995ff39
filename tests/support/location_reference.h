// The slow, plain reading of a location-info file that the fast loader must agree with: line by
// line through ReadTextLine in the file's encoding, SplitCsvLine on the decoded text, the
// coordinate columns from the header's captions, ParseDms for D/M/S cells and, for decimal
// cells, the exact Wgs84ToTokyo. Shared by the unit tests and the loader's fuzz target; uses
// the default coordinate keywords (緯度 and 経度).
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

inline bool IsLat(std::u16string_view c) {
    return c == u"緯度" || c == u"北緯" || Lower(c) == u"lat" || Lower(c) == u"latitude";
}

inline bool IsLon(std::u16string_view c) {
    return c == u"経度" || c == u"東経" || Lower(c) == u"lng" || Lower(c) == u"lon" ||
           Lower(c) == u"longitude";
}

inline std::array<int, kColumnSlots> Slots(const std::vector<std::u16string>& header) {
    std::array<int, kColumnSlots> slot;
    slot.fill(-1);
    int lat = -1, lon = -1;
    for (size_t i = 0; i < header.size(); ++i) {
        if (lat < 0 && IsLat(header[i])) {
            lat = static_cast<int>(i);
        } else if (lon < 0 && IsLon(header[i])) {
            lon = static_cast<int>(i);
        }
    }
    std::vector<int> order;  // the columns that give slots 0, 1, 2, ...
    if ((header.size() >= 2 && IsLat(header[0]) && IsLon(header[1])) || lat < 0 || lon < 0) {
        for (int i = 0; i < kColumnSlots; ++i) {
            order.push_back(i);
        }
    } else {
        order = {lat, lon};
        for (int i = 0; i < static_cast<int>(header.size()); ++i) {
            if (i != lat && i != lon) {
                order.push_back(i);
            }
        }
    }
    for (size_t s = 0; s < kColumnSlots && s < order.size(); ++s) {
        size_t c = static_cast<size_t>(order[s]);
        slot[s] = c < header.size() && !header[c].empty() ? static_cast<int>(c) : -1;
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

}  // namespace reference

inline ReferenceLoadResult ReferenceLoad(const std::string& path) {
    ReferenceLoadResult load;
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return load;
    }
    std::string head(kEncodingWindow, '\0');
    ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    TextEncoding encoding = DetectTextEncoding(head, head.size() < kEncodingWindow);
    TextFileReader reader(fd, {}, 3);  // a tiny buffer exercises every refill path
    std::u16string line;
    int result = ReadTextLine(reader, line, nullptr, encoding);
    if (encoding == TextEncoding::kUtf8 && !line.empty() && line[0] == u'\uFEFF') {
        line.erase(0, 1);
    }
    std::vector<std::u16string> f;
    SplitCsvLine(line, u",", u"\"", f);
    load.headerRead = result == 0 || result == -1;
    load.slot = reference::Slots(f);
    auto at = [&](int s) -> std::optional<std::u16string> {
        int c = load.slot[s];
        return c >= 0 && static_cast<size_t>(c) < f.size() ? std::optional(f[c]) : std::nullopt;
    };
    while (result == 0) {
        result = ReadTextLine(reader, line, nullptr, encoding);
        // The piece after the last line end is a line when it holds anything.
        if (result != 0 && (result != -1 || line.empty())) {
            break;
        }
        SplitCsvLine(line, u",", u"\"", f);
        if (f.size() < 3 || !at(0) || !at(1)) {
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
    ::close(fd);
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
