// How a line's two coordinate cells are read: the form each pair is in, and what a whole
// number of degrees, blanks and odd spellings do.
#include "core/locinfo/coordinate_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace zentorak {
namespace {

TEST(ReadPoint, FormOfEachPairOfCells) {
    struct Row {
        const char* lat;
        const char* lon;
        PointForm form;
    } rows[] = {
        {"35/39/29.123", "139/45/05.007", PointForm::kDms},
        {"35/39", "139", PointForm::kDms},
        {"35", "139", PointForm::kDms},  // whole numbers read as they always did
        {"35.6", "139.7", PointForm::kDecimal},
        {"35", "139.7", PointForm::kDecimal},  // a whole number goes with the other cell
        {"35.6", "139", PointForm::kDecimal},
        {" 35.6", "139.7\t", PointForm::kDecimal},
        {" 35", "139/00", PointForm::kMixed},  // a blank makes it decimal only
        {"35/39/29.123", "139.7", PointForm::kMixed},
        {"35.6", "139/45", PointForm::kMixed},
        {"35.6", "", PointForm::kUnreadable},
        {"35.6", "-139.7", PointForm::kUnreadable},
        {"35.6", "139,7", PointForm::kUnreadable},
        {"35.6", "1.397e2", PointForm::kUnreadable},
        {"35.6", "\xEF\xBC\x91\x33\x39", PointForm::kUnreadable},  // full-width 1, then 39
        {"19.999", "139.7", PointForm::kDecimalOutsideArea},
        {"35.6", "148.0001", PointForm::kDecimalOutsideArea},
        {"35.6", "99999999999999999999999999999999999", PointForm::kDecimalOutsideArea},
        {"18/00/00.000", "139/00/00.000", PointForm::kDms},  // the area is the grid's to test
    };
    for (const Row& row : rows) {
        DmsAngle lat, lon;
        EXPECT_EQ(ReadPoint(row.lat, row.lon, lat, lon), row.form) << row.lat << " " << row.lon;
    }
}

TEST(ReadPoint, ValuesOfEachForm) {
    DmsAngle lat, lon;
    ASSERT_EQ(ReadPoint("35", "139/45/5.7", lat, lon), PointForm::kDms);
    EXPECT_EQ(lat, (DmsAngle{35, 0, 0, 0}));
    EXPECT_EQ(lon, (DmsAngle{139, 45, 5, 7}));
    // WGS 84 35.0 N 139.0 E is 34/59/48.1 N 139/00/11.3 E on the Tokyo datum (cs2cs, see the
    // file-level tests for the exact values).
    ASSERT_EQ(ReadPoint("35.", "139", lat, lon), PointForm::kDecimal);
    EXPECT_EQ(lat.deg * 60 + lat.min, 34 * 60 + 59);
    EXPECT_EQ(lon.deg * 60 + lon.min, 139 * 60);
    EXPECT_GT(lon.sec, 5);
}

// The loader's shortcut for the usual form gives what ReadPoint gives, carried, or leaves the
// line to ReadPoint.
TEST(ReadPoint, UsualFormShortcutAgrees) {
    const struct {
        const char* text;
        bool usual;
    } cells[] = {
        {"35/39/29.123", true},
        {"139/45/05.007", true},
        {"5/39/29.123", true},
        {"35/75/61.999", true},
        {"999/99/99.999", true},
        {"00/00/00.000", true},
        {"139/45/05.00", false},
        {"1139/45/05.007", false},
        {"35/39/29,123", false},
        {"35.39/29.123", false},
        {"35/39/2x.123", false},
        {"3a/39/29.123", false},
        {"35/39/29.12:", false},
        {"/39/29.123", false},
        {"35/39/29.123 ", false},
        {"35/3/29.1234", false},
        {"35", false},
        {"35.6", false},
        {"", false},
        {"35/39/29.", false},
    };
    for (const auto& latCell : cells) {
        for (const auto& lonCell : cells) {
            DmsAngle lat, lon;
            ArcAngle usualLat, usualLon;
            const bool usual = ReadUsualPoint(latCell.text, lonCell.text, usualLat, usualLon);
            EXPECT_EQ(usual, latCell.usual && lonCell.usual) << latCell.text << " " << lonCell.text;
            if (usual) {
                EXPECT_EQ(ReadPoint(latCell.text, lonCell.text, lat, lon), PointForm::kDms);
                EXPECT_EQ(usualLat, ArcAngle(lat)) << latCell.text;
                EXPECT_EQ(usualLon, ArcAngle(lon)) << lonCell.text;
            }
        }
    }
    // Every byte in every place of a three-digit cell: taken only where it keeps the form.
    const std::string usual = "135/49/27.368";
    for (size_t i = 0; i < usual.size(); ++i) {
        for (int c = 0; c < 256; ++c) {
            std::string cell = usual;
            cell[i] = static_cast<char>(c);
            const bool digit = c >= '0' && c <= '9';
            const bool keeps = i == 3 || i == 6 ? c == '/' : i == 9 ? c == '.' : digit;
            DmsAngle lat, lon;
            ArcAngle usualLat, usualLon;
            ASSERT_EQ(ReadUsualPoint("35/39/29.123", cell, usualLat, usualLon), keeps) << i << c;
            if (keeps) {
                ASSERT_EQ(ReadPoint("35/39/29.123", cell, lat, lon), PointForm::kDms);
                ASSERT_EQ(usualLon, ArcAngle(lon)) << cell;
            }
        }
    }
    ArcAngle lat, lon;
    ASSERT_TRUE(ReadUsualPoint("35/75/61.999", "999/99/99.999", lat, lon));
    EXPECT_EQ(static_cast<DmsAngle>(lat), (DmsAngle{36, 16, 1, 999}));
    EXPECT_EQ(lon.Milliseconds(), INT32_MAX);  // saturated, as ArcAngle saturates
}

TEST(ParseDecimalDegrees, PlainNumbersOnly) {
    double degrees = 0;
    EXPECT_TRUE(ParseDecimalDegrees("35.6812345", degrees));
    EXPECT_DOUBLE_EQ(degrees, 35.6812345);
    EXPECT_TRUE(ParseDecimalDegrees("\t 139 ", degrees));
    EXPECT_DOUBLE_EQ(degrees, 139);
    for (const char* bad : {"", " ", ".", ".5", "3 5", "35..", "35.6.", "0x23", "inf", "35,6"}) {
        EXPECT_FALSE(ParseDecimalDegrees(bad, degrees)) << bad;
    }
}

}  // namespace
}  // namespace zentorak
