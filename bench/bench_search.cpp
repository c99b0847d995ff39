// SearchNearest for 20, 50 and 100 targets at points drawn where the targets are, against
// nanoflann (leaf size 10) answering the same k-nearest queries with the same plain-degree
// distance, with brute force as the oracle on 100 queries; and SearchByConditions with one
// address text against std::u16string_view::find over one buffer holding the same texts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <nanoflann.hpp>
#include <random>

#include "bench_data.h"
#include "core/locinfo/location_info.h"
#include "core/targets/search.h"
#include "core/targets/target_store.h"

namespace zentorak::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Points {
    std::vector<std::array<double, 2>> xy;  // lat, lon in degrees, in load order
    size_t kdtree_get_point_count() const { return xy.size(); }
    double kdtree_get_pt(size_t i, size_t dim) const { return xy[i][dim]; }
    template <class Box>
    bool kdtree_get_bbox(Box&) const {
        return false;
    }
};
using KdTree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, Points>,
                                                   Points, 2, uint32_t>;

struct Data {
    TargetGrid grid;
    ColumnMap columns;
    Points points;
    std::unique_ptr<KdTree> tree;
    std::vector<std::pair<DmsAngle, DmsAngle>> queries;
};

// The loaded set and its k-d tree, built once per file for the whole run.
Data& Loaded(const std::string& path) {
    static std::map<std::string, Data*> loaded;
    Data*& data = loaded[path];
    if (!data) {
        data = new Data;
        Data& d = *data;
        LoadLocationInfoFile(d.grid, d.columns, path);
        d.grid.store().FinishTexts();  // the searches are timed on a settled grid
        for (uint32_t i = 0; i < d.grid.size(); ++i) {
            const TargetRecord& t = d.grid.store().Loaded(i);
            d.points.xy.push_back({DmsToDegrees(t.lat), DmsToDegrees(t.lon)});
        }
        d.tree =
            std::make_unique<KdTree>(2, d.points, nanoflann::KDTreeSingleIndexAdaptorParams(10));
        d.tree->buildIndex();
        std::mt19937 random(35);
        std::normal_distribution<double> jitter(0.0, 0.002);  // about 200 m
        for (int q = 0; q < (SmokeRun() ? 200 : 2000); ++q) {
            const auto& p = d.points.xy[random() % d.points.xy.size()];
            d.queries.push_back(
                {DegreesToDms(p[0] + jitter(random)), DegreesToDms(p[1] + jitter(random))});
        }
    }
    return *data;
}

double Micro(Clock::time_point since) {
    return std::chrono::duration<double, std::micro>(Clock::now() - since).count();
}

std::vector<double> BruteForce(const Points& points, double lat, double lon, size_t k) {
    std::vector<double> d;
    for (const auto& p : points.xy) {
        d.push_back(SortingDistance(lat, lon, p[0], p[1]));
    }
    k = std::min(k, d.size());
    std::partial_sort(d.begin(), d.begin() + k, d.end());
    d.resize(k);
    return d;
}

// Distances of our answers and nanoflann's against brute force on the first 100 queries.
size_t Disagreements(Data& d, int k) {
    size_t bad = 0;
    FoundTargets found;
    found.Allocate(k + 1);
    std::vector<uint32_t> index(k);
    std::vector<double> squared(k);
    for (size_t q = 0; q < 100 && q < d.queries.size(); ++q) {
        double lat = DmsToDegrees(d.queries[q].first), lon = DmsToDegrees(d.queries[q].second);
        std::vector<double> expected = BruteForce(d.points, lat, lon, k);
        SearchNearest(d.grid, d.queries[q].first, d.queries[q].second, k, found);
        double query[2] = {lat, lon};
        size_t n = d.tree->knnSearch(query, k, index.data(), squared.data());
        bad += static_cast<size_t>(found.count) != expected.size() || n != expected.size();
        for (int i = 0; i < found.count && i < static_cast<int>(expected.size()); ++i) {
            const TargetRecord& t = *found.targets[i];
            bad +=
                SortingDistance(lat, lon, DmsToDegrees(t.lat), DmsToDegrees(t.lon)) != expected[i];
            bad += i < static_cast<int>(n) && std::abs(std::sqrt(squared[i]) - expected[i]) > 1e-12;
        }
    }
    return bad;
}

