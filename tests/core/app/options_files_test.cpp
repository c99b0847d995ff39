// The options sheet's files and special-items pages: at most ten files, duplicates refused, the
// delete question, and the captions the special items are chosen from.
#include "core/app/options_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/text/code_page.h"
#include "core/text/file_names.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::TempFolder;

LocationInfoFileList TenFiles() {
    LocationInfoFileList files;
    for (size_t i = 0; i < files.size(); ++i) {
        files[i] = u"/data/f" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".csv";
    }
    return files;
}

TEST(OptionsFilesPage, TenFilesDisableAddingUntilOneIsRemoved) {
    FileListPage page(TenFiles());
    EXPECT_EQ(page.Entries().size(), 10u);
    EXPECT_FALSE(page.CanAdd());
    EXPECT_EQ(page.Add(u"/data/eleven.csv"), FileListPage::AddResult::kFull);
    EXPECT_FALSE(page.Remove(10));
    EXPECT_FALSE(page.Remove(-1));
    EXPECT_TRUE(page.Remove(3));
    EXPECT_TRUE(page.CanAdd());
    EXPECT_EQ(page.Entries()[3], u"/data/f4.csv");
    EXPECT_EQ(page.Add(u"/data/eleven.csv"), FileListPage::AddResult::kAdded);
    EXPECT_EQ(page.Entries().back(), u"/data/eleven.csv");
    EXPECT_FALSE(page.CanAdd());
}

TEST(OptionsFilesPage, ListEndsAtTheFirstEmptyEntry) {
    LocationInfoFileList files{u"/a.csv", u"", u"/c.csv"};
    FileListPage page(files);
    EXPECT_EQ(page.Entries(), std::vector<std::u16string>{u"/a.csv"});
}

TEST(OptionsFilesPage, DuplicatesAreRefusedByExactComparison) {
    FileListPage page(LocationInfoFileList{u"/data/Shops.csv"});
    EXPECT_EQ(page.Add(u"/data/Shops.csv"), FileListPage::AddResult::kDuplicate);
    EXPECT_EQ(page.Add(u"/data/shops.csv"), FileListPage::AddResult::kAdded);
    EXPECT_EQ(page.Add(u"/data/Shops.csv "), FileListPage::AddResult::kAdded);
    EXPECT_EQ(page.Entries().size(), 3u);
    const Notice notice = DuplicateFileNotice();
    EXPECT_EQ(notice.text, u"すでに同名のファイルが登録されています");
    EXPECT_EQ(notice.title, u"ファイル名不正");
    EXPECT_EQ(notice.icon, NoticeIcon::kError);
}

// Files from outside take the page's rules: line breaks, duplicates and the eleventh refused.
TEST(OptionsFilesPage, FilesFromOutsideFollowThePagesRules) {
    LocationInfoFileList files = TenFiles();
    files[9].clear();
    bool added = false;
    std::vector<std::u16string> texts;
    for (const Notice& n : AddFilesFromOutside(
             {u"/d/a\n[System]", u"/data/f0.csv", u"/d/new.csv", u"/d/eleven.csv"}, files, added)) {
        texts.push_back(n.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::u16string>{u"改行を含む名前のファイルは使用できません。",
                                           u"すでに同名のファイルが登録されています",
                                           u"入力元ファイルは10個までしか登録できません。"}));
    EXPECT_TRUE(added);
    EXPECT_EQ(files[9], u"/d/new.csv");
}

// The file chosen last, else the list's last file, else home: the first that is a folder now.
TEST(OptionsFilesPage, FileDialogOpensWhereTheLastFileWas) {
    TempFolder temp;
    const std::u16string a = FileNameToUtf16(temp.path() + "/a"),
                         home = FileNameToUtf16(temp.path());
    std::filesystem::create_directories(temp.path() + "/a/b");
    const std::vector<std::u16string> listed{u"/gone/x.csv", a + u"/y.csv"};
    EXPECT_EQ(AddFileStartFolder(a + u"/b/z.csv", listed, home), a + u"/b");
    EXPECT_EQ(AddFileStartFolder(u"", listed, home), a);
    EXPECT_EQ(AddFileStartFolder(u"/gone/z.csv", {}, home), home);
}

