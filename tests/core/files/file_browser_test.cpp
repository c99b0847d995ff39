#include "core/files/file_browser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/text/code_page.h"
#include "core/text/file_names.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kLocationFilter =
    u"CSVファイル (*.csv)|*.csv|テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*";
constexpr std::u16string_view kAllFilter = u"すべてのファイル (*.*)|*.*";

// Records messages and prompts; answers from scripts (OK / No, and cancel, when they run out).
class FakeHost : public FileDialogHost {
public:
    int Message(const Notice& message) override {
        messages.push_back(message);
        if (answers.empty()) {
            return message.icon == NoticeIcon::kQuestion ? kAnswerNo : kAnswerOk;
        }
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::u16string> AskValue(std::u16string_view caption,
                                           std::u16string_view initial) override {
        prompts.emplace_back(caption, initial);
        if (values.empty()) {
            return std::nullopt;
        }
        std::optional<std::u16string> value = values.front();
        values.pop_front();
        return value;
    }
    std::vector<Notice> messages;
    std::deque<int> answers;
    std::deque<std::optional<std::u16string>> values;
    std::vector<std::pair<std::u16string, std::u16string>> prompts;
};

// A temporary folder that the browser shows as "/" (its rows in order: folders, then files, each
// by name):
//   /data/ (/data/sub/, /data/inner.csv), /empty/, /shops.csv, /notes.txt, /README
class FileBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path().empty());
        fs::create_directories(root / "data" / "sub");
        fs::create_directory(root / "empty");
        Write("data/inner.csv", "x");
        Write("shops.csv", "shops");
        Write("notes.txt", "notes");
        Write("README", "readme");
    }
    void Write(const std::string& name, const std::string& content) {
        std::ofstream(root / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) { return testing::ReadBytes((root / name).string()); }
    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const FileRow& row : browser->Rows()) {
            texts.push_back(row.text);
        }
        return texts;
    }
    int RowOf(std::u16string_view text) const {
        for (size_t i = 0; i < browser->Rows().size(); ++i) {
            if (browser->Rows()[i].text == text) {
                return static_cast<int>(i);
            }
        }
        ADD_FAILURE() << "no row " << ToUtf8(text);
        return -1;
    }
    std::u16string Real(const std::string& name) const {
        return FileNameToUtf16((root / name).string());
    }
    void ExpectMessage(std::u16string_view text, std::u16string_view title,
                       NoticeIcon icon = NoticeIcon::kError) {
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, text);
        EXPECT_EQ(host.messages[0].title, title);
        EXPECT_EQ(host.messages[0].icon, icon);
        host.messages.clear();
    }

    // A browser on the tree, started afresh.
    void Begin(std::u16string_view filter = kLocationFilter, std::u16string_view folder = u"/") {
        browser = std::make_unique<FileBrowser>(host, root.string());
        browser->Start(filter, folder);
    }

    testing::TempFolder temp;
    fs::path root{temp.path()};
    FakeHost host;
    std::unique_ptr<FileBrowser> browser;
};

TEST_F(FileBrowserTest, ListsFoldersFirstThenFilesOfThePattern) {
    Begin();
    EXPECT_EQ(browser->FolderText(), u"/");
    EXPECT_EQ(browser->FolderCount(), 2);
    EXPECT_EQ(browser->FileCount(), 1);
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"+data", u"+empty", u" shops.csv"}));
    EXPECT_EQ(browser->Descriptions().size(), 3u);
    browser->ChangePattern(2);  // *.*: every file, README too
    EXPECT_EQ(browser->CurrentPattern(), 2);
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"+data", u"+empty", u" README", u" notes.txt",
                                                    u" shops.csv"}));
    browser->ChangePattern(7);  // no such entry: nothing changes
    EXPECT_EQ(browser->CurrentPattern(), 2);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FileBrowserTest, RootAndUp) {
    Begin();
    browser->Up();  // nothing above the root
    EXPECT_EQ(browser->FolderText(), u"/");
    EXPECT_EQ(browser->Rows().size(), 3u);
    EXPECT_FALSE(browser->Open(RowOf(u"+data")).has_value());
    EXPECT_EQ(browser->FolderText(), u"/data");
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"+sub", u" inner.csv"}));
    browser->Open(RowOf(u"+sub"));
    EXPECT_EQ(browser->FolderText(), u"/data/sub");
    EXPECT_TRUE(browser->Rows().empty());
    browser->Up();
    EXPECT_EQ(browser->FolderText(), u"/data");
    browser->Up();
    EXPECT_EQ(browser->FolderText(), u"/");
    // A folder given with a trailing slash goes up to its parent all the same.
    Begin(kLocationFilter, u"/data/sub/");
    EXPECT_EQ(browser->FolderText(), u"/data/sub/");
    browser->Up();
    EXPECT_EQ(browser->FolderText(), u"/data");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FileBrowserTest, OpeningAFileRowGivesItsName) {
    Begin();
    EXPECT_EQ(browser->Open(RowOf(u" shops.csv")), u"shops.csv");
    EXPECT_EQ(browser->FolderText(), u"/");
    EXPECT_FALSE(browser->Open(99).has_value());
}

