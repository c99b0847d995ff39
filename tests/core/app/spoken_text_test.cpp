#include "core/app/spoken_text.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

TEST(SpokenText, CompassPointsBySectorAndTheRadarAndRowTexts) {
    // Sectors of 45 degrees: 22 degrees off north is north, 23 north-east.
    const std::tuple<int, int, const char16_t*> points[] = {
        {0, 5, u"北"},   {5, 5, u"北東"},   {5, 0, u"東"},      {5, -5, u"南東"},
        {0, -5, u"南"},  {-5, -5, u"南西"}, {-5, 0, u"西"},     {-5, 5, u"北西"},
        {0, 0, u"基点"}, {40, 100, u"北"},  {43, 100, u"北東"}, {-43, -100, u"南西"},
        {-100, 1, u"西"}};
    for (auto [east, north, name] : points) {
        EXPECT_EQ(CompassPoint(east, north), name) << east << "," << north;
    }
    // The third place is a tenth of a second north: drawn on the origin itself.
    RadarView view{{35, 0, 0, 0}, {139, 0, 0, 0}, 120, 93, 1000};
    std::vector<RadarPlace> places = {{u"駅前店", {35, 0, 30, 0}, {139, 0, 30, 0}},
                                      {u"", {34, 59, 0, 0}, {139, 0, 0, 0}},
                                      {u"本店", {35, 0, 0, 100}, {139, 0, 0, 0}}};
    EXPECT_EQ(RadarSpeech(true, view, 5000, places),
              u"目盛 5km、基点 緯度 35/00/00 経度 139/00/00。1 駅前店 北東、2 南、3 本店 基点。");
    EXPECT_EQ(RadarSpeech(true, view, 200, {}),
              u"目盛 200m、基点 緯度 35/00/00 経度 139/00/00。該当なし。");
    EXPECT_EQ(RadarSpeech(false, view, 5000, places), u"基点未設定。");
    EXPECT_EQ(ResultRowSpeech(3, {{u"店名", u"デモ"}, {u"TEL", u""}, {u"住所", u"", false}}),
              u"3 店名:デモ、TEL:、住所:");
}

}  // namespace
}  // namespace zentorak
