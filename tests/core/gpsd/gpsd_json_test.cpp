#include "core/gpsd/gpsd_json.h"

#include <gtest/gtest.h>

#include "core/gpsd/gpsd_driver.h"

namespace zentorak {
namespace {

// Report lines as gpsd 3.22 sends them (captured from gpspipe -w against a UDP NMEA source).
constexpr const char* kTpv3d =
    R"({"class":"TPV","device":"udp://127.0.0.1:29471","mode":3,"time":"2026-12-07T00:01:01.000Z",)"
    R"("ept":0.005,"lat":35.658055000,"lon":139.751388333,"track":12.5,"speed":1.250})";
constexpr const char* kTpvNoFix = R"({"class":"TPV","device":"/dev/ttyUSB0","mode":1})";
constexpr const char* kDevices =
    R"({"class":"DEVICES","devices":[{"class":"DEVICE","path":"/dev/ttyUSB0","driver":"NMEA0183"}]})";

TEST(GpsdJson, TpvWithFix) {
    const GpsdReport r = ParseGpsdReport(kTpv3d);
    EXPECT_EQ(r.kind, GpsdReport::kTpv);
    EXPECT_EQ(r.mode, 3);
    ASSERT_TRUE(r.hasLatLon);
    EXPECT_DOUBLE_EQ(r.latitude, 35.658055);
    EXPECT_DOUBLE_EQ(r.longitude, 139.751388333);
    EXPECT_DOUBLE_EQ(r.speed, 1.25);
    EXPECT_EQ(r.device, "udp://127.0.0.1:29471");
}

TEST(GpsdJson, NoFixAndOtherReports) {
    const GpsdReport noFix = ParseGpsdReport(kTpvNoFix);
    EXPECT_EQ(noFix.mode, 1);
    EXPECT_FALSE(noFix.hasLatLon);
    EXPECT_EQ(ParseGpsdReport(R"({"class":"SKY","uSat":7})").usedSatellites, 7);
    const GpsdReport devices = ParseGpsdReport(kDevices);
    EXPECT_EQ(devices.kind, GpsdReport::kDevices);
    EXPECT_EQ(devices.device, "/dev/ttyUSB0");
    EXPECT_EQ(devices.driver, "NMEA0183");
    EXPECT_EQ(ParseGpsdReport("not json").kind, GpsdReport::kOther);
    EXPECT_EQ(ParseGpsdReport(R"({"class":"TPV","mode":3,"lat":"x"})").hasLatLon, false);
}

// Numbers that no int or position can hold, as the fuzz target found them: converting them was
// undefined behaviour. They count as absent, so none of them makes a fix.
TEST(GpsdJson, NumbersOutOfRangeAreNoValues) {
    struct Row {
        const char* line;
        int mode;
        bool hasLatLon;
        int usedSatellites;
    };
    const Row rows[] = {
        {R"({"class":"TPV","mode":1e100,"lat":35.5,"lon":139.25})", 0, true, -1},
        {R"({"class":"TPV","mode":-1e100,"lat":35.5,"lon":139.25})", 0, true, -1},
        {R"({"class":"TPV","mode":3e9,"lat":35.5,"lon":139.25})", 0, true, -1},
        {R"({"class":"TPV","mode":3,"lat":1e300,"lon":139.25})", 3, false, -1},
        {R"({"class":"TPV","mode":3,"lat":35.5,"lon":-1e300})", 3, false, -1},
        {R"({"class":"TPV","mode":3,"lat":90.5,"lon":139.25})", 3, false, -1},
        {R"({"class":"TPV","mode":3,"lat":35.5,"lon":180.5})", 3, false, -1},
        {R"({"class":"SKY","uSat":1e300})", 0, false, -1},
        {R"({"class":"SKY","uSat":2147483648})", 0, false, -1},
        {R"({"class":"SKY","uSat":2147483647})", 0, false, 2147483647},
    };
    for (const Row& row : rows) {
        const GpsdReport r = ParseGpsdReport(row.line);
        EXPECT_EQ(r.mode, row.mode) << row.line;
        EXPECT_EQ(r.hasLatLon, row.hasLatLon) << row.line;
        EXPECT_EQ(r.usedSatellites, row.usedSatellites) << row.line;
    }
    GpsdDriver driver("127.0.0.1", "1");
    GpsPosition position;
    driver.HandleReport(rows[0].line);
    driver.HandleReport(rows[3].line);
    EXPECT_NE(driver.GetPosition(position, 3000), 0);
}

// The driver's report handling alone, with a clock the test moves.
TEST(GpsdDriverReports, OnlyFixesArePositionsAndOldOnesExpire) {
    auto now = std::chrono::steady_clock::time_point{};
    GpsdDriver driver("127.0.0.1", "1", [&] { return now; });
    GpsPosition position;
    driver.HandleReport(kTpvNoFix);
    EXPECT_NE(driver.GetPosition(position, 3000), 0);
    driver.HandleReport(R"({"class":"SKY","uSat":9})");
    driver.HandleReport(kTpv3d);
    ASSERT_EQ(driver.GetPosition(position, 3000), 0);
    EXPECT_DOUBLE_EQ(position.latitude, 35.658055);
    EXPECT_EQ(position.satelliteCount, 9u);
    // gpsd's 1.25 m/s is 2.43 knots (1 knot = 1852 m an hour), the record's unit.
    EXPECT_NEAR(position.speed, 1.25 * 3600 / 1852, 1e-5);
    EXPECT_FLOAT_EQ(position.heading, 12.5f);
    driver.HandleReport(kTpvNoFix);  // a lost fix leaves the last one in place
    now += std::chrono::milliseconds(3000);
    EXPECT_EQ(driver.GetPosition(position, 3000), 0);
    now += std::chrono::milliseconds(1);
    EXPECT_NE(driver.GetPosition(position, 3000), 0);
}

TEST(GpsdDriverReports, FriendlyNameIsThePathOrTheDriver) {
    GpsdDriver driver("127.0.0.1", "1");
    GpsDevice device;
    driver.HandleReport(kDevices);
    ASSERT_EQ(driver.GetDeviceState(device), 0);
    EXPECT_EQ(device.friendlyName, u"/dev/ttyUSB0");
    driver.HandleReport(R"({"class":"DEVICE","driver":"u-blox"})");
    driver.GetDeviceState(device);
    EXPECT_EQ(device.friendlyName, u"u-blox");
}

}  // namespace
}  // namespace zentorak
