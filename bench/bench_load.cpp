// Loading a location-info file (open to ready for the nearest search, and on to every text
// decoded, on one thread and on every core, with the index's share apart) against glibc iconv
// converting the whole file alone and against a memchr line count, with the peak memory growth
// of the load and a check that every decoded item equals iconv's decoding; the same national set
// loaded in the handsets' form and as published today (UTF-8, decimal degrees), with their ratio;
// and how much the machine's cores gain together, which bounds what the load's threads can gain.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <thread>

#include "bench_data.h"
#include "core/locinfo/location_info.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/target_store.h"

namespace zentorak::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

size_t CountLines(const std::string& path) {
    static char buffer[256 * 1024];
    int fd = ::open(path.c_str(), O_RDONLY);
    size_t lines = 0;
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        for (const char* p = buffer;
             (p = static_cast<const char*>(std::memchr(p, '\n', buffer + n - p))) != nullptr; ++p) {
            ++lines;
        }
    }
    ::close(fd);
    return lines;
}

// Items compared with iconv's decoding of the same lines; returns the number of mismatches.
size_t CompareWithIconv(const std::string& path, const TargetGrid& grid, size_t& compared) {
    std::u16string text = IconvFile(path);
    size_t mismatches = 0, target = 0, begin = text.find(u"\r\n") + 2;
    std::vector<std::u16string> fields;
    compared = 0;
    for (size_t end; (end = text.find(u"\r\n", begin)) != std::u16string::npos; begin = end + 2) {
        SplitCsvLine(std::u16string_view(text).substr(begin, end - begin), u",", u"\"", fields);
        DmsAngle lat, lon;
        int row, column;
        if (fields.size() < 3 || ParseDms(fields[0], lat) || ParseDms(fields[1], lon) ||
            GridCellOf(lat, lon, row, column)) {
            continue;  // a line that gives no target
        }
        if (target >= grid.size()) {
            return mismatches + 1;
        }
        const TargetRecord& t = grid.store().Loaded(static_cast<uint32_t>(target++));
        for (int k = 0; k < kInfoItems && k + 2 < static_cast<int>(fields.size()); ++k) {
            mismatches += t.Info(k) != fields[k + 2];
            ++compared;
        }
    }
    return mismatches + (target != grid.size());
}

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// Median wall and CPU seconds of each runner over five rounds after a warm-up round. The runners
// take turns within a round, so a busy machine slows them alike. Each runner keeps its result
// until done() is called untimed, so freeing it is not part of the time.
template <size_t N>
void MedianOfFive(const std::array<std::function<void()>, N>& runs,
                  const std::function<void()>& done, std::array<double, N>& wall,
                  std::array<double, N>& cpu) {
    std::array<std::vector<double>, N> walls, cpus;
    for (int round = 0; round < 6; ++round) {
        for (size_t r = 0; r < N; ++r) {
            auto start = Clock::now();
            double cpuStart = ThreadSeconds();
            runs[r]();
            if (round > 0) {
                walls[r].push_back(Seconds(start));
                cpus[r].push_back(ThreadSeconds() - cpuStart);
            }
            done();
        }
    }
    for (size_t r = 0; r < N; ++r) {
        wall[r] = Median(walls[r]);
        cpu[r] = Median(cpus[r]);
    }
}

// Keeps the calling thread, and the threads it starts, on the first of its cores while it lives.
class OnOneCore {
public:
    OnOneCore() {
        if (sched_getaffinity(0, sizeof saved_, &saved_) == 0) {
            cpu_set_t one;
            CPU_ZERO(&one);
            for (int c = 0; c < CPU_SETSIZE; ++c) {
                if (CPU_ISSET(c, &saved_)) {
                    CPU_SET(c, &one);
                    break;
                }
            }
            pinned_ = sched_setaffinity(0, sizeof one, &one) == 0;
        }
    }
    ~OnOneCore() {
        if (pinned_) {
            sched_setaffinity(0, sizeof saved_, &saved_);
        }
    }

private:
    cpu_set_t saved_{};
    bool pinned_ = false;
};