TEST(OptionsFilesPage, DeleteQuestionShowsAtMostFortyCharacters) {
    const std::u16string forty = u"/data/" + std::u16string(30, u'x') + u".csv";
    ASSERT_EQ(forty.size(), 40u);
    Notice question = DeleteFileQuestion(forty);
    EXPECT_EQ(question.text, u"'" + forty + u"'を一覧から削除してもよろしいですか？");
    EXPECT_EQ(question.title, u"位置情報ファイルの削除の確認");
    EXPECT_EQ(question.icon, NoticeIcon::kQuestion);
    EXPECT_TRUE(question.noIsDefault);

    const std::u16string fortyOne = forty + u"v";
    EXPECT_EQ(DeleteFileQuestion(fortyOne).text,
              u"'" + forty + u"...'を一覧から削除してもよろしいですか？");
    // Japanese names count one unit per character, as the handset counts them.
    const std::u16string japanese(45, u'店');
    EXPECT_EQ(DeleteFileQuestion(japanese).text,
              u"'" + std::u16string(40, u'店') + u"...'を一覧から削除してもよろしいですか？");
    // A character outside the basic plane is not cut in half at the 40th unit.
    const std::u16string wide = std::u16string(39, u'a') + u"\U00020B9F" + u"b";
    EXPECT_EQ(DeleteFileQuestion(wide).text,
              u"'" + std::u16string(39, u'a') + u"...'を一覧から削除してもよろしいですか？");
}

TEST(OptionsFilesPage, TakingOverAnEmptiedListEmptiesTheStoredOne) {
    LocationInfoFileList files = TenFiles();
    TakeOverFileList({}, files);
    for (const std::u16string& f : files) {
        EXPECT_TRUE(f.empty());
    }
    files = TenFiles();
    TakeOverFileList({u"/x.csv", u"/y.csv"}, files);
    EXPECT_EQ(files[0], u"/x.csv");
    EXPECT_EQ(files[1], u"/y.csv");
    EXPECT_TRUE(files[2].empty());
    EXPECT_TRUE(files[9].empty());
}

ColumnMap ShopColumns() {
    ColumnMap columns;
    // 緯度, 経度, 店名, 住所 and TEL in slots 0..4; the other slots absent.
    const char16_t* captions[] = {u"緯度", u"経度", u"店名", u"住所", u"TEL"};
    for (int slot = 0; slot < kColumnSlots; ++slot) {
        columns.slot[static_cast<size_t>(slot)] = slot < 5 ? slot : -1;
        columns.columnCaption[static_cast<size_t>(slot)] = slot < 5 ? captions[slot] : u"";
    }
    return columns;
}

TEST(OptionsSpecialItems, ListsOfferTheLoadedCaptionsWithTheKeywordsSelected) {
    Settings settings;
    settings.KwdFavName = u"住所";
    SpecialItemsView view = SpecialItemsFromColumns(ShopColumns(), settings);
    EXPECT_EQ(view.latCaption, std::optional<std::u16string>(u"緯度"));
    EXPECT_EQ(view.lonCaption, std::optional<std::u16string>(u"経度"));
    EXPECT_EQ(view.captions, (std::vector<std::u16string>{u"（なし）", u"店名", u"住所", u"TEL"}));
    EXPECT_EQ(view.favNameEntry, 2);
    EXPECT_EQ(view.telEntry, 3);

    ColumnMap noLatitude = ShopColumns();
    noLatitude.slot[0] = -1;
    view = SpecialItemsFromColumns(noLatitude, settings);
    EXPECT_EQ(view.latCaption, std::optional<std::u16string>(u""));
    EXPECT_EQ(view.captions.size(), 4u);
}

