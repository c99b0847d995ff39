#include "towns_set.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "core/geo/dms.h"
#include "core/locinfo/location_info.h"
#include "core/text/code_page.h"

namespace zentorak::bench {

namespace {

std::string Coordinate(double degrees) {
    return ToUtf8(FormatDms(DegreesToDms(degrees)));
}

}  // namespace

long ConvertTowns(const std::string& source, const std::string& target) {
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(target, std::ios::binary);
    if (!in || !out) {
        return -1;
    }
    out << EncodeCp932(u"緯度,経度,店名,郵便番号,住所\r\n");
    std::string line;
    std::getline(in, line);  // pref,city,town,koaza,lat,lng
    long count = 0;
    std::vector<std::u16string> f;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (SplitCsvLine(FromUtf8(line), u",", u"\"", f) != 0 || f.size() < 6) {
            continue;
        }
        double lat = std::strtod(ToUtf8(f[4]).c_str(), nullptr);
        double lon = std::strtod(ToUtf8(f[5]).c_str(), nullptr);
        // Back from WGS 84 to the Tokyo datum that location-info files use.
        double tokyoLat = (lat - 0.006140953) / 0.9999177043;
        double tokyoLon = (lon - 0.0135585363) / 0.9998785069;
        out << Coordinate(tokyoLat) << ',' << Coordinate(tokyoLon) << ','
            << EncodeCp932(f[2] + f[3]) << ",," << EncodeCp932(f[0] + f[1] + f[2] + f[3]) << "\r\n";
        ++count;
    }
    out.close();
    return out ? count : -1;
}

}  // namespace zentorak::bench
