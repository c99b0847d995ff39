// Loading 100,000 places as a GPX file and as a GeoJSON file against the same places as a UTF-8
// decimal CSV file (the national set as lists are published today), in one run: each round
// loads the three in turn, starting with a different one each time, and the ratios are each
// round's GPX and GeoJSON times over its CSV time, so a busy machine slows both sides alike.
// The goal is a ratio of at most 3. The same ratios of the process's CPU time (all threads) are
// reported beside them: on a machine shared with other work they move less than the wall times.
// Also checks that the three give the same targets.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bench_data.h"
#include "core/locinfo/location_info.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"

namespace zentorak::bench {
namespace {

using Clock = std::chrono::steady_clock;

double ProcessSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string Escaped(std::string_view text, bool json) {
    std::string out;
    for (char c : text) {
        if (json && (c == '"' || c == '\\')) {
            out += '\\';
        }
        out += !json && c == '&' ? "&amp;" : !json && c == '<' ? "&lt;" : std::string(1, c);
    }
    return out;
}

// The CSV's places as a GPX file (the name, the other columns under extensions) and as a
// GeoJSON file (every column a property), each written once beside it.
std::array<std::string, 2> WritePlaceLists(const std::string& csv) {
    const std::array<std::string, 2> paths = {csv + ".gpx", csv + ".geojson"};
    if (std::filesystem::exists(paths[0]) && std::filesystem::exists(paths[1])) {
        return paths;
    }
    std::ifstream in(csv, std::ios::binary);
    std::string line;
    std::getline(in, line);
    std::vector<std::u16string> header, fields;
    SplitCsvLine(FromUtf8(line.substr(kUtf8ByteOrderMark.size(), line.size() - 4)), u",", u"\"",
                 header);
    std::ostringstream gpx, json;
    gpx << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\">\n";
    json << "{\"type\":\"FeatureCollection\",\"features\":[\n";
    for (bool first = true; std::getline(in, line); first = false) {
        SplitCsvLine(FromUtf8(std::string_view(line).substr(0, line.size() - 1)), u",", u"\"",
                     fields);
        const std::string lat = ToUtf8(fields[0]), lon = ToUtf8(fields[1]);
        gpx << "<wpt lat=\"" << lat << "\" lon=\"" << lon << "\"><name>"
            << Escaped(ToUtf8(fields[2]), false) << "</name><extensions>";
        json << (first ? "" : ",\n") << "{\"type\":\"Feature\",\"properties\":{\"name\":\""
             << Escaped(ToUtf8(fields[2]), true) << '"';
        for (size_t c = 3; c < fields.size() && c < header.size(); ++c) {
            const std::string caption = ToUtf8(header[c]), value = ToUtf8(fields[c]);
            gpx << '<' << caption << '>' << Escaped(value, false) << "</" << caption << '>';
            json << ",\"" << caption << "\":\"" << Escaped(value, true) << '"';
        }
        gpx << "</extensions></wpt>\n";
        json << "},\"geometry\":{\"type\":\"Point\",\"coordinates\":[" << lon << ',' << lat
             << "]}}";
    }
    gpx << "</gpx>\n";
    json << "]}\n";
    std::ofstream(paths[0], std::ios::binary) << gpx.str();
    std::ofstream(paths[1], std::ios::binary) << json.str();
    return paths;
}

// Whether the grids hold the same points and items in the same order.
bool SameTargets(const TargetGrid& a, const TargetGrid& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (uint32_t n = 0; n < a.size(); ++n) {
        const TargetRecord &s = a.store().Loaded(n), &t = b.store().Loaded(n);
        bool same = s.lat == t.lat && s.lon == t.lon;
        for (int k = 0; k < kInfoItems && same; ++k) {
            same = s.Info(k) == t.Info(k);
        }
        if (!same) {
            return false;
        }
    }
    return true;
}

void PlaceListsBenchmark(benchmark::State& state) {
    constexpr size_t kForms = 3;
    constexpr int kRounds = 11;
    const size_t n = SmokeRun() ? 2000 : 100000;
    const std::string csv = NationalSetPath(n, NationalSetForm::kUtf8Decimal);
    const std::array<std::string, 2> lists = WritePlaceLists(csv);
    const std::array<std::string, kForms> paths = {csv, lists[0], lists[1]};
    std::array<std::vector<double>, kForms> times, ratios, cpuRatios;
    bool same = true;
    for (auto _ : state) {
        for (int round = 0; round <= kRounds; ++round) {  // round 0 warms up
            std::array<double, kForms> wall{}, cpu{};
            for (size_t k = 0; k < kForms; ++k) {
                const size_t form = (k + static_cast<size_t>(round)) % kForms;
                const auto start = Clock::now();
                const double cpuStart = ProcessSeconds();
                {
                    TargetGrid grid;
                    ColumnMap columns;
                    LoadLocationInfoFile(grid, columns, paths[form]);
                    wall[form] = std::chrono::duration<double>(Clock::now() - start).count();
                    grid.store().FinishTexts();  // the decoding threads' time counted too
                }
                cpu[form] = ProcessSeconds() - cpuStart;
            }
            for (size_t form = 0; round > 0 && form < kForms; ++form) {
                times[form].push_back(wall[form]);
                ratios[form].push_back(wall[form] / wall[0]);
                cpuRatios[form].push_back(cpu[form] / cpu[0]);
            }
        }
        std::array<TargetGrid, kForms> grids;
        for (size_t form = 0; form < kForms; ++form) {
            ColumnMap columns;
            LoadLocationInfoFile(grids[form], columns, paths[form]);
        }
        same = SameTargets(grids[0], grids[1]) && SameTargets(grids[0], grids[2]);
        state.SetIterationTime(Median(times[0]));
        state.counters["targets"] = static_cast<double>(grids[0].size());
    }
    state.counters["csv_ms"] = Median(times[0]) * 1e3;
    state.counters["gpx_ms"] = Median(times[1]) * 1e3;
    state.counters["geojson_ms"] = Median(times[2]) * 1e3;
    state.counters["gpx/csv"] = Median(ratios[1]);
    state.counters["gpx/csv_q3"] = Percentile(ratios[1], 0.75);
    state.counters["geojson/csv"] = Median(ratios[2]);
    state.counters["geojson/csv_q3"] = Percentile(ratios[2], 0.75);
    state.counters["gpx/csv_cpu"] = Median(cpuRatios[1]);
    state.counters["geojson/csv_cpu"] = Median(cpuRatios[2]);
    if (!same) {
        state.SkipWithError("the place lists do not give the CSV file's targets");
    }
}

BENCHMARK(PlaceListsBenchmark)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zentorak::bench

BENCHMARK_MAIN();
