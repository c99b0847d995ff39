// Data for the program's benchmarks: a location-info file of n made-up targets spread over the
// Japanese main islands (Tokyo datum, CP932, CR LF) and a settings file beside a program that
// lists it. Deterministic, so runs compare.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "geo/dms.h"
#include "platform/code_page.h"

namespace zentorak::bench {

inline bool SmokeRun() {
    return std::getenv("ZENTORAK_BENCH_SMOKE") != nullptr;
}

// Writes path with n targets; half of them crowd around Tokyo, Osaka and Nagoya as shops do.
inline void WriteTargets(const std::filesystem::path& path, int n) {
    static const double kCities[][2] = {{35.678, 139.770}, {34.699, 135.499}, {35.168, 136.885}};
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << EncodeCp932(u"緯度,経度,店名,郵便番号,住所,TEL,最寄駅,営業時間") << "\r\n";
    unsigned seed = 12345u;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) & 0xFFFFFu) / 1048575.0;
    };
    const std::string name = EncodeCp932(u"店舗"), address = EncodeCp932(u"東京都千代田区");
    const std::string station = EncodeCp932(u"東京駅");
    char line[256];
    for (int i = 0; i < n; ++i) {
        double lat, lon;
        if (i % 2 == 0) {
            const double* c = kCities[i / 2 % 3];
            lat = c[0] + (next() - 0.5) * 0.3;
            lon = c[1] + (next() - 0.5) * 0.3;
        } else {
            lat = 31.0 + next() * 12.0;
            lon = 130.0 + next() * 12.0;
        }
        std::string la = ToUtf8(FormatDms(DegreesToDms(lat)));
        std::string lo = ToUtf8(FormatDms(DegreesToDms(lon)));
        std::snprintf(line, sizeof line,
                      "%s,%s,%s%d,100-%04d,%s%d-%d,03-0000-%04d,%s,9:00-21:00\r\n", la.c_str(),
                      lo.c_str(), name.c_str(), i, i % 10000, address.c_str(), i % 9, i % 99,
                      i % 10000, station.c_str());
        out << line;
    }
}

// zentorak.ini in dir listing the file (or no file at all when csv is empty). Origin fixed, so
// that start-up paints the same picture every time.
inline void WriteSettings(const std::filesystem::path& dir, const std::filesystem::path& csv) {
    std::ofstream out(dir / "zentorak.ini", std::ios::binary | std::ios::trunc);
    out << "[System]\r\nOrgFixedMode:1\r\n\r\n[TrgtInfoFile]\r\n";
    if (!csv.empty()) {
        out << csv.string() << "\r\n";
    }
    out << "\r\n";
}

}  // namespace zentorak::bench