// threads: 1 for one core (the loader, the index and the decoding, with iconv and memchr on the
// same core), 0 for as many threads as the cores the process may run on (run the whole benchmark
// under taskset to give it fewer).
void LoadBenchmark(benchmark::State& state, const std::string& path, int threads) {
    const LoadParallelism parallel{threads};
    std::optional<OnOneCore> oneCore;
    if (threads == 1) {
        oneCore.emplace();
    }
    double fileSize = static_cast<double>(std::filesystem::file_size(path));
    std::array<double, 3> wall{}, cpu{};
    std::vector<double> indexTimes, readyTimes;
    double growth = 0, firstReady = 0;
    size_t compared = 0, mismatches = 0, targets = 0;
    for (auto _ : state) {
        std::unique_ptr<TargetGrid> loaded;
        std::u16string converted;
        std::array<std::function<void()>, 3> runs = {
            [&] {
                const auto start = Clock::now();
                loaded = std::make_unique<TargetGrid>();
                ColumnMap columns;
                LoadLocationInfoFileUnindexed(*loaded, columns, path, {}, {}, nullptr, parallel);
                auto indexStart = Clock::now();
                IndexTargetGrid(*loaded);
                indexTimes.push_back(Seconds(indexStart));
                readyTimes.push_back(Seconds(start));  // the nearest search can run
                loaded->store().FinishTexts();
                targets = loaded->size();
            },
            [&] { converted = IconvFile(path); },
            [&] { benchmark::DoNotOptimize(CountLines(path)); }};
        MedianOfFive(
            runs, [&] { loaded.reset(), converted = std::u16string(); }, wall, cpu);
        // The warm-up round is reported apart: in the first benchmark of a process it is the
        // load a user gets at every start.
        firstReady = readyTimes.front();
        indexTimes.erase(indexTimes.begin());
        readyTimes.erase(readyTimes.begin());
        malloc_trim(0);
        ResetPeakMemory();
        size_t base = CurrentMemory();
        TargetGrid grid;
        ColumnMap columns;
        LoadLocationInfoFileUnindexed(grid, columns, path, {}, {}, nullptr, parallel);
        IndexTargetGrid(grid);
        grid.store().FinishTexts();
        growth = static_cast<double>(PeakMemory() - base);
        mismatches = CompareWithIconv(path, grid, compared);
        state.SetIterationTime(wall[0]);
    }
    state.counters["targets"] = static_cast<double>(targets);
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["ready_ms"] = Median(readyTimes) * 1e3;
    state.counters["ready/iconv"] = Median(readyTimes) / wall[1];
    state.counters["first_ready_ms"] = firstReady * 1e3;
    state.counters["first/ready"] = firstReady / Median(readyTimes);
    state.counters["load_ms"] = wall[0] * 1e3;
    state.counters["index_ms"] = Median(indexTimes) * 1e3;
    state.counters["iconv_ms"] = wall[1] * 1e3;
    state.counters["memchr_ms"] = wall[2] * 1e3;
    state.counters["load/iconv"] = wall[0] / wall[1];
    state.counters["load/memchr"] = wall[0] / wall[2];
    state.counters["cpu_load/iconv"] = cpu[0] / cpu[1];
    state.counters["peak_growth_MB"] = growth / 1e6;
    state.counters["growth/file"] = growth / fileSize;
    state.counters["items_checked"] = static_cast<double>(compared);
    state.counters["mismatches"] = static_cast<double>(mismatches);
    if (mismatches != 0) {
        state.SkipWithError("decoded items differ from iconv");
    }
}

// The largest distance in milliseconds of arc between the same target in two grids, or -1 when
// the grids differ in anything else (count, order, items).
int64_t LargestShift(const TargetGrid& a, const TargetGrid& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    auto msec = [](const DmsAngle& x) {
        return ((int64_t{x.deg} * 60 + x.min) * 60 + x.sec) * 1000 + x.msec;
    };
    int64_t largest = 0;
    for (uint32_t i = 0; i < a.size(); ++i) {
        const TargetRecord& s = a.store().Loaded(i);
        const TargetRecord& t = b.store().Loaded(i);
        for (int k = 0; k < kInfoItems; ++k) {
            if (s.HasInfo(k) != t.HasInfo(k) || s.Info(k) != t.Info(k)) {
                return -1;
            }
        }
        largest = std::max(
            {largest, std::abs(msec(s.lat) - msec(t.lat)), std::abs(msec(s.lon) - msec(t.lon))});
    }
    return largest;
}

