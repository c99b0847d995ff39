#include "core/locinfo/file_columns.h"

#include <gtest/gtest.h>

#include "core/app/load_report.h"

namespace zentorak {
namespace {

using Captions = std::vector<std::u16string>;

// Each row loads its files' item captions in order into one column map: the slots of the last
// file's items, and the captions of slots 2 to 9 afterwards ("-" for a slot not in use).
TEST(CaptionMerge, EveryItemUnderItsOwnCaption) {
    const Captions demo = {u"店名",   u"郵便番号", u"住所",     u"TEL",
                           u"最寄駅", u"営業時間", u"サービス", u"備考"};
    struct Row {
        const char* what;
        std::vector<Captions> files;
        std::vector<int> lastSlots;
        Captions captions;
        Captions unplaced;
    } rows[] = {
        {"one file: its own places",
         {{u"a", u"", u"c"}},
         {2, -1, 4},
         {u"a", u"-", u"c", u"-", u"-", u"-", u"-", u"-"},
         {}},
        {"the same header twice", {demo, demo}, {2, 3, 4, 5, 6, 7, 8, 9}, demo, {}},
        {"the demo, then fewer columns", {demo, {u"店名", u"住所", u" TEL "}}, {2, 4, 5}, demo, {}},
        {"fewer columns, then the demo",
         {{u"店名", u"住所", u"TEL"}, demo},
         {2, 5, 3, 4, 6, 7, 8, 9},
         {u"店名", u"住所", u"TEL", u"郵便番号", u"最寄駅", u"営業時間", u"サービス", u"備考"},
         {}},
        {"no slot left",
         {demo, {u"店名", u"URL", u"備考", u"x"}},
         {2, -1, 9, -1},
         demo,
         {u"URL", u"x"}},
        {"a caption twice in a file",
         {{u"a", u"a"}, {u"a", u"a", u"a"}},
         {2, 3, 4},
         {u"a", u"a", u"a", u"-", u"-", u"-", u"-", u"-"},
         {}},
        {"past the eighth item only by name",
         {{u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"", u"9", u"1"}},
         {2, 3, 4, 5, 6, 7, 8, -1, -1, -1},
         {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"-"},
         {}},
    };
    for (const Row& row : rows) {
        ColumnMap columns;
        CaptionMerge merge(columns);
        std::vector<int> slots;
        Captions unplaced;
        for (const Captions& file : row.files) {
            slots = merge.PlaceItems(file, &unplaced);
        }
        EXPECT_EQ(slots, row.lastSlots) << row.what;
        Captions captions;
        for (int s = 2; s < kColumnSlots; ++s) {
            captions.push_back(columns.Present(s) ? columns.columnCaption[s] : u"-");
        }
        EXPECT_EQ(captions, row.captions) << row.what;
        EXPECT_EQ(unplaced, row.unplaced) << row.what;
    }
}

TEST(LoadCheckNotice, NamesEachFileWithWhatIsWrong) {
    LocationInfoFileList files;
    std::vector<LocationInfoFileReport> reports;
    for (int i = 0; i < 9; ++i) {
        files[static_cast<size_t>(i)] = u"/d/f" + std::u16string(1, u'0' + i) + u".csv";
        reports.emplace_back();
        reports.back().headerRead = i > 0;
        reports.back().targets = i > 1 ? 5 : 0;
        reports.back().skippedLines = i > 1 ? static_cast<size_t>(i) : 0;
    }
    reports[2].skippedLines = 0;  // nothing wrong
    reports[3].result = kLoadNoMemory;
    std::optional<Notice> notice = LoadCheckNotice(files, reports, u"読込みエラー");
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->title, u"位置情報ファイルの確認");
    EXPECT_EQ(
        notice->text,
        u"次の位置情報ファイルを確認してください。\nf0.csv：開けません\nf1.csv：位置情報があり"
        u"ません\nf3.csv：メモリが足りず途中までしか読めませんでした、3行を読み飛ばしました\nf4."
        u"csv：4行を読み飛ばしました\nf5.csv：5行を読"
        u"み飛ばしました\nf6.csv：6行を読み飛ばしました\nほか 2件");
    reports.resize(2);
    EXPECT_EQ(LoadCheckNotice(files, reports, u"読込みエラー"),
              (Notice{u"位置情報の読込みに失敗しました。", u"読込みエラー", NoticeIcon::kError}));
    reports.clear();
    EXPECT_EQ(LoadCheckNotice(files, reports, u"読込みエラー"), std::nullopt);
}

}  // namespace
}  // namespace zentorak