void NearestBenchmark(benchmark::State& state, const std::string& path, int k) {
    Data& d = Loaded(path);
    std::vector<double> ours, peer;
    FoundTargets found;
    found.Allocate(k + 1);
    std::vector<uint32_t> index(k);
    std::vector<double> squared(k);
    for (auto _ : state) {
        ours.clear(), peer.clear();
        for (const auto& [lat, lon] : d.queries) {
            auto start = Clock::now();
            SearchNearest(d.grid, lat, lon, k, found);
            ours.push_back(Micro(start));
            double query[2] = {DmsToDegrees(lat), DmsToDegrees(lon)};
            start = Clock::now();
            benchmark::DoNotOptimize(d.tree->knnSearch(query, k, index.data(), squared.data()));
            peer.push_back(Micro(start));
        }
        double total = 0;
        for (double t : ours) {
            total += t;
        }
        state.SetIterationTime(total * 1e-6);
    }
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v) {
            s += x;
        }
        return s / v.size();
    };
    size_t bad = Disagreements(d, k);
    state.counters["targets"] = static_cast<double>(d.grid.size());
    state.counters["queries"] = static_cast<double>(d.queries.size());
    state.counters["mean_us"] = mean(ours);
    state.counters["p99_us"] = Percentile(ours, 0.99);
    state.counters["kd_mean_us"] = mean(peer);
    state.counters["kd_p99_us"] = Percentile(peer, 0.99);
    state.counters["mean/kd"] = mean(ours) / mean(peer);
    state.counters["p99/kd"] = Percentile(ours, 0.99) / Percentile(peer, 0.99);
    state.counters["oracle_disagreements"] = static_cast<double>(bad);
    if (bad != 0) {
        state.SkipWithError("results differ from brute force");
    }
}

// The peer: how often std::u16string_view::find finds the needle in one buffer. A function of
// its own on a cache line's boundary, so that its loop lies the same way in every build (where
// the code around it moved its loop, the same find took from 9 to 13 ms).
[[gnu::noinline, gnu::aligned(64)]] size_t CountFinds(std::u16string_view all,
                                                      std::u16string_view needle) {
    size_t count = 0;
    for (size_t at = all.find(needle); at != all.npos; at = all.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

void ConditionsBenchmark(benchmark::State& state, const std::string& path) {
    Data& d = Loaded(path);
    SearchTexts texts;
    texts[2] = u"渋谷区";  // slot 4: the address
    std::u16string buffer;
    for (uint32_t i = 0; i < d.grid.size(); ++i) {
        buffer += d.grid.store().Loaded(i).Info(2);
        buffer += u'\n';
    }
    size_t ourCount = 0, peerCount = 0;
    std::vector<double> ours, peer;
    for (auto _ : state) {
        for (int run = 0; run < 6; ++run) {  // the first of each is a warm-up
            FoundTargets found;
            found.Allocate(21);
            auto start = Clock::now();
            SearchByConditions(d.grid, d.columns, texts, found);
            double t = Micro(start);
            ourCount = static_cast<size_t>(found.count);
            start = Clock::now();
            peerCount = CountFinds(buffer, texts[2]);
            double p = Micro(start);
            if (run > 0) {
                ours.push_back(t), peer.push_back(p);
            }
        }
        state.SetIterationTime(Median(ours) * 1e-6);
    }
    state.counters["matches"] = static_cast<double>(ourCount);
    state.counters["ms"] = Median(ours) / 1e3;
    state.counters["find_ms"] = Median(peer) / 1e3;
    state.counters["ratio"] = Median(ours) / Median(peer);
    if (ourCount != peerCount) {
        state.SkipWithError("match counts differ");
    }
}

}  // namespace
}  // namespace zentorak::bench

int main(int argc, char** argv) {
    using namespace zentorak::bench;
    std::vector<std::pair<std::string, std::string>> sets = {
        {"national", NationalSetPath(NationalSetSize())}};
    std::string towns = SmokeRun() ? "" : TownsSetPath();
    if (!towns.empty()) {
        sets.push_back({"towns", towns});
    }
    for (const auto& [name, path] : sets) {
        for (int k : {20, 50, 100}) {
            benchmark::RegisterBenchmark(("Nearest/" + name + "/" + std::to_string(k)).c_str(),
                                         [k, path = path](benchmark::State& state) {
                                             state.SetLabel("k=" + std::to_string(k));
                                             NearestBenchmark(state, path, k);
                                         })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("Conditions/" + name).c_str(), ConditionsBenchmark, path)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
