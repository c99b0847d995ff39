// The favourites as other map apps get them, read back by an XML parser that is not ours
// (Python's ElementTree, on expat): a name that breaks the document fails here.
#include "core/favorites/favorite_export.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_folder.h"

namespace zentorak {
namespace {

// Prints "lat lon name" a line for every waypoint or placemark (KML gives longitude first).
constexpr char kReadBack[] = R"(import sys, xml.etree.ElementTree as E
g, k = '{http://www.topografix.com/GPX/1/1}', '{http://www.opengis.net/kml/2.2}'
r = E.parse(sys.argv[1])
for w in r.iter(g + 'wpt'): print(w.get('lat'), w.get('lon'), w.findtext(g + 'name'))
for p in r.iter(k + 'Placemark'):
    print(*p.findtext(f'{k}Point/{k}coordinates').split(',')[::-1], p.findtext(k + 'name')))";

std::string ReadBack(const std::string& document) {
    testing::TempFolder folder;
    const std::string out = folder.File("out"), script = folder.Write("r.py", kReadBack);
    const std::string command = "PYTHONIOENCODING=utf-8 python3 " + script + " " +
                                folder.Write("d.xml", document) + " >" + out + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << testing::ReadBytes(out);
    return testing::ReadBytes(out);
}

// The WGS 84 points are those of cs2cs -f %.9f EPSG:4301 EPSG:4326 (PROJ 9.1.1, EPSG:15484; the
// program agrees with it to 13 decimals here): nine decimals are a tenth of a millimetre, so a
// point read back lands on the millisecond of arc that the settings file keeps.
TEST(FavoriteExport, GpxAndKmlReadBackToTheNamesAndPoints) {
    FavoriteList list;
    for (const FavoriteRecord& f : {
             FavoriteRecord{{35, 39, 29, 123}, {139, 45, 5, 7}, u"A&B <C> \"D\" 'E' ]]>"},
             // What XML cannot carry at all becomes U+FFFD; the rest of the name stays.
             FavoriteRecord{{43, 3, 34, 838}, {141, 21, 29, 312}, u" 札幌\t🍜\r\x01\xFFFE "},
             FavoriteRecord{{95, 0, 0, 0}, {139, 0, 0, 0}, u"beyond the pole"},
         }) {
        ASSERT_EQ(AddFavorite(list, f), 0);
    }
    for (FavoriteFormat format : {FavoriteFormat::kGpx, FavoriteFormat::kKml}) {
        const FavoriteExport out = ExportFavorites(list, format);
        EXPECT_EQ(out.leftOut, std::vector<int>{2});
        EXPECT_EQ(ReadBack(out.document),
                  "35.661330781 139.748159125 A&B <C> \"D\" 'E' ]]>\n"
                  "43.062099870 141.354400070  札幌\t🍜\r\uFFFD\uFFFD \n");
    }
}

}  // namespace
}  // namespace zentorak
