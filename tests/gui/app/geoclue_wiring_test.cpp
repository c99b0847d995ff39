// The program's own position services, as main plugs them in, against a real GeoClue on a
// private bus: with no gpsd on its port, 更新 moves the origin to GeoClue's position and the
// log pane says which service answered.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include "core/geo/datum.h"
#include "gui/app/app_fixture.h"
#include "gui/app/result_panes.h"
#include "gui/app/update_cycle_adapter.h"
#include "gui/platform/geoclue_harness.h"

namespace zentorak::testing {
namespace {

// 35/40/20 N 139/46/20 E, where shop 14 stands.
constexpr double kShop14Lat = 35.0 + 40.0 / 60 + 20.0 / 3600;
constexpr double kShop14Lon = 139.0 + 46.0 / 60 + 20.0 / 3600;

bool SomethingOnGpsdPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(2947);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool taken = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return taken;
}

class GeoclueWiring : public AppFixture {
protected:
    void SetUp() override {
        if (SomethingOnGpsdPort()) {
            GTEST_SKIP() << "a gpsd answers on localhost:2947, so GeoClue would not be asked";
        }
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        std::string reason;
        if (!harness.Start(reason)) {
            GTEST_SKIP() << "GeoClue cannot run here: " << reason;
        }
    }

    QTemporaryDir data;
    GeoclueHarness harness;
};

TEST_F(GeoclueWiring, UpdateWithoutGpsdTakesGeoCluePositionAndLogsTheService) {
    // GeoClue speaks WGS 84 like gpsd; the program takes the fix onto the Tokyo datum of the
    // location-info files, so the service reports the shop's WGS 84 position.
    double lat = 0, lon = 0;
    TokyoToWgs84(kShop14Lat, kShop14Lon, lat, lon);
    harness.SetPosition(lat, lon);
    WriteSettings({"MthdGetLocInfo:2"});
    state = std::make_unique<AppState>();
    app = std::make_unique<Application>(*state, IniPath());
    app->SetPositionUpdatesFactory(UpdateCycleAdapter::ForProgram);
    ASSERT_TRUE(app->Start(true));
    Window().Dispatch(32771);  // 更新
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return state->found.count > 0 && !Window().Updates().Busy(); }, 20000))
        << harness.GeoclueLog();
    // NMEA carries minutes to six places and the datum shift is undone only to centimetres, so
    // the seconds may come back a millisecond or two off.
    EXPECT_EQ(state->originLat.min, 40);
    EXPECT_NEAR(state->originLat.sec * 1000 + state->originLat.msec, 20000, 2);
    EXPECT_EQ(state->found.targets[0]->Info(0), u"店14");
    EXPECT_TRUE(Window().Panes().Log()->toPlainText().contains(
        QStringLiteral("GPS: gpsd に接続できないため GeoClue を使います")));
}

}  // namespace
}  // namespace zentorak::testing
