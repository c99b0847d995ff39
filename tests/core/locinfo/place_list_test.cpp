// Place lists of other map apps: what each reader makes of a small document, and the files
// loaded as location-info files beside the same places as a decimal CSV file.
#include "core/locinfo/place_list.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/favorites/favorite_export.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : "|") + part;
    }
    return text;
}

// Each place as "lat lon:items", the point as the file writes it.
std::vector<std::string> Described(const PlaceList& list) {
    std::vector<std::string> places;
    for (const PlaceList::Place& place : list.places) {
        char point[64];
        std::snprintf(point, sizeof point, "%g %g:", place.lat, place.lon);
        places.push_back(point + std::string(list.Items(place)));
    }
    return places;
}

TEST(PlaceList, ReadersGiveNameFirstThenFieldsInFileOrder) {
    struct Row {
        const char* what;
        int (*read)(std::string&, PlaceListBuilder&);
        std::string bytes;
        int result;
        const char* captions;
        std::vector<std::string> places;
        size_t skippedShapes;
    } rows[] = {
        {"gpx: fields, link address, phone in extensions, route and track left out",
         ReadGpxPlaces,
         R"(<?xml version="1.0"?><gpx xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="35.5" lon="139.25"><cmt> c
 d </cmt><name>N</name><desc>a, "b"</desc><link href="h"><text>t</text></link>
<extensions><o:Phone>03</o:Phone></extensions></wpt>
<wpt lat="north" lon="139"><name>no point</name></wpt><rte/>
<wpt lat="34" lon="135"><type>t</type><name>M</name></wpt><trk/></gpx>)",
         0,
         "店名|cmt|desc|link|TEL|type",
         {R"(35.5 139.25:N,c  d,"a, ""b""",h,03)", "34 135:M,,,,,t"},
         2},
        {"kml: prefixed, nested folders, extended data, multi-geometry",
         ReadKmlPlaces,
         R"(<k:kml xmlns:k="http://www.opengis.net/kml/2.2"><k:Document><k:Folder><k:Folder>
<k:Placemark><k:ExtendedData><k:Data name="電話番号"><k:value>06</k:value></k:Data>
<k:SchemaData><k:SimpleData name="kind">cafe</k:SimpleData></k:SchemaData></k:ExtendedData>
<k:name>P</k:name><k:MultiGeometry><k:Point><k:coordinates> 135.5,34.7,0 </k:coordinates>
</k:Point><k:LineString/><k:Point><k:coordinates>135.6,34.8</k:coordinates></k:Point>
</k:MultiGeometry><k:description><![CDATA[<b>x</b>]]></k:description></k:Placemark>
</k:Folder></k:Folder><k:Placemark><k:name>area</k:name><k:Polygon/></k:Placemark>
<k:Placemark><k:phoneNumber>tel:1</k:phoneNumber><k:Point><k:coordinates>1</k:coordinates>
</k:Point></k:Placemark></k:Document></k:kml>)",
         0,
         "店名|TEL|kind|description",
         {"34.7 135.5:P,06,cafe,<b>x</b>", "34.8 135.6:P,06,cafe,<b>x</b>"},
         2},
        {"geojson: properties in order, values as text, multi-point, collections",
         ReadGeoJsonPlaces,
         R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"n":2,"NAME":"A","z":null,"phone":"03","o":{"a":[1,true]}},
 "geometry":{"type":"MultiPoint","coordinates":[[139.5,35.5],[139.6,35.6,10]]}},
{"type":"Feature","properties":{"name":"L"},"geometry":{"type":"LineString","coordinates":[]}},
{"type":"Feature","properties":null,"geometry":{"type":"GeometryCollection","geometries":[
 {"type":"Point","coordinates":[135,34]},{"type":"MultiPolygon","coordinates":[]}]}},
{"type":"Feature","properties":{"name":"no point"},"geometry":null}]})",
         0,
         "店名|n|z|TEL|o",
         {R"(35.5 139.5:A,2,,03,"{""a"":[1,true]}")", R"(35.6 139.6:A,2,,03,"{""a"":[1,true]}")",
          "34 135:"},
         2},
        {"gpx: breaks, tabs and commas in long values",
         ReadGpxPlaces,
         "<gpx><wpt lat='1' lon='2'><name>abcdefg\tijklmno\r\npqrstuvwxyz</name>"
         "<desc>0123456,89</desc></wpt></gpx>",
         0,
         "店名|desc",
         {"1 2:abcdefg ijklmno pqrstuvwxyz,\"0123456,89\""},
         0},
        {"gpx: not well-formed", ReadGpxPlaces, "<gpx><wpt></gpx>", kLoadCannotOpen, "店名", {}, 0},
        {"gpx: a KML document", ReadGpxPlaces, "<kml/>", kLoadCannotOpen, "店名", {}, 0},
        {"kmz: no archive", ReadKmzPlaces, "PK\x03\x04", kLoadCannotOpen, "店名", {}, 0},
        {"geojson: no object", ReadGeoJsonPlaces, "[1]", kLoadCannotOpen, "店名", {}, 0},
        {"geojson: a member without its value",
         ReadGeoJsonPlaces,
         R"({"type":"FeatureCollection","features":[{"type":,"geometry":{"type":"Point",
"coordinates":[1,2]}}]})",
         kLoadCannotOpen,
         "店名",
         {},
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PlaceList list;
        PlaceListBuilder places(list, {});
        std::string bytes = row.bytes;
        EXPECT_EQ(row.read(bytes, places), row.result);
        EXPECT_EQ(Joined(list.captions), row.captions);
        EXPECT_EQ(Described(list), row.places);
        EXPECT_EQ(list.skippedShapes, row.skippedShapes);
    }
}

// The same place as a GPX waypoint, a KMZ placemark and a GeoJSON feature loads to the point and
// items the decimal CSV line gives it, under the captions the loader keeps.
TEST(PlaceList, FilesLoadLikeTheDecimalCsvLine) {
    testing::TempFolder folder;
    const std::string csv =
        folder.Write("p.csv", "緯度,経度,店名,TEL\n35.681236,139.767125,東京駅,03\n");
    const std::string kml =
        folder.Write("doc.kml",
                     "<kml><Placemark><name>東京駅</name><phoneNumber>03</phoneNumber><Point>"
                     "<coordinates>139.767125,35.681236</coordinates></Point></Placemark></kml>");
    const std::string zip =
        "python3 -c \"import zipfile,sys; zipfile.ZipFile(sys.argv[1], 'w', "
        "zipfile.ZIP_DEFLATED).write(sys.argv[2], 'doc.kml')\" ";
    ASSERT_EQ(std::system((zip + folder.File("p.kmz") + " " + kml).c_str()), 0);
    const std::string files[] = {
        folder.Write("p.GPX",
                     "<gpx><wpt lat='35.681236' lon='139.767125'><name>東京駅</name>"
                     "<extensions><tel>03</tel></extensions></wpt></gpx>"),
        folder.File("p.kmz"),
        folder.Write("p.geojson", R"({"type":"Feature","properties":{"name":"東京駅","tel":"03"},
"geometry":{"type":"Point","coordinates":[139.767125,35.681236]}})")};
    TargetGrid expected;
    ColumnMap expectedColumns;
    ASSERT_EQ(LoadLocationInfoFile(expected, expectedColumns, csv), 0);
    ASSERT_EQ(expected.size(), 1u);
    const TargetRecord& want = expected.store().Loaded(0);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        TargetGrid grid;
        ColumnMap columns;
        ASSERT_EQ(LoadLocationInfoFile(grid, columns, file), 0);
        ASSERT_EQ(grid.size(), 1u);
        const TargetRecord& got = grid.store().Loaded(0);
        EXPECT_EQ(got.lat, want.lat);
        EXPECT_EQ(got.lon, want.lon);
        EXPECT_EQ(got.Info(0), u"東京駅");
        EXPECT_EQ(got.Info(1), u"03");
        EXPECT_EQ(columns.columnCaption, expectedColumns.columnCaption);
    }
}

// Favourites written as GPX come back through the reader to their points: the Tokyo datum to
// WGS 84 and back again within a millisecond of arc, across the area.
TEST(PlaceList, ExportedFavouritesReadBackToTheirPoints) {
    FavoriteList favorites;
    const FavoriteRecord records[] = {{{35, 39, 29, 123}, {139, 45, 5, 7}, u"東京, \"駅\""},
                                      {{43, 3, 34, 838}, {141, 21, 29, 312}, u"札幌"},
                                      {{26, 12, 45, 1}, {127, 40, 52, 999}, u"那覇"},
                                      {{33, 35, 0, 500}, {130, 24, 59, 999}, u"福岡"}};
    for (const FavoriteRecord& record : records) {
        ASSERT_EQ(AddFavorite(favorites, record), 0);
    }
    testing::TempFolder folder;
    const std::string gpx =
        folder.Write("f.gpx", ExportFavorites(favorites, FavoriteFormat::kGpx).document);
    TargetGrid grid;
    ColumnMap columns;
    ASSERT_EQ(LoadLocationInfoFile(grid, columns, gpx), 0);
    ASSERT_EQ(grid.size(), std::size(records));
    for (uint32_t n = 0; n < grid.size(); ++n) {
        const TargetRecord& got = grid.store().Loaded(n);
        EXPECT_EQ(got.Info(0), records[n].name);
        EXPECT_LE(std::abs(got.lat.Milliseconds() - ArcAngle(records[n].lat).Milliseconds()), 1);
        EXPECT_LE(std::abs(got.lon.Milliseconds() - ArcAngle(records[n].lon).Milliseconds()), 1);
    }
}

}  // namespace
}  // namespace zentorak
