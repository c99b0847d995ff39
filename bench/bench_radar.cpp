// One pan step and one zoom step of the radar with 100 found targets: the pen movement, the
// state change and the full repaint it causes (offscreen). The goal is under 5 ms a step.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app_bench_data.h"
#include "bench_data.h"
#include "gui/app/application.h"
#include "gui/app/radar_widget.h"

namespace fs = std::filesystem;

namespace {

struct Fixture {
    fs::path dir;
    zentorak::AppState state;
    std::unique_ptr<zentorak::Application> app;

    Fixture() {
        char name[] = "/tmp/zentorak-radar-XXXXXX";
        dir = ::mkdtemp(name);
        std::string csv =
            zentorak::bench::NationalSetPath(zentorak::bench::SmokeRun() ? 20000 : 100000);
        // TrgtSrchNum 100 and a favourite in the middle of Tokyo, where 100 targets are near.
        zentorak::bench::WriteProgramSettings(dir, csv, "TrgtSrchNum:100\r\n");
        std::ofstream(dir / "zentorak.ini", std::ios::binary | std::ios::app)
            << "[Favorite]\r\nFavName:x\r\nFavLat:35/40/40.000\r\nFavLon:139/46/12.000\r\n\r\n";
        app = std::make_unique<zentorak::Application>(state, (dir / "zentorak.ini").string());
        app->Start(true);
        (void)QTest::qWaitForWindowExposed(&app->Window());
        app->Window().Dispatch(2001);  // origin at the favourite: 100 targets found
    }
    ~Fixture() {
        app.reset();
        fs::remove_all(dir);
    }
};

std::unique_ptr<Fixture> shared;

Fixture& Shared() {
    if (!shared) {
        shared = std::make_unique<Fixture>();
    }
    return *shared;
}

void PanStep(benchmark::State& s) {
    Fixture& f = Shared();
    zentorak::MainWindow& w = f.app->Window();
    w.PenDown(QPoint(60, 60));
    w.PenMove(QPoint(70, 70));
    int x = 70;
    for (auto _ : s) {
        x = x == 70 ? 73 : 70;
        w.PenMove(QPoint(x, x));
    }
    w.PenUp(QPoint(x, x));
    s.counters["found"] = f.state.found.count;
}

void ZoomStep(benchmark::State& s) {
    Fixture& f = Shared();
    zentorak::MainWindow& w = f.app->Window();
    int strip = w.ViewCentrePoint().x * 2 - 4;
    w.PenDown(QPoint(strip, 100));
    w.PenMove(QPoint(strip, 110));
    int y = 110;
    for (auto _ : s) {
        y = y == 110 ? 100 : 110;  // in and out again, so the scale stays put
        w.PenMove(QPoint(strip, y));
    }
    w.PenUp(QPoint(strip, y));
    s.counters["found"] = f.state.found.count;
}

// The end of a pan in floating mode: search around the view centre, refill the list of 100
// rows, snap the origin and repaint.
void FloatingPanEnd(benchmark::State& s) {
    Fixture& f = Shared();
    zentorak::MainWindow& w = f.app->Window();
    f.state.settings.OrgFixedMode = 2;
    int dx = 8;
    for (auto _ : s) {
        dx = -dx;
        w.PenDown(QPoint(100, 100));
        w.PenMove(QPoint(100 + dx, 100));
        w.PenUp(QPoint(100 + dx, 100));
    }
    f.state.settings.OrgFixedMode = 1;
    s.counters["found"] = f.state.found.count;
}

BENCHMARK(PanStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloatingPanEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(ZoomStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shared.reset();  // the window goes before the application object
    return 0;
}
