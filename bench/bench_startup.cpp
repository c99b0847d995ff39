// Start-up time of the program: from exec to the first painted main window, with no
// location-info file and with 100,000 and 1,000,000 targets of the generated national set,
// offscreen and under Xvfb, against a minimal Qt window that paints once; and to the moment the
// program takes commands (the targets searchable), against iconv converting the same file alone.
// Each case is run 11 times; read the median.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "app_bench_data.h"
#include "bench_data.h"

namespace fs = std::filesystem;

namespace {

const fs::path& WorkDir() {
    static const fs::path dir = [] {
        char name[] = "/tmp/zentorak-bench-XXXXXX";
        return fs::path(::mkdtemp(name));
    }();
    return dir;
}

// One folder per target count, with its settings file (and data file).
fs::path CaseDir(int targets) {
    static std::map<int, fs::path> made;
    auto it = made.find(targets);
    if (it != made.end()) {
        return it->second;
    }
    fs::path dir = WorkDir() / std::to_string(targets);
    fs::create_directories(dir);
    // The engine's generated national set (cached under the build tree).
    std::string csv = targets > 0 ? zentorak::bench::NationalSetPath(targets) : std::string();
    zentorak::bench::WriteProgramSettings(dir, csv);
    return made[targets] = dir;
}

// A private X server for the xcb cases; empty when none can be started.
std::string XDisplay() {
    static const std::string display = []() -> std::string {
        fs::path file = WorkDir() / "display";
        std::string command = "Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>" +
                              file.string() + " 2>/dev/null & echo $! >" +
                              (WorkDir() / "xvfb.pid").string();
        if (std::system(command.c_str()) != 0) {
            return {};
        }
        for (int i = 0; i < 100 && (!fs::exists(file) || fs::file_size(file) == 0); ++i) {
            ::usleep(50000);
        }
        std::FILE* f = std::fopen(file.c_str(), "r");
        int n = -1;
        if (f == nullptr || std::fscanf(f, "%d", &n) != 1) {
            n = -1;
        }
        if (f != nullptr) {
            std::fclose(f);
        }
        return n < 0 ? std::string() : ":" + std::to_string(n);
    }();
    return display;
}

// Seconds from fork/exec until the probe reports its first paint; negative on failure.
double TimeToFirstPaint(const char* mode, const fs::path& dir, const std::string& platform) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 1);
        ::close(pipeFds[0]);
        ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
        if (platform == "xcb") {
            ::setenv("DISPLAY", XDisplay().c_str(), 1);
        }
        ::execl(ZENTORAK_PROBE, "startup_probe", mode, dir.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char buffer[16] = {};
    ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer - 1);
    auto end = std::chrono::steady_clock::now();
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (n <= 0 || std::string(buffer) != "painted\n") {
        return -1;
    }
    return std::chrono::duration<double>(end - start).count();
}

void StartUp(benchmark::State& state, const char* mode, const std::string& platform) {
    int targets = static_cast<int>(state.range(0));
    if (platform == "xcb" && XDisplay().empty()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    fs::path dir = CaseDir(targets);
    for (auto _ : state) {
        double seconds = TimeToFirstPaint(mode, dir, platform);
        if (seconds < 0) {
            state.SkipWithError("the probe did not paint");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["targets"] = targets;
}

void Targets(benchmark::internal::Benchmark* b) {
    if (zentorak::bench::SmokeRun()) {
        b->Arg(0)->Arg(1000)->Repetitions(2);
    } else {
        b->Arg(0)->Arg(100000)->Arg(1000000)->Repetitions(11);
    }
    b->UseManualTime()->Iterations(1)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

void Peer(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Repetitions(zentorak::bench::SmokeRun() ? 2 : 11);
    b->UseManualTime()->Iterations(1)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

// iconv converting the file of a start-up case alone, in this process: the peer of "ready".
void IconvPeer(benchmark::State& state) {
    const std::string csv = zentorak::bench::NationalSetPath(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(zentorak::bench::IconvFile(csv).size());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

void Files(benchmark::internal::Benchmark* b) {
    if (zentorak::bench::SmokeRun()) {
        b->Arg(1000)->Repetitions(2);
    } else {
        b->Arg(100000)->Arg(1000000)->Repetitions(11);
    }
    b->UseManualTime()->Iterations(1)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

BENCHMARK(IconvPeer)->Apply(Files);
BENCHMARK_CAPTURE(StartUp, peer_offscreen, "peer", "offscreen")->Apply(Peer);
BENCHMARK_CAPTURE(StartUp, zentorak_offscreen, "zentorak", "offscreen")->Apply(Targets);
BENCHMARK_CAPTURE(StartUp, zentorak_ready_offscreen, "ready", "offscreen")->Apply(Targets);
BENCHMARK_CAPTURE(StartUp, peer_xvfb, "peer", "xcb")->Apply(Peer);
BENCHMARK_CAPTURE(StartUp, zentorak_xvfb, "zentorak", "xcb")->Apply(Targets);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::string pidFile = (WorkDir() / "xvfb.pid").string();
    if (std::FILE* f = std::fopen(pidFile.c_str(), "r")) {
        int pid = 0;
        if (std::fscanf(f, "%d", &pid) == 1 && pid > 0) {
            ::kill(pid, SIGTERM);
        }
        std::fclose(f);
    }
    fs::remove_all(WorkDir());
    return 0;
}
