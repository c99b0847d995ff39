#include "core/files/file_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/code_page.h"

namespace zentorak {
namespace {

using Texts = std::vector<std::u16string>;

TEST(FileFilter, PairsAndFaults) {
    struct Row {
        std::u16string_view filter;
        int result;
        Texts descriptions;
        Texts patterns;
    } rows[] = {
        // The filter the location-info page passes.
        {u"CSVファイル (*.csv)|*.csv|テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*",
         0,
         {u"CSVファイル (*.csv)", u"テキストファイル (*.txt)", u"すべてのファイル (*.*)"},
         {u"*.csv", u"*.txt", u"*.*"}},
        // A description without its "|": the pair before it stays.
        {u"A|*.a|B", -1, {u"A"}, {u"*.a"}},
        // A "|" at the very end leaves a description without a pattern.
        {u"A|", -1, {u"A"}, {}},
        {u"A|*.a|", 0, {u"A"}, {u"*.a"}},
        {u"", -1, {}, {}},
        // Taken as written: no trimming, empty fields allowed.
        {u" A | *.a", 0, {u" A "}, {u" *.a"}},
        {u"|*.x", 0, {u""}, {u"*.x"}},
    };
    for (const Row& row : rows) {
        FileFilter filter;
        EXPECT_EQ(ParseFileFilter(row.filter, filter), row.result);
        EXPECT_EQ(filter.descriptions, row.descriptions);
        EXPECT_EQ(filter.patterns, row.patterns);
    }
}

TEST(FileFilter, MoreThanTenPairsKeepsTheFirstTenAndFails) {
    std::u16string text;
    for (int i = 0; i < 11; ++i) {
        text += u"d|*." + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u"|";
    }
    FileFilter filter;
    EXPECT_EQ(ParseFileFilter(text, filter), -1);
    EXPECT_EQ(filter.patterns.size(), kMaxFilterPatterns);
    EXPECT_EQ(filter.patterns.back(), u"*.j");
}

TEST(FileFilter, Wildcards) {
    struct Row {
        std::u16string_view name;
        std::u16string_view pattern;
        bool matches;
    } rows[] = {
        {u"shops.csv", u"*.csv", true},      {u"SHOPS.CSV", u"*.csv", true},
        {u"shops.csvx", u"*.csv", false},    {u"shops.txt", u"*.csv", false},
        {u"csv", u"*.csv", false},           {u"a.b.csv", u"*.csv", true},
        {u"README", u"*.*", true},           {u".profile", u"*.*", true},
        {u"x.txt", u"?.txt", true},          {u"xy.txt", u"?.txt", false},
        {u"data01.csv", u"data*.csv", true}, {u"店舗.csv", u"*.CSV", true},
        {u"name", u"name.*", true},          {u"name.x", u"name.*", true},
        {u"named", u"name.*", false},        {u"a.KML", u"*.gpx;*.kml", true},
        {u"a.kmz", u"*.gpx;*.kml", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MatchesPattern(row.name, row.pattern), row.matches) << ToUtf8(row.name);
    }
}

}  // namespace
}  // namespace zentorak
