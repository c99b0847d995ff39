#include "core/text/exchange_log.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

TEST(ExchangeLog, StartsWithStartAppendsCrLfLinesAndTellsTheListener) {
    ExchangeLog log;
    EXPECT_EQ(log.Text(), u"START\r\n");
    std::u16string seen;
    log.SetListener([&](const std::u16string& text) { seen = text; });
    log.AppendLine(u"AT@LBC");
    EXPECT_EQ(seen, u"START\r\nAT@LBC\r\n");
    log.Clear();
    EXPECT_EQ(seen, u"");
    log.AppendLine(u"--------");
    EXPECT_EQ(seen, u"--------\r\n");
    log.Reset();
    EXPECT_EQ(seen, u"START\r\n");
}

TEST(ExchangeLog, OverflowDropsTheOldestWholeLinesAndFillsTheWholeBuffer) {
    ExchangeLog log;
    log.Clear();
    const std::u16string line(98, u'x');  // 100 units with CR LF
    for (int i = 0; i < 160; ++i) {
        log.AppendLine(line);
    }
    EXPECT_EQ(log.Text().size(), ExchangeLog::kCapacity);  // exactly full: nothing dropped yet
    const std::u16string last = u"last" + std::u16string(94, u'y');
    log.AppendLine(last);
    EXPECT_EQ(log.Text().size(), ExchangeLog::kCapacity);  // one old line made room
    EXPECT_TRUE(log.Text().starts_with(line + u"\r\n"));
    EXPECT_TRUE(log.Text().ends_with(last + u"\r\n"));
}

TEST(ExchangeLog, ManyLinesKeepALineStartAndTheNewestLine) {
    ExchangeLog log;
    std::u16string line(98, u'x');
    for (int i = 0; i < 200; ++i) {
        line[0] = static_cast<char16_t>(u'A' + i % 26);
        log.AppendLine(line);
        ASSERT_LE(log.Text().size(), ExchangeLog::kCapacity);
    }
    EXPECT_EQ(log.Text().size() % 100, 0u);
    EXPECT_EQ(log.Text().substr(log.Text().size() - 100, 1), std::u16string(1, line[0]));
    EXPECT_EQ(log.Text().find(u"START"), std::u16string::npos);
}

TEST(ExchangeLog, OverlongLineKeepsItsTail) {
    ExchangeLog log;
    log.AppendLine(std::u16string(20000, u'a') + u"END");
    EXPECT_EQ(log.Text().size(), ExchangeLog::kCapacity);
    EXPECT_TRUE(log.Text().ends_with(u"END\r\n"));
}

TEST(ExchangeLog, ReplaceTakesTheTextAsItIsAndTrimsLikeAppend) {
    ExchangeLog log;
    log.Replace(u"AT@LBC\r\nOK\r\n");
    EXPECT_EQ(log.Text(), u"AT@LBC\r\nOK\r\n");
    std::u16string many;
    for (int i = 0; i < 2000; ++i) {
        many += u"line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"\r\n";
    }
    log.Replace(many);  // 18,000 units
    EXPECT_LE(log.Text().size(), ExchangeLog::kCapacity);
    EXPECT_EQ(log.Text().substr(0, 5), u"line ");
    EXPECT_EQ(log.Text().substr(log.Text().size() - 3), u"9\r\n");
}

}  // namespace
}  // namespace zentorak
