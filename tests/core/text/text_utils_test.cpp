#include "core/text/text_utils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace zentorak {
namespace {

std::u16string Units(size_t n, char16_t c = u'x') {
    return std::u16string(n, c);
}

TEST(WideStringBuilder, InitGivesAnEmptyTextOfCapacityHundred) {
    WideStringBuilder b;
    ASSERT_EQ(b.init(), 0);
    EXPECT_EQ(b.capacity, 100u);
    EXPECT_EQ(b.length, 0u);
    EXPECT_EQ(b.text[0], 0);
    EXPECT_EQ(b.release(), 0);
    EXPECT_EQ(b.text, nullptr);
    EXPECT_EQ(b.capacity, 0u);
    EXPECT_EQ(b.release(), 0);  // nothing left to free
}

TEST(WideStringBuilder, GrowthRule) {
    struct Row {
        size_t first;
        size_t second;
        uint32_t capacity;  // from the rule: grow by the smallest multiple of the capacity
    } rows[] = {
        {98, 0, 100},     // 98 < 99 = capacity - 1
        {99, 0, 200},     // 99 reaches capacity - 1
        {450, 0, 600},    // increment 100 * ((450 - 1) / 100 + 1) = 500
        {100, 0, 200},    // n == capacity: the increment is the capacity
        {101, 0, 300},    // 100 * ((101 - 1) / 100 + 1) = 200
        {150, 148, 300},  // 300 after the first; 298 stays below 299
        {150, 149, 600},  // 299 reaches capacity - 1: grows by the capacity
    };
    for (const Row& row : rows) {
        WideStringBuilder b;
        ASSERT_EQ(b.init(), 0);
        std::u16string first = Units(row.first, u'a'), second = Units(row.second, u'b');
        ASSERT_EQ(b.append(first.c_str()), 0);
        ASSERT_EQ(b.append(second.c_str()), 0);
        EXPECT_EQ(b.capacity, row.capacity) << row.first << "+" << row.second;
        EXPECT_EQ(std::u16string(b.text), first + second);
        EXPECT_EQ(b.length, row.first + row.second);
        b.release();
    }
}

TEST(WideStringBuilder, ShortAppendsDoubleTheBlock) {
    WideStringBuilder b;
    ASSERT_EQ(b.init(), 0);
    std::u16string expected;
    std::vector<uint32_t> capacities;
    for (int i = 0; i < 70; ++i) {
        ASSERT_EQ(b.append(u"東京駅/①㈱"), 0);
        expected += u"東京駅/①㈱";
        if (capacities.empty() || capacities.back() != b.capacity) {
            capacities.push_back(b.capacity);
        }
        ASSERT_LT(b.length, b.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{100, 200, 400, 800}));
    EXPECT_EQ(std::u16string(b.text), expected);
    b.release();
}

void* FailingAllocate(size_t) {
    return nullptr;
}

TEST(WideStringBuilder, FailedGrowthLeavesTheBuilderAsItWas) {
    WideStringBuilder b;
    ASSERT_EQ(b.init(), 0);
    ASSERT_EQ(b.append(u"keep"), 0);
    char16_t* before = b.text;
    WideStringBuilder::SetAllocatorForTesting(FailingAllocate);
    std::u16string big = Units(200);
    EXPECT_EQ(b.append(big.c_str()), -101);
    EXPECT_EQ(b.append(u"short"), 0);  // still fits, no block needed
    WideStringBuilder fresh;
    EXPECT_EQ(fresh.init(), -101);
    EXPECT_EQ(fresh.text, nullptr);
    WideStringBuilder::SetAllocatorForTesting(nullptr);
    EXPECT_EQ(b.text, before);
    EXPECT_EQ(b.capacity, 100u);
    EXPECT_EQ(std::u16string(b.text), u"keepshort");
    b.release();
    EXPECT_EQ(b.append(u"x"), -101);  // released: init again first
}

TEST(CheckDigits, Cases) {
    EXPECT_EQ(CheckDigits(u""), -101);
    EXPECT_EQ(CheckDigits(u"0123"), 0);
    EXPECT_EQ(CheckDigits(u"12a"), -102);
    EXPECT_EQ(CheckDigits(u"-1"), -102);
    EXPECT_EQ(CheckDigits(u"+1"), -102);
    EXPECT_EQ(CheckDigits(u" 1"), -102);
    EXPECT_EQ(CheckDigits(u"１２"), -102);                   // full-width digits are not digits
    EXPECT_EQ(CheckDigits(u"/"), -102);                      // '0' - 1
    EXPECT_EQ(CheckDigits(u":"), -102);                      // '9' + 1
    EXPECT_EQ(CheckDigits(std::u16string(u"12\0x", 4)), 0);  // the text ends at its terminator
}

TEST(MakeModulePath, NameBesideTheExecutable) {
    EXPECT_EQ(MakeModulePath(u"/Program Files/App/app.exe", u"zentorak.ini"),
              u"/Program Files/App/zentorak.ini");
    EXPECT_EQ(MakeModulePath(u"/app", u"zentorak.ini"), u"/zentorak.ini");
    EXPECT_EQ(MakeModulePath(u"", u"zentorak.ini"), u"/zentorak.ini");
    EXPECT_EQ(MakeModulePath(u"app", u"zentorak.ini"), u"/app/zentorak.ini");
}

TEST(MakeModulePath, ResultLongerThan259UnitsIsRefused) {
    std::u16string folder = u"/" + Units(245) + u"/";  // 247 units
    EXPECT_EQ(MakeModulePath(folder + u"app", u"twelve.units").size(), 259u);
    EXPECT_EQ(MakeModulePath(folder + u"app", u"thirteen.unit"), u"");
}

TEST(MakeModulePath, RunningExecutable) {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    std::string exe(buffer, static_cast<size_t>(n));
    std::string expected = exe.substr(0, exe.rfind('/') + 1) + "zentorak.ini";
    std::u16string got = MakeModulePath(u"zentorak.ini");
    EXPECT_EQ(std::string(got.begin(), got.end()), expected);  // the build path is ASCII
}

TEST(GetFileExtension, LastDotAnywhere) {
    struct Row {
        std::u16string_view name;
        std::u16string_view extension;
    } rows[] = {
        {u"data.CSV", u"CSV"},          {u"archive.tar.gz", u"gz"}, {u"name.", u""}, {u"name", u""},
        {u"dir.old/file", u"old/file"}, {u".hidden", u"hidden"},    {u"", u""},
    };
    for (const Row& row : rows) {
        std::u16string extension = u"unset";
        ASSERT_EQ(GetFileExtension(row.name, extension), 0);
        EXPECT_EQ(extension, row.extension);
    }
}

TEST(Scale, RoundsHalvesUpAtEveryDpi) {
    EXPECT_EQ(ScaleX(25, 96), 25);
    EXPECT_EQ(ScaleX(25, 192), 50);
    EXPECT_EQ(ScaleX(1, 131), 1);      // (131 + 48) / 96
    EXPECT_EQ(ScaleY(186, 131), 254);  // (24366 + 48) / 96 = 254.3
    EXPECT_EQ(ScaleY(240, 192), 480);
    EXPECT_EQ(ScaleX(1, 144), 2);   // 1.5 rounds up
    EXPECT_EQ(ScaleX(-9, 96), -8);  // (-864 + 48) / 96 truncates toward zero
    EXPECT_EQ(ScaleX(0, 131), 0);
}

TEST(GetScreenOrientation, PortraitLandscapeSquare) {
    EXPECT_EQ(GetScreenOrientation(240, 320), 1);
    EXPECT_EQ(GetScreenOrientation(320, 240), -1);
    EXPECT_EQ(GetScreenOrientation(480, 480), 0);
}

}  // namespace
}  // namespace zentorak