TEST_F(FileBrowserTest, NewFolderInTheRoot) {
    Begin();
    host.values = {u"新しいフォルダ"};
    browser->NewFolder();
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].first, u"新規フォルダ名");
    EXPECT_EQ(host.prompts[0].second, u"");
    EXPECT_TRUE(fs::is_directory(root / "新しいフォルダ"));
    EXPECT_EQ(browser->FolderText(), u"/");
    EXPECT_GE(RowOf(u"+新しいフォルダ"), 0);
    EXPECT_EQ(browser->FolderCount(), 3);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FileBrowserTest, NewFolderRefusals) {
    Begin();
    host.values = {std::nullopt};  // cancelled: nothing at all
    browser->NewFolder();
    EXPECT_TRUE(host.messages.empty());
    host.values = {u""};
    browser->NewFolder();
    ExpectMessage(u"名前が入力されていません。名前を指定してください。", u"名称未入力");
    host.values = {u"shops.csv"};  // a file of that name counts too
    browser->NewFolder();
    ExpectMessage(
        u"指定した名前のファイルまたはフォルダは既に存在します。別の名前を指定してください。",
        u"名称エラー");
    host.values = {std::u16string(300, u'x')};  // the handset was silent here; we say it
    browser->NewFolder();
    ExpectMessage(u"フォルダの作成に失敗しました。", u"フォルダ作成エラー");
}

// A new folder or a rename names one entry here: nothing lands outside the folder shown.
TEST_F(FileBrowserTest, NamesWithSlashOrDotsAreRefused) {
    Begin();
    for (std::u16string name : {u"../x", u"a/b", u".", u"..", u"/tmp"}) {
        host.values = {name, name};
        browser->NewFolder();
        browser->Rename(RowOf(u" shops.csv"));
        EXPECT_EQ(host.messages.size(), 2u) << ToUtf8(name);
        host.messages.resize(1);
        ExpectMessage(u"その名前は使用できません。「/」を含まない名前を指定してください。",
                      u"名称エラー");
    }
    EXPECT_EQ(Read("shops.csv"), "shops");
}

