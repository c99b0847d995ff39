// zentorak-sample: writes the bundled demo data beside a built program so that a fresh clone has
// something to show: a location-info file of made-up shops around the main stations of Tokyo,
// Osaka and Nagoya (Tokyo datum, CP932, CR LF), and a settings file that lists it with the
// three stations as favourites. With --utf8-decimal the same shops are also written as lists
// are published today (UTF-8 with the byte-order mark, LF, decimal degrees on WGS 84 in columns
// captioned lat and lng after the name), and a new settings file lists that one. An existing
// settings file is never overwritten.
//
// Usage: zentorak-sample [--utf8-decimal] DIR   (DIR holds the zentorak executable)
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/geo/datum.h"
#include "core/geo/dms.h"
#include "core/settings/settings_store.h"
#include "core/text/code_page.h"

namespace {

using zentorak::DegreesToDms;
using zentorak::FormatDms;

struct Station {
    const char* name;        // station, as the favourite and the nearest-station column show it
    const char* prefecture;  // address prefix
    const char* area;        // postal code prefix
    const char* phone;       // area code
    double lat, lon;         // Tokyo datum, decimal degrees
};

// Station coordinates converted from WGS 84 to the Tokyo datum with the usual linear formula.
const Station kStations[] = {
    {"東京駅", "東京都千代田区丸の内", "100-00", "03", 35.67801, 139.77033},
    {"大阪駅", "大阪府大阪市北区梅田", "530-00", "06", 34.69915, 135.49871},
    {"名古屋駅", "愛知県名古屋市中村区名駅", "450-00", "052", 35.16768, 136.88454},
};

const char* kKinds[] = {"珈琲", "ベーカリー", "書店", "文具", "雑貨", "そば", "薬局", "花店"};
const char* kHours[] = {"7:00-22:00", "10:00-20:00", "9:00-21:00", "24時間"};
const char* kServices[] = {"Wi-Fi", "電源", "テイクアウト", "カード可"};

// A small fixed generator, so every run writes the same file.
struct Lcg {
    unsigned state = 20110509u;
    double Next() {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) & 0xFFFFu) / 65535.0;
    }
};

std::string Line(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += (i ? "," : "") + fields[i];
    }
    return line;
}

std::string Dms(double degrees) {
    return zentorak::ToUtf8(FormatDms(DegreesToDms(degrees)));
}

// Decimal degrees on WGS 84 to seven places (about a centimetre).
std::string Decimal(double degrees) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7f", degrees);
    return text;
}

// The shops in the handsets' form, or with WGS 84 decimal coordinates captioned lat and lng
// after the shop's name; the info columns come out in the same slots either way.
std::vector<std::string> ShopLines(bool decimal) {
    std::vector<std::string> lines{
        decimal ? "店名,lat,lng,郵便番号,住所,TEL,最寄駅,営業時間,サービス,備考"
                : "緯度,経度,店名,郵便番号,住所,TEL,最寄駅,営業時間,サービス,備考"};
    Lcg rng;
    int number = 0;
    for (const Station& s : kStations) {
        for (int i = 0; i < 40; ++i, ++number) {
            // Within about 1.5 km of the station.
            double lat = s.lat + (rng.Next() - 0.5) * 0.027;
            double lon = s.lon + (rng.Next() - 0.5) * 0.033;
            char tel[32], postal[16], street[64];
            std::snprintf(tel, sizeof tel, "%s-5550-%04d", s.phone, 1000 + number);
            std::snprintf(postal, sizeof postal, "%s%02d", s.area, i % 100);
            std::snprintf(street, sizeof street, "%d-%d-%d", 1 + i % 4, 1 + i % 9, 1 + i);
            std::string name = std::string("デモ") + kKinds[i % 8] + " " + s.name + "前" +
                               std::to_string(i + 1) + "号店";
            std::vector<std::string> fields{Dms(lat), Dms(lon), name};
            if (decimal) {
                double wgs84Lat, wgs84Lon;
                zentorak::TokyoToWgs84(lat, lon, wgs84Lat, wgs84Lon);
                fields = {name, Decimal(wgs84Lat), Decimal(wgs84Lon)};
            }
            for (std::string field :
                 {std::string(postal), s.prefecture + std::string(street), std::string(tel),
                  std::string(s.name), std::string(kHours[i % 4]), std::string(kServices[i % 4]),
                  std::string("デモデータ")}) {
                fields.push_back(field);
            }
            lines.push_back(Line(fields));
        }
    }
    return lines;
}

bool WriteCp932(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) {
        out << zentorak::EncodeCp932(zentorak::FromUtf8(line)) << "\r\n";
    }
    return static_cast<bool>(out);
}

bool WriteUtf8(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << zentorak::kUtf8ByteOrderMark;
    for (const std::string& line : lines) {
        out << line << "\n";
    }
    return static_cast<bool>(out);
}

int WriteSettings(const std::filesystem::path& ini, const std::filesystem::path& csv) {
    zentorak::Settings settings;
    zentorak::LocationInfoFileList files;
    zentorak::ClearLocationInfoFileList(files);
    files[0] = zentorak::FromUtf8(csv.string());
    zentorak::FavoriteList favorites;
    for (const Station& s : kStations) {
        zentorak::AddFavorite(
            favorites, {DegreesToDms(s.lat), DegreesToDms(s.lon), zentorak::FromUtf8(s.name)});
    }
    return zentorak::SaveSettingsFile(ini.string(), settings, files, favorites);
}

}  // namespace

// --help prints the usage on standard output; anything else that is not one folder (after the
// one option) prints it on standard error. An option is never taken for the folder (write
// ./-name for such a folder).
int Usage(FILE* out) {
    std::fprintf(out,
                 "usage: zentorak-sample [--utf8-decimal] DIR\n"
                 "Writes DIR/sample/demo-shops.csv and, unless there is one, DIR/zentorak.ini\n"
                 "listing it (DIR holds the zentorak executable). --utf8-decimal also writes\n"
                 "the same shops to DIR/sample/demo-shops-utf8.csv in UTF-8 with decimal\n"
                 "WGS 84 coordinates, and a new zentorak.ini lists that file instead.\n");
    return out == stderr ? 2 : 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        return Usage(stdout);
    }
    const bool utf8Decimal = argc == 3 && std::strcmp(argv[1], "--utf8-decimal") == 0;
    if (argc != 2 + utf8Decimal || argv[argc - 1][0] == '-') {
        return Usage(stderr);
    }
    std::filesystem::path dir = std::filesystem::absolute(argv[argc - 1]);
    std::filesystem::create_directories(dir / "sample");
    std::filesystem::path csv = dir / "sample" / "demo-shops.csv";
    if (!WriteCp932(csv, ShopLines(false))) {
        std::fprintf(stderr, "cannot write %s\n", csv.c_str());
        return 1;
    }
    if (utf8Decimal) {
        std::filesystem::path utf8 = dir / "sample" / "demo-shops-utf8.csv";
        if (!WriteUtf8(utf8, ShopLines(true))) {
            std::fprintf(stderr, "cannot write %s\n", utf8.c_str());
            return 1;
        }
        std::printf("wrote %s\n", utf8.c_str());
        csv = utf8;
    }
    std::filesystem::path ini = dir / "zentorak.ini";
    if (std::filesystem::exists(ini)) {
        std::printf("kept %s\n", ini.c_str());
        return 0;
    }
    if (WriteSettings(ini, csv) != 0) {
        std::fprintf(stderr, "cannot write %s\n", ini.c_str());
        return 1;
    }
    std::printf("wrote %s and %s\n", csv.c_str(), ini.c_str());
    return 0;
}