// The same national set in the handsets' form (CP932, D/M/S, Tokyo datum), in UTF-8 with the
// same D/M/S text (the encoding alone differs), and as lists are published today (UTF-8,
// decimal degrees on WGS 84). Each round loads the three in turn, starting with a different one
// each time; the ratios are each round's UTF-8 time over its CP932 time, so a busy machine
// slows both sides of a ratio alike. At most 1 means the UTF-8 path is at least as fast.
void FormsBenchmark(benchmark::State& state, size_t n) {
    constexpr size_t kForms = 3;
    constexpr int kRounds = 11;
    const std::array<std::string, kForms> paths = {
        NationalSetPath(n, NationalSetForm::kHandset),
        NationalSetPath(n, NationalSetForm::kUtf8Dms),
        NationalSetPath(n, NationalSetForm::kUtf8Decimal)};
    std::array<std::vector<double>, kForms> times;
    std::array<std::vector<double>, kForms> ratios;
    int64_t dmsShift = 0, decimalShift = 0;
    for (auto _ : state) {
        for (int round = 0; round <= kRounds; ++round) {  // round 0 warms up
            std::array<double, kForms> wall{};
            for (size_t k = 0; k < kForms; ++k) {
                const size_t form = (k + static_cast<size_t>(round)) % kForms;
                auto start = Clock::now();
                TargetGrid grid;
                ColumnMap columns;
                LoadLocationInfoFile(grid, columns, paths[form]);
                wall[form] = Seconds(start);
            }
            for (size_t form = 0; round > 0 && form < kForms; ++form) {
                times[form].push_back(wall[form]);
                ratios[form].push_back(wall[form] / wall[0]);
            }
        }
        std::array<TargetGrid, kForms> grids;
        for (size_t form = 0; form < kForms; ++form) {
            ColumnMap columns;
            LoadLocationInfoFile(grids[form], columns, paths[form]);
        }
        dmsShift = LargestShift(grids[0], grids[1]);
        decimalShift = LargestShift(grids[0], grids[2]);
        state.SetIterationTime(Median(times[0]));
        state.counters["targets"] = static_cast<double>(grids[0].size());
    }
    state.counters["cp932_MB"] = std::filesystem::file_size(paths[0]) / 1e6;
    state.counters["utf8_MB"] = std::filesystem::file_size(paths[1]) / 1e6;
    state.counters["cp932_ms"] = Median(times[0]) * 1e3;
    state.counters["utf8_dms_ms"] = Median(times[1]) * 1e3;
    state.counters["utf8_decimal_ms"] = Median(times[2]) * 1e3;
    state.counters["utf8_dms/cp932"] = Median(ratios[1]);
    state.counters["utf8_dms/cp932_q1"] = Percentile(ratios[1], 0.25);
    state.counters["utf8_dms/cp932_q3"] = Percentile(ratios[1], 0.75);
    state.counters["utf8_decimal/cp932"] = Median(ratios[2]);
    state.counters["utf8_decimal/cp932_q1"] = Percentile(ratios[2], 0.25);
    state.counters["utf8_decimal/cp932_q3"] = Percentile(ratios[2], 0.75);
    state.counters["largest_shift_msec"] = static_cast<double>(decimalShift);
    // The decimal file holds seven places (about 1 cm) and a millisecond of arc is about 3 cm,
    // so the same places land within a few milliseconds; the D/M/S twin must be identical.
    if (decimalShift < 0 || decimalShift > 3 || dmsShift != 0) {
        state.SkipWithError("the forms do not give the same targets");
    }
}

// Work that keeps a core's execution units busy without waiting on memory, as a parse does:
// four independent byte hashes over 256 KB, which stay in the core's own cache, as a file's
// lines do between their read and their parse.
uint64_t BusyWork(int rounds) {
    std::vector<unsigned char> data(256 * 1024);
    std::iota(data.begin(), data.end(), static_cast<unsigned char>(7));
    std::array<uint64_t, 4> hash{1, 2, 3, 4};
    for (int r = 0; r < rounds; ++r) {
        for (size_t i = 0; i < data.size(); i += 4) {
            for (size_t k = 0; k < 4; ++k) {
                hash[k] = (hash[k] ^ data[i + k]) * 0x100000001B3u;
            }
        }
        benchmark::DoNotOptimize(hash);
        benchmark::DoNotOptimize(data.data());
    }
    return hash[0] ^ hash[1] ^ hash[2] ^ hash[3];
}

// The same work on every core at once against one core alone: `speedup` is how many cores'
// worth of it they do together (ideally `cores`). Two threads of one physical core, which a
// virtual machine may show as two cores, give far less, and so do the load's threads there.
void CoreScalingBenchmark(benchmark::State& state) {
    cpu_set_t set;
    const int cores =
        sched_getaffinity(0, sizeof set, &set) == 0 ? std::max(1, CPU_COUNT(&set)) : 1;
    constexpr int kRounds = 200;
    auto timed = [&](int threads) {
        const auto start = Clock::now();
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([] { benchmark::DoNotOptimize(BusyWork(kRounds)); });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        return Seconds(start);
    };
    std::vector<double> one, all;
    for (auto _ : state) {
        for (int i = 0; i < 5; ++i) {
            one.push_back(timed(1));
            all.push_back(timed(cores));
        }
        state.SetIterationTime(Median(all));
    }
    state.counters["cores"] = cores;
    state.counters["one_ms"] = Median(one) * 1e3;
    state.counters["all_ms"] = Median(all) * 1e3;
    state.counters["speedup"] = cores * Median(one) / Median(all);
}

}  // namespace
}  // namespace zentorak::bench

int main(int argc, char** argv) {
    using namespace zentorak::bench;
    // A fixed threshold keeps large blocks in mmap, so freed grids leave the resident size.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    std::string national = NationalSetPath(NationalSetSize());
    std::string towns = SmokeRun() ? "" : TownsSetPath();
    for (const auto& [name, path] : {std::pair{"national", national}, std::pair{"towns", towns}}) {
        for (const auto& [cores, threads] : {std::pair{"one-core", 1}, std::pair{"all-cores", 0}}) {
            if (!path.empty()) {
                benchmark::RegisterBenchmark(("Load/" + std::string(name) + "/" + cores).c_str(),
                                             LoadBenchmark, path, threads)
                    ->Iterations(1)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    benchmark::RegisterBenchmark("Machine/core-scaling", CoreScalingBenchmark)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Load/national-forms", FormsBenchmark, NationalSetSize())
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