TEST_F(FileBrowserTest, ConfirmAddsTheFirstPatternsExtension) {
    Begin();
    browser->ChangePattern(1);  // the type box on *.txt: the first pattern still rules
    EXPECT_EQ(browser->Confirm(u"shops", 0), Real("shops.csv"));
    EXPECT_EQ(browser->Confirm(u"notes.txt", 0), Real("notes.txt"));
    EXPECT_EQ(browser->Confirm(u"新規", 0), Real("新規.csv"));  // no existence check
    browser->Open(RowOf(u"+data"));
    EXPECT_EQ(browser->Confirm(u"inner", kFileMustExist), Real("data/inner.csv"));
    Begin(kAllFilter);  // "*.*" adds nothing
    EXPECT_EQ(browser->Confirm(u"README", kFileMustExist), Real("README"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FileBrowserTest, ConfirmRefusals) {
    Begin();
    EXPECT_FALSE(browser->Confirm(u"", 0).has_value());
    ExpectMessage(u"ファイル名が指定されていません。", u"ファイル名未指定",
                  NoticeIcon::kExclamation);
    EXPECT_FALSE(browser->Confirm(u"missing", kFileMustExist).has_value());
    ExpectMessage(u"指定されたファイルは存在しません。", u"ファイル名不正",
                  NoticeIcon::kExclamation);
    Begin(kAllFilter);
    EXPECT_FALSE(browser->Confirm(u"data", kFileMustExist).has_value());
    ExpectMessage(u"同名のフォルダが存在します。", u"ファイル名不正", NoticeIcon::kExclamation);
    // A typed name resolves inside the folder shown, as a normal path, or is not found here.
    browser->Open(RowOf(u"+data"));
    EXPECT_EQ(browser->Confirm(u"//data/./sub/../inner.csv", kFileMustExist),
              Real("data/inner.csv"));
    for (std::u16string name : {u"../shops.csv", u"/shops.csv", u"sub/../../README", u".."}) {
        EXPECT_FALSE(browser->Confirm(name, 0).has_value()) << ToUtf8(name);
        ExpectMessage(u"指定されたファイルは存在しません。", u"ファイル名不正",
                      NoticeIcon::kExclamation);
    }
}

TEST_F(FileBrowserTest, DeleteAsksAndRemovesOnlyEmptyFolders) {
    Begin();
    browser->Delete(-1);
    ExpectMessage(u"削除対象が選択されていません。", u"削除対象なし");

    host.answers = {7};  // No: nothing goes
    browser->Delete(RowOf(u" shops.csv"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, u"\"/shops.csv\"を削除してもよろしいですか？");
    EXPECT_EQ(host.messages[0].title, u"削除確認");
    EXPECT_EQ(host.messages[0].icon, NoticeIcon::kQuestion);
    EXPECT_TRUE(host.messages[0].noIsDefault);
    host.messages.clear();
    EXPECT_TRUE(fs::exists(root / "shops.csv"));

    host.answers = {kAnswerYes, 1};
    browser->Delete(RowOf(u"+data"));  // holds files
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, u"指定されたフォルダの削除に失敗しました。");
    EXPECT_EQ(host.messages[1].title, u"フォルダ削除エラー");
    host.messages.clear();
    EXPECT_TRUE(fs::exists(root / "data" / "inner.csv"));

    host.answers = {kAnswerYes, kAnswerYes};
    browser->Delete(RowOf(u"+empty"));
    browser->Delete(RowOf(u" shops.csv"));
    EXPECT_EQ(host.messages.size(), 2u);  // the two questions only
    EXPECT_FALSE(fs::exists(root / "empty"));
    EXPECT_FALSE(fs::exists(root / "shops.csv"));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"+data"}));
}

TEST_F(FileBrowserTest, DeletingWhatVanishedSaysSo) {
    Begin();
    int row = RowOf(u" shops.csv");
    fs::remove(root / "shops.csv");
    host.answers = {kAnswerYes};
    browser->Delete(row);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, u"指定されたファイルまたはフォルダが存在しません。");
    EXPECT_EQ(host.messages[1].title, u"削除エラー");
    EXPECT_EQ(browser->FileCount(), 0);  // listed again
}

TEST_F(FileBrowserTest, RenameNeverReplacesAnExistingName) {
    Write("other.csv", "other");
    Begin();
    host.values = {u"other.csv"};
    browser->Rename(RowOf(u" shops.csv"));
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].first, u"変更後の名称");
    EXPECT_EQ(host.prompts[0].second, u"shops.csv");
    ExpectMessage(u"指定されたファイルまたはフォルダの名前の変更に失敗しました。",
                  u"名称変更エラー");
    EXPECT_EQ(Read("shops.csv"), "shops");
    EXPECT_EQ(Read("other.csv"), "other");
    host.values = {u"data"};  // a folder's name is taken too
    browser->Rename(RowOf(u" shops.csv"));
    EXPECT_EQ(host.messages.size(), 1u);
    host.messages.clear();
    EXPECT_EQ(Read("shops.csv"), "shops");
}

TEST_F(FileBrowserTest, RenameMovesAndListsAgain) {
    Begin();
    browser->Rename(-1);  // nothing selected: not even a prompt
    EXPECT_TRUE(host.prompts.empty());
    host.values = {std::nullopt, u"", u"empty", u"空"};
    browser->Rename(RowOf(u"+empty"));  // cancelled
    browser->Rename(RowOf(u"+empty"));  // empty name
    ExpectMessage(u"名前が入力されていません。名前を指定してください。", u"名称未入力");
    browser->Rename(RowOf(u"+empty"));  // unchanged: nothing to do, nothing to complain of
    EXPECT_TRUE(host.messages.empty());
    browser->Rename(RowOf(u"+empty"));
    EXPECT_TRUE(fs::is_directory(root / "空"));
    EXPECT_GE(RowOf(u"+空"), 0);
}