TEST(OptionsSpecialItems, KeywordNotAmongTheCaptionsIsKeptUntilAnotherEntryIsChosen) {
    Settings settings;
    settings.KwdTelNo = u"電話";
    SpecialItemsView view = SpecialItemsFromColumns(ShopColumns(), settings);
    EXPECT_EQ(view.telEntry, 0);
    // The first entry stands for no column, whatever its text; a list left on the entry shown
    // keeps its keyword.
    TakeOverSpecialItems(
        {0, u"（なし）", view.telEntry, view.captions[0], view.favNameEntry, view.telEntry},
        settings);
    EXPECT_EQ(settings.KwdFavName, u"");
    EXPECT_EQ(settings.KwdTelNo, u"電話");
    TakeOverSpecialItems({2, u"店名", 0, u"", true, true}, settings);  // the first entry picked
    EXPECT_EQ(settings.KwdFavName, u"店名");
    EXPECT_EQ(settings.KwdTelNo, u"");
    // A caption longer than a keyword holds is cut to 99 characters.
    TakeOverSpecialItems({1, std::u16string(120, u'名'), 0, u""}, settings);
    EXPECT_EQ(settings.KwdFavName, std::u16string(99, u'名'));
}

class FirstFileCaptions : public ::testing::Test {
protected:
    std::u16string Write(const std::string& name, const std::string& utf8Header) {
        return FromUtf8(folder.Write(name, EncodeCp932(FromUtf8(utf8Header)) + "\r\n"));
    }
    TempFolder folder;
    Settings settings;
};

TEST_F(FirstFileCaptions, EmptyCellsAreLeftOutAndKeywordsStillSelected) {
    LocationInfoFileList stored{Write("a.csv", "緯度,経度,,TEL,店名")};
    std::optional<SpecialItemsView> view = SpecialItemsFromFirstFile(nullptr, stored, settings);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->latCaption, std::optional<std::u16string>(u"緯度"));
    EXPECT_EQ(view->captions, (std::vector<std::u16string>{u"（なし）", u"TEL", u"店名"}));
    EXPECT_EQ(view->favNameEntry, 2);
    EXPECT_EQ(view->telEntry, 1);

    // The coordinates where the lines have them, and only the other columns offered.
    stored[0] = FromUtf8(folder.Write("b.csv", "name,zip,lat,lng\r\nA,1,35.6,139.7\r\n"));
    view = SpecialItemsFromFirstFile(nullptr, stored, settings);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->latCaption, std::optional<std::u16string>(u"lat"));
    EXPECT_EQ(view->lonCaption, std::optional<std::u16string>(u"lng"));
    EXPECT_EQ(view->captions, (std::vector<std::u16string>{u"（なし）", u"name", u"zip"}));
}

TEST_F(FirstFileCaptions, OnlyTheFirstTenFieldsAndNoCaptionsFromAOneFieldHeader) {
    LocationInfoFileList stored{Write("wide.csv", "a,b,c,d,e,f,g,h,i,j,k,l")};
    std::optional<SpecialItemsView> view = SpecialItemsFromFirstFile(nullptr, stored, settings);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->captions.size(), 9u);
    EXPECT_EQ(view->captions.back(), u"j");
    EXPECT_EQ(view->favNameEntry, 0);

    stored[0] = Write("one.csv", "名前");
    view = SpecialItemsFromFirstFile(nullptr, stored, settings);
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->latCaption);  // the edits keep what they show
    EXPECT_FALSE(view->lonCaption);
    EXPECT_EQ(view->captions, std::vector<std::u16string>{u"（なし）"});
}

TEST_F(FirstFileCaptions, TheOpenedFilesPageDecidesWhichFileIsFirst) {
    LocationInfoFileList stored{Write("stored.csv", "緯度,経度,店名")};
    const std::vector<std::u16string> emptied;
    EXPECT_FALSE(SpecialItemsFromFirstFile(&emptied, stored, settings));
    const std::vector<std::u16string> listed{Write("listed.csv", "lat,lon,name")};
    std::optional<SpecialItemsView> view = SpecialItemsFromFirstFile(&listed, stored, settings);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->latCaption, std::optional<std::u16string>(u"lat"));
}

TEST_F(FirstFileCaptions, NoFileOrAnUnreadableOneFails) {
    EXPECT_FALSE(SpecialItemsFromFirstFile(nullptr, LocationInfoFileList{}, settings));
    EXPECT_FALSE(
        SpecialItemsFromFirstFile(nullptr, LocationInfoFileList{u"/nonexistent/x.csv"}, settings));
    const Notice notice = CaptionsUnreadableNotice();
    EXPECT_EQ(notice.text, u"位置情報ファイルを読込めませんでした。");
    EXPECT_EQ(notice.title, u"位置情報ファイル読込みエラー");
}

}  // namespace
}  // namespace zentorak
