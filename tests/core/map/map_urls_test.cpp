#include "core/map/map_urls.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

const DmsAngle kLat{35, 39, 29, 123};
const DmsAngle kLon{139, 45, 5, 7};

std::string QueryOf(const std::string& url) {
    return url.substr(url.find('?') + 1);
}

TEST(MapUrl, ExampleQueriesOfEachService) {
    // The expected queries are the worked examples for this point, one per service.
    EXPECT_EQ(MapUrl(1, 2, kLat, kLon, true),
              "http://www.mapion.co.jp/c/f?uc=1&nl=35%2F39%2F29.123&el=139%2F45%2F5.007"
              "&scl=25000&size=450,400&grp=Air");
    EXPECT_EQ(QueryOf(MapUrl(2, 5, kLat, kLon, true)),
              "F=n&MAP=E139.45.5.0N35.39.29.1&ZM=8&SMAP=E139.45.5.0N35.39.29.1");
    EXPECT_EQ(QueryOf(MapUrl(4, 2, kLat, kLon, true)),
              "account=willcom&accmd=0&arg=&x=503105.007000&y=128369.123000&SCL=500&clk=&pg=&c1=0");
    EXPECT_EQ(MapUrl(5, 7, kLat, kLon, true),
              "http://maps.google.co.jp/m/local?hl=ja&ie=UTF8&ll=35.661296,139.747971"
              "&spn=1.036388,1.653442&z=14");
    EXPECT_EQ(QueryOf(MapUrl(5, 7, kLat, kLon, false)),
              "hl=ja&ie=UTF8&ll=35.658090,139.751391&spn=1.036388,1.653442&z=14");
}

TEST(MapUrl, YahooTakesSlashedAnglesWithThreeDigitMilliseconds) {
    EXPECT_EQ(MapUrl(3, 9, {35, 0, 7, 5}, {139, 10, 0, 50}, true),
              "http://map.yahoo.co.jp/pl?lat=35%2F0%2F7.005&lon=139%2F10%2F0.050&layer=0&sc=10"
              "&mode=map&size=s&type=static&pointer=on&column=close");
}

// The tile maps take WGS 84 whatever the Google correction says: the coordinates are those of
// cs2cs -f %.9f EPSG:4301 EPSG:4326 (PROJ 9.1.1, EPSG:15484, the Japan-wide set) to six decimals.
// Zoom 14 is the default (also for an index past the table), 18 the first entry, 5 the last.
TEST(MapUrl, TileMapsTakeThePointShiftedToWgs84) {
    EXPECT_EQ(MapUrl(6, 13, kLat, kLon, true), "https://maps.gsi.go.jp/#14/35.661331/139.748159/");
    EXPECT_EQ(MapUrl(6, 1, {43, 3, 34, 838}, {141, 21, 29, 312}, false),  // Sapporo
              "https://maps.gsi.go.jp/#18/43.062100/141.354400/");
    EXPECT_EQ(MapUrl(7, 12, {26, 12, 30, 139}, {127, 40, 58, 238}, true),  // Naha
              "https://www.openstreetmap.org/?mlat=26.212400&mlon=127.680900"
              "#map=5/26.212400/127.680900");
}

TEST(MapUrl, OutOfRangeChoicesFallBackToTheDefaults) {
    // Scale index outside the table: the service's default index.
    EXPECT_EQ(MapUrl(1, 0, kLat, kLon, true), MapUrl(1, 2, kLat, kLon, true));
    EXPECT_EQ(MapUrl(2, 13, kLat, kLon, true), MapUrl(2, 5, kLat, kLon, true));
    EXPECT_EQ(MapUrl(5, 21, kLat, kLon, true), MapUrl(5, 7, kLat, kLon, true));
    // Service outside 1..7: the default service, with the index checked against its table.
    EXPECT_EQ(MapUrl(0, 3, kLat, kLon, true), MapUrl(5, 3, kLat, kLon, true));
    EXPECT_EQ(MapUrl(8, 99, kLat, kLon, true), MapUrl(5, 7, kLat, kLon, true));
}

TEST(MapServices, TablesAndDefaults) {
    struct Row {
        int id;
        std::u16string_view label;
        size_t scales;
        int defaultIx;
        std::u16string_view defaultLabel;
    } rows[] = {
        {1, u"Mapion", 9, 2, u"1/8000"},     {2, u"MapFanWeb", 12, 5, u"1/25000"},
        {3, u"Yahoo地図", 9, 4, u"1/75000"}, {4, u"ちず丸", 9, 2, u"500m"},
        {5, u"Google", 20, 7, u"14"},
    };
    ASSERT_EQ(MapServices().size(), 7u);
    for (const Row& row : rows) {
        const MapService* s = FindMapService(row.id);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->label, row.label);
        EXPECT_EQ(s->scales.size(), row.scales);
        EXPECT_EQ(s->defaultScaleIx, row.defaultIx);
        EXPECT_EQ(s->scales[static_cast<size_t>(row.defaultIx - 1)].label, row.defaultLabel);
    }
    EXPECT_EQ(FindMapService(0), nullptr);
    EXPECT_EQ(FindMapService(8), nullptr);
    EXPECT_EQ(FindMapService(5)->scales[0].parameter, "z=20");
    EXPECT_EQ(FindMapService(5)->scales[19].parameter, "z=1");
    EXPECT_EQ(FindMapService(2)->scales[11].parameter, "ZM=0");
}

}  // namespace
}  // namespace zentorak
