#include "core/app/log_text.h"

#include <gtest/gtest.h>

#include "core/app/app_state.h"

namespace zentorak {
namespace {

TEST(LogText, StartsWithStartAndAppendsCrLfLines) {
    LogText log;
    log.Append(u"AT@LBC");
    EXPECT_EQ(log.text(), u"START\r\nAT@LBC\r\n");
}

TEST(LogText, OverflowDropsOldestWholeLines) {
    LogText log;
    std::u16string line(98, u'x');  // 100 units with CR LF
    for (int i = 0; i < 200; ++i) {
        line[0] = static_cast<char16_t>(u'A' + i % 26);
        log.Append(line);
        ASSERT_LE(log.text().size(), LogText::kCapacity);
    }
    // The text still starts at a line start and ends with the newest line.
    EXPECT_EQ(log.text().size() % 100, 0u);
    EXPECT_EQ(log.text().substr(log.text().size() - 100, 1), std::u16string(1, line[0]));
    EXPECT_EQ(log.text().find(u"START"), std::u16string::npos);
}

TEST(LogText, OverlongLineKeepsItsTail) {
    LogText log;
    std::u16string line(20000, u'y');
    line.back() = u'z';
    log.Append(line);
    EXPECT_EQ(log.text().size(), LogText::kCapacity);
    EXPECT_EQ(log.text().substr(LogText::kCapacity - 3), u"z\r\n");
}

struct SoftKeyRow {
    int info;
    int autoMode;
    const char16_t* text;
    int autoAfter;
    bool timer;
};

TEST(StartupSoftKey, TextsAndRunStates) {
    const SoftKeyRow rows[] = {
        {1, 1, u"更新停止", 1, true}, {1, 0, u"更新再開", 2, false}, {1, 2, u"更新再開", 2, false},
        {2, 1, u"更新", 0, false},    {2, 2, u"更新", 0, false},     {3, 1, u"更新", 0, false},
    };
    for (const SoftKeyRow& row : rows) {
        Settings s;
        s.InfoUpdateMode = row.info;
        s.AutoUpdateMode = row.autoMode;
        EXPECT_EQ(StartupSoftKeyText(s), row.text) << row.info << "/" << row.autoMode;
        EXPECT_EQ(s.AutoUpdateMode, row.autoAfter);
        EXPECT_EQ(PeriodicTimerWanted(s), row.timer);
    }
}

}  // namespace
}  // namespace zentorak

namespace zentorak {
namespace {

TEST(LogText, ReplaceTakesTheTextAsItIsAndTrimsLikeAppend) {
    LogText log;
    log.Replace(u"AT@LBC\r\nOK\r\n");
    EXPECT_EQ(log.text(), u"AT@LBC\r\nOK\r\n");
    std::u16string many;
    for (int i = 0; i < 2000; ++i) {
        many += u"line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"\r\n";
    }
    log.Replace(many);  // 18,000 units
    EXPECT_LE(log.text().size(), LogText::kCapacity);
    EXPECT_EQ(log.text().substr(0, 5), u"line ");
    EXPECT_EQ(log.text().substr(log.text().size() - 3), u"9\r\n");
}

}  // namespace
}  // namespace zentorak