// Bytes that are not UTF-8 (here Latin-1 "café" and a Shift_JIS "表"): shown with replacement
// characters, and chosen, renamed and deleted by their own bytes.
TEST_F(FileBrowserTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::string latin = "caf\xe9.csv";
    const std::string sjis = "\x95\x5c";
    Write(latin, "latin");
    fs::create_directory(root / sjis);
    Write(sjis + "/in.csv", "in");
    Begin();
    int row = RowOf(u" caf\uFFFD.csv");
    std::optional<std::u16string> shown = browser->Open(row);
    ASSERT_EQ(shown, u"caf\uFFFD.csv");
    std::optional<std::u16string> path = browser->Confirm(*shown, kFileMustExist);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(FileNameFromUtf16(*path), (root / latin).string());
    EXPECT_TRUE(host.messages.empty());

    browser->Open(RowOf(u"+\uFFFD\\"));  // 0x95 is no UTF-8 lead; 0x5C is a plain backslash
    EXPECT_EQ(browser->FolderText(), u"/\uFFFD\\");
    EXPECT_EQ(browser->Confirm(u"in", kFileMustExist).has_value(), true);
    browser->Up();

    host.values = {u"cafe.csv"};
    browser->Rename(RowOf(u" caf\uFFFD.csv"));
    EXPECT_EQ(Read("cafe.csv"), "latin");
    host.values = {u"caf\uFFFD.csv"};  // typed with the mark: a new name made of it, as typed
    browser->Rename(RowOf(u" cafe.csv"));
    EXPECT_EQ(Read("caf\xef\xbf\xbd.csv"), "latin");
    fs::rename(root / "caf\xef\xbf\xbd.csv", root / latin);
    Begin();
    host.answers = {kAnswerYes};
    browser->Delete(RowOf(u" caf\uFFFD.csv"));
    EXPECT_FALSE(fs::exists(root / latin));
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(FileBrowserTest, AFolderThatCannotBeReadIsNotEntered) {
    Begin();
    int row = RowOf(u"+data");
    fs::remove_all(root / "data");  // gone behind the dialog's back
    browser->Open(row);
    ExpectMessage(u"フォルダの内容を読み取れませんでした。", u"フォルダ読込みエラー");
    EXPECT_EQ(browser->FolderText(), u"/");
    EXPECT_EQ(browser->FolderCount(), 2);  // the rows of "/" are still there

    // The folder shown vanishing empties the list rather than keep stale rows.
    browser->Open(RowOf(u"+empty"));
    fs::remove(root / "empty");
    browser->ChangePattern(0);
    ExpectMessage(u"フォルダの内容を読み取れませんでした。", u"フォルダ読込みエラー");
    EXPECT_EQ(browser->FolderText(), u"/empty");
    EXPECT_TRUE(browser->Rows().empty());
    browser->Up();
    EXPECT_EQ(browser->FolderText(), u"/");
}

// Root reads every folder, so as root the one call runs as nobody.
TEST_F(FileBrowserTest, AFolderWithoutReadPermissionSaysSo) {
    fs::create_directory(root / "locked");
    ::chmod((root / "locked").c_str(), 0);
    ::chmod(root.c_str(), 0755);
    Begin();
    int row = RowOf(u"+locked");
    bool asRoot = ::geteuid() == 0;
    if (asRoot && ::seteuid(65534) != 0) {
        GTEST_SKIP() << "cannot give up root here";
    }
    browser->Open(row);
    if (asRoot) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ExpectMessage(u"このフォルダを開く権限がありません。", u"フォルダ読込みエラー");
    EXPECT_EQ(browser->FolderText(), u"/");
}

TEST_F(FileBrowserTest, AMalformedFilterSaysSoAndKeepsItsFirstPair) {
    Write("x.a", "");
    Begin(u"A|*.a|B");
    ExpectMessage(u"内部エラー(ファイルフィルタの定義不正)", u"内部エラー");
    EXPECT_EQ(browser->Descriptions(), (std::vector<std::u16string>{u"A"}));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"+data", u"+empty", u" x.a"}));
    EXPECT_EQ(browser->Confirm(u"x", kFileMustExist), Real("x.a"));
    // Without any pattern every file is listed, and no extension is added.
    Begin(u"");
    ExpectMessage(u"内部エラー(ファイルフィルタの定義不正)", u"内部エラー");
    EXPECT_EQ(browser->FileCount(), 4);
    EXPECT_EQ(browser->Confirm(u"README", kFileMustExist), Real("README"));
}

}  // namespace
}  // namespace zentorak
