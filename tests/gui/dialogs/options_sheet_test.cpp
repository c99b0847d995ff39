// The options sheet on the real window with the real dialogs: pages built when first shown, what
// each page shows for awkward stored values, what OK and Cancel leave in the settings and in
// zentorak.ini, the files and special-items pages with their messages, and the reload after OK.
#include "gui/dialogs/options_sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "core/resources/resource_ids.h"
#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/dialogs/dialog_driver.h"
#include "gui/dialogs/file_select_dialog.h"
#include "gui/dialogs/options_file_pages.h"
#include "gui/dialogs/options_general_pages.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/soft_key_bar.h"

namespace zentorak::testing {
namespace {

using namespace res;

// The window's options command, counting what happens after OK.
class CountingUpdates : public PositionUpdates {
public:
    void UpdateNow(int) override {}
    void OnSoftKey() override {}
    void OnPositionReady(int) override {}
    bool Busy() const override { return false; }
    void AfterOptions() override { ++afterOptions; }
    void StopPeriodicUpdateFor(std::u16string_view) override {}
    int afterOptions = 0;
};

OptionsSheet* ShownSheet() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == QStringLiteral("オプション")) {
            return qobject_cast<OptionsSheet*>(w);
        }
    }
    return nullptr;
}

template <typename T>
T* Control(QWidget& sheet, int id) {
    return sheet.findChild<T*>(QString::number(id));
}

class Options : public AppFixture {
protected:
    void Begin(const std::vector<std::string>& system = {}) {
        WriteSettings(system);
        ASSERT_TRUE(Start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        auto counting = std::make_unique<CountingUpdates>();
        updates = counting.get();
        Window().SetPositionUpdates(std::move(counting));
    }

    // Opens the sheet through the window's command and runs `act` on it; `act` closes it.
    void RunOptions(const std::function<void(OptionsSheet&)>& act) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            OptionsSheet* sheet = ShownSheet();
            ASSERT_NE(sheet, nullptr);
            act(*sheet);
            ran = true;
            if (sheet->isVisible()) {
                ADD_FAILURE() << "the sheet was left open";
                sheet->reject();
            }
        });
        Window().Dispatch(ID_OPTIONS);
        EXPECT_TRUE(ran);
    }

    static void PressOk(OptionsSheet& sheet) {
        QTest::mouseClick(sheet.DoneButton(), Qt::LeftButton);
    }
    static void PressCancel(OptionsSheet& sheet) {
        QTest::mouseClick(sheet.CancelButton(), Qt::LeftButton);
    }
    // Chooses an entry of a drop-down list from the keyboard, as a person does.
    static void Choose(QComboBox* list, int entry) {
        ASSERT_NE(list, nullptr);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < entry; ++i) {
            QTest::keyClick(list, Qt::Key_Down);
        }
        ASSERT_EQ(list->currentIndex(), entry);
    }

    QString Ini() const { return ReadCp932File(Path("zentorak.ini")); }

    CountingUpdates* updates = nullptr;
};

TEST_F(Options, PagesAreBuiltWhenFirstShownAndCancelStaysTopRight) {
    Begin();
    RunOptions([&](OptionsSheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("オプション"));
        QStringList titles;
        for (int i = 0; i < sheet.Tabs()->count(); ++i) {
            titles << sheet.Tabs()->tabText(i);
        }
        EXPECT_EQ(titles, (QStringList{"全般", "位置情報", "特別項目", "地図情報", "デバイス"}));
        EXPECT_TRUE(sheet.PageCreated(kGeneralPage));
        for (int page : {kFilesPage, kSpecialItemsPage, kMapPage, kDevicePage}) {
            EXPECT_FALSE(sheet.PageCreated(page)) << page;
        }
        EXPECT_EQ(Control<QComboBox>(sheet, IDC_MAP_SERVICE), nullptr);
        sheet.Tabs()->tabBar()->setCurrentIndex(kMapPage);
        EXPECT_TRUE(sheet.PageCreated(kMapPage));
        EXPECT_NE(Control<QComboBox>(sheet, IDC_MAP_SERVICE), nullptr);
        EXPECT_FALSE(sheet.PageCreated(kDevicePage));

        QPushButton* cancel = sheet.CancelButton();
        EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));
        EXPECT_EQ(cancel->objectName(), QStringLiteral("2"));
        for (QSize size : {QSize(320, 240), QSize(240, 320)}) {
            sheet.resize(size);
            QApplication::processEvents();
            QRect done = sheet.DoneButton()->geometry();
            EXPECT_EQ(cancel->geometry().right() + 1, done.left() - state->dpi.ScaleX(2));
            EXPECT_EQ(cancel->y(), done.y());
            EXPECT_TRUE(sheet.rect().contains(cancel->geometry()));
        }
        PressCancel(sheet);
    });
    EXPECT_EQ(updates->afterOptions, 0);
}

TEST_F(Options, GeneralPageShowsFortyForFiftyAndStoresWhatItShows) {
    Begin({"TrgtSrchNum:50", "InfoUpdateMode:1", "AutoUpdateMode:2"});
    RunOptions([&](OptionsSheet& sheet) {
        EXPECT_EQ(Control<QComboBox>(sheet, IDC_SEARCH_COUNT)->currentText(), "40");
        EXPECT_EQ(Control<QComboBox>(sheet, IDC_UPDATE_MODE)->currentText(), "定期更新");
        PressOk(sheet);
    });
    EXPECT_EQ(state->settings.TrgtSrchNum, 40);
    EXPECT_EQ(state->settings.AutoUpdateMode, 2);  // a stopped periodic update stays stopped
    EXPECT_EQ(state->found.capacity(), 41);
    EXPECT_TRUE(Ini().contains("TrgtSrchNum:40\r\n"));
}

TEST_F(Options, ManualUpdateClearsTheRunState) {
    Begin({"InfoUpdateMode:1", "AutoUpdateMode:1"});
    RunOptions([&](OptionsSheet& sheet) {
        Choose(Control<QComboBox>(sheet, IDC_UPDATE_MODE), 1);
        EXPECT_EQ(Control<QComboBox>(sheet, IDC_UPDATE_MODE)->currentText(), "手動更新");
        PressOk(sheet);
    });
    EXPECT_EQ(state->settings.InfoUpdateMode, 2);
    EXPECT_EQ(state->settings.AutoUpdateMode, 0);
    EXPECT_TRUE(Ini().contains("InfoUpdateMode:2\r\n"));
    EXPECT_TRUE(Ini().contains("AutoUpdateMode:0\r\n"));
}

TEST_F(Options, ServiceChangeSelectsFallbacksAndConfirmationGatesRememberScale) {
    Begin({"MapSiteNo:5", "MapScaleIx:3"});
    RunOptions([&](OptionsSheet& sheet) {
        sheet.ShowPage(kMapPage);
        QComboBox* service = Control<QComboBox>(sheet, IDC_MAP_SERVICE);
        QComboBox* scale = Control<QComboBox>(sheet, IDC_MAP_SCALE);
        EXPECT_EQ(service->currentText(), "Google");
        EXPECT_EQ(scale->currentIndex(), 2);
        Choose(service, 0);
        EXPECT_EQ(scale->count(), 9);
        EXPECT_EQ(scale->currentIndex(), 1);  // Mapion's fallback
        EXPECT_EQ(scale->currentText(), "1/8000");
        Choose(service, 4);
        EXPECT_EQ(scale->count(), 20);
        EXPECT_EQ(scale->currentIndex(), 6);  // Google's fallback, not the stored 3

        QCheckBox* confirm = Control<QCheckBox>(sheet, IDC_CONFIRM_MAP);
        QCheckBox* remember = Control<QCheckBox>(sheet, IDC_REMEMBER_SCALE);
        EXPECT_TRUE(remember->isEnabled());
        QTest::mouseClick(confirm, Qt::LeftButton, {}, QPoint(4, confirm->height() / 2));
        EXPECT_FALSE(confirm->isChecked());
        EXPECT_FALSE(remember->isEnabled());
        EXPECT_TRUE(remember->isChecked());
        PressOk(sheet);
    });
    EXPECT_EQ(state->settings.MapSiteNo, 5);
    EXPECT_EQ(state->settings.MapScaleIx, 7);
    EXPECT_EQ(state->settings.ConfBfrMapDispMode, 2);
    EXPECT_EQ(state->settings.MemMapScaleMode, 1);
}

TEST_F(Options, UnknownMethodShowsNoneAndOkStoresTheDefault) {
    Begin({"MthdGetLocInfo:3", "PortName:COM4"});
    RunOptions([&](OptionsSheet& sheet) {
        sheet.ShowPage(kDevicePage);
        EXPECT_EQ(Control<QComboBox>(sheet, IDC_LOCATION_METHOD)->currentIndex(), -1);
        QComboBox* port = Control<QComboBox>(sheet, IDC_PORT);
        EXPECT_EQ(port->count(), 10);
        EXPECT_EQ(port->itemText(0), "COM0");
        EXPECT_EQ(port->currentText(), "COM4");
        PressOk(sheet);
    });
    EXPECT_EQ(state->settings.MthdGetLocInfo, 2);  // an update always has a method
    EXPECT_EQ(state->settings.PortName, 4);
    EXPECT_TRUE(Ini().contains("MthdGetLocInfo:2\r\n"));
}

TEST_F(Options, CancelAfterEditingEveryPageChangesNothing) {
    Begin({"MapSiteNo:9", "TrgtSrchNum:60"});
    const QString before = Ini();
    const LocationInfoFileList files = state->locationInfoFiles;
    messages.answers = {kAnswerYes};
    RunOptions([&](OptionsSheet& sheet) {
        Choose(Control<QComboBox>(sheet, IDC_SEARCH_COUNT), 4);
        sheet.ShowPage(kFilesPage);
        auto* list = Control<QListWidget>(sheet, IDC_OPTIONS_FILE_LIST);
        list->setCurrentRow(0);
        QTest::mouseClick(Control<QPushButton>(sheet, IDC_OPTIONS_FILE_DELETE), Qt::LeftButton);
        EXPECT_EQ(list->count(), 0);
        sheet.ShowPage(kSpecialItemsPage);
        Choose(Control<QComboBox>(sheet, IDC_TEL_COLUMN), 0);
        sheet.ShowPage(kMapPage);
        Choose(Control<QComboBox>(sheet, IDC_MAP_SERVICE), 2);
        sheet.ShowPage(kDevicePage);
        Choose(Control<QComboBox>(sheet, IDC_LOCATION_METHOD), 0);
        PressCancel(sheet);
    });
    EXPECT_EQ(state->settings.TrgtSrchNum, 60);
    EXPECT_EQ(state->settings.KwdTelNo, u"TEL");
    EXPECT_EQ(state->settings.MthdGetLocInfo, 2);
    EXPECT_EQ(state->locationInfoFiles, files);
    EXPECT_EQ(state->settings.MapSiteNo, 1);  // the correction made on opening the map page
    EXPECT_EQ(Ini(), before);                 // nothing written
    EXPECT_EQ(updates->afterOptions, 0);
}

// Out-of-range values on the pages never opened would change if those pages took over.
TEST_F(Options, OnlyTheOpenedPagesTakeOver) {
    Begin({"MapScaleIx:99", "MthdGetLocInfo:3", "KwdTelNo:電話", "PortName:COM7"});
    RunOptions([&](OptionsSheet& sheet) { PressOk(sheet); });
    EXPECT_EQ(state->settings.MapScaleIx, 99);
    EXPECT_EQ(state->settings.MthdGetLocInfo, 3);
    EXPECT_EQ(state->settings.KwdTelNo, u"電話");
    EXPECT_EQ(state->settings.PortName, 7);
    EXPECT_EQ(state->locationInfoFiles[0], ToU16(Path("shops.csv")));
    EXPECT_TRUE(Ini().contains("MapScaleIx:99\r\n"));
}

TEST_F(Options, TenFilesDisableAddingAndDeletingAsksWithNoAsDefault) {
    WriteSettings();
    ASSERT_TRUE(Start());
    for (int i = 0; i < 10; ++i) {
        state->locationInfoFiles[static_cast<size_t>(i)] =
            u"/data/f" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".csv";
    }
    OptionsSheet sheet(&Window(), *state, dir.path().toStdString());
    sheet.ShowPage(kFilesPage);
    auto* list = Control<QListWidget>(sheet, IDC_OPTIONS_FILE_LIST);
    auto* add = Control<QPushButton>(sheet, IDC_OPTIONS_FILE_ADD);
    auto* del = Control<QPushButton>(sheet, IDC_OPTIONS_FILE_DELETE);
    EXPECT_EQ(list->count(), 10);
    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(del->isEnabled());
    list->setCurrentRow(2);
    EXPECT_TRUE(del->isEnabled());
    messages.answers = {kAnswerNo};
    QTest::mouseClick(del, Qt::LeftButton);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], "'/data/f2.csv'を一覧から削除してもよろしいですか？",
              "位置情報ファイルの削除の確認", NoticeIcon::kQuestion);
    EXPECT_EQ(messages.records[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(list->count(), 10);
    messages.answers = {kAnswerYes};
    QTest::mouseClick(del, Qt::LeftButton);
    EXPECT_EQ(list->count(), 9);
    EXPECT_EQ(list->item(2)->text(), "/data/f3.csv");
    EXPECT_TRUE(add->isEnabled());
    EXPECT_FALSE(del->isEnabled());
}

TEST_F(Options, AddingRefusesTheSameFileAndKeepsTheChosenOrder) {
    WriteSettings();
    ASSERT_TRUE(Start());
    std::deque<std::optional<std::u16string>> chosen = {ToU16(Path("shops.csv")),
                                                        ToU16(Path("Shops.csv")), std::nullopt};
    OptionsSheet sheet(&Window(), *state, dir.path().toStdString(), [&](QWidget*) {
        auto next = chosen.front();
        chosen.pop_front();
        return next;
    });
    sheet.ShowPage(kFilesPage);
    auto* list = Control<QListWidget>(sheet, IDC_OPTIONS_FILE_LIST);
    auto* add = Control<QPushButton>(sheet, IDC_OPTIONS_FILE_ADD);
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], "すでに同名のファイルが登録されています", "ファイル名不正",
              NoticeIcon::kError);
    EXPECT_EQ(list->count(), 1);
    QTest::mouseClick(add, Qt::LeftButton);  // differs in case only: another file
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), Path("Shops.csv"));
    QTest::mouseClick(add, Qt::LeftButton);  // cancelled
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(messages.records.size(), 1u);
}

TEST_F(Options, RefreshingCaptionsFailsWhenTheOpenedFilesPageWasEmptied) {
    Begin();
    messages.answers = {kAnswerYes};
    RunOptions([&](OptionsSheet& sheet) {
        sheet.ShowPage(kSpecialItemsPage);
        auto* fav = Control<QComboBox>(sheet, IDC_FAV_NAME_COLUMN);
        EXPECT_EQ(fav->count(), 4);  // （なし） and the item captions
        EXPECT_EQ(fav->currentText(), "店名");
        EXPECT_EQ(Control<QLineEdit>(sheet, IDC_LAT_CAPTION)->text(), "緯度");
        sheet.ShowPage(kFilesPage);
        Control<QListWidget>(sheet, IDC_OPTIONS_FILE_LIST)->setCurrentRow(0);
        QTest::mouseClick(Control<QPushButton>(sheet, IDC_OPTIONS_FILE_DELETE), Qt::LeftButton);
        sheet.ShowPage(kSpecialItemsPage);
        QTest::mouseClick(Control<QPushButton>(sheet, IDC_REFRESH_CAPTIONS), Qt::LeftButton);
        ASSERT_EQ(messages.records.size(), 2u);
        EXPECT_EQ(messages.records[1].text, "位置情報ファイルを読込めませんでした。");
        EXPECT_EQ(messages.records[1].title, "位置情報ファイル読込みエラー");
        EXPECT_EQ(fav->count(), 4);  // the page keeps what it showed
        PressOk(sheet);
    });
    EXPECT_TRUE(state->locationInfoFiles[0].empty());
    EXPECT_EQ(state->grid.size(), 0u);
    EXPECT_TRUE(Ini().contains("[TrgtInfoFile]\r\n\r\n"));
}

TEST_F(Options, RefreshedCaptionsComeFromTheFirstFileAndTheFirstEntryMeansNone) {
    Begin({"KwdTelNo:電話番号"});
    WriteCp932File(Path("shops.csv"), {"lat,lon,,電話番号,名称"});
    RunOptions([&](OptionsSheet& sheet) {
        sheet.ShowPage(kSpecialItemsPage);
        auto* fav = Control<QComboBox>(sheet, IDC_FAV_NAME_COLUMN);
        auto* tel = Control<QComboBox>(sheet, IDC_TEL_COLUMN);
        EXPECT_EQ(tel->currentIndex(), 0);  // 電話番号 is not among the loaded captions
        QTest::mouseClick(Control<QPushButton>(sheet, IDC_REFRESH_CAPTIONS), Qt::LeftButton);
        EXPECT_TRUE(messages.records.empty());
        EXPECT_EQ(Control<QLineEdit>(sheet, IDC_LAT_CAPTION)->text(), "lat");
        EXPECT_EQ(Control<QLineEdit>(sheet, IDC_LON_CAPTION)->text(), "lon");
        EXPECT_EQ(fav->count(), 3);
        EXPECT_EQ(tel->currentText(), "電話番号");
        Choose(fav, 1);
        Choose(fav, 0);
        PressOk(sheet);
    });
    EXPECT_EQ(state->settings.KwdFavName, u"");
    EXPECT_EQ(state->settings.KwdTelNo, u"電話番号");
}

// A second file, chosen in the file selection dialog, replaces the first: one reload, one search
// at the origin, and the new file's targets are what the list and the radar show.
TEST_F(Options, OkReloadsOnceAndSearchesAroundTheOrigin) {
    Begin({"OrgFixedMode:1"});
    std::vector<std::string> lines{"緯度,経度,店名,住所,TEL"};
    for (int n = 0; n < 5; ++n) {
        lines.push_back("35/40/4" + std::to_string(n) + ".000,139/46/20.000,新店" +
                        std::to_string(n) + ",渋谷,03-1111-000" + std::to_string(n));
    }
    WriteCp932File(Path("new.csv"), lines);
    Window().Dispatch(2001);  // the origin at the favourite 東京
    ASSERT_EQ(state->found.count, 20);
    messages.answers = {kAnswerYes};
    RunOptions([&](OptionsSheet& sheet) {
        sheet.ShowPage(kFilesPage);
        auto* list = Control<QListWidget>(sheet, IDC_OPTIONS_FILE_LIST);
        // The dialog starts where the listed file is; the full path typed there names new.csv.
        WhenDialogOpens(QStringLiteral("入力元"), [this](QDialog* dialog) {
            auto* window = static_cast<FileSelectWindow*>(dialog);
            EXPECT_EQ(window->FolderBox()->text(), dir.path());
            window->NameBox()->setText(Path("new.csv"));
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("1450")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(sheet, IDC_OPTIONS_FILE_ADD), Qt::LeftButton);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), Path("new.csv"));
        list->setCurrentRow(0);
        QTest::mouseClick(Control<QPushButton>(sheet, IDC_OPTIONS_FILE_DELETE), Qt::LeftButton);
        PressOk(sheet);
    });
    EXPECT_EQ(updates->afterOptions, 1);
    EXPECT_EQ(state->grid.size(), 5u);
    ASSERT_EQ(state->found.count, 5);
    EXPECT_EQ(state->found.targets[0]->Info(0), u"新店0");
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 5);
    EXPECT_EQ(state->paneMode, kPaneList);
    Window().Radar()->repaint();
    const QRect radar = Window().Radar()->rect();
    for (int i = 0; i < state->found.count; ++i) {
        const PixelPoint p = state->markerPos[static_cast<size_t>(i)];
        EXPECT_TRUE(radar.contains(p.x, p.y)) << i;
    }
    EXPECT_EQ(state->locationInfoFiles[0], ToU16(Path("new.csv")));
    EXPECT_TRUE(state->locationInfoFiles[1].empty());
    EXPECT_TRUE(Ini().contains("[TrgtInfoFile]\r\n" + Path("new.csv") + "\r\n\r\n"));
}

TEST_F(Options, FailedSaveIsShownAndTheValuesStay) {
    Begin();
    state->settingsPath = dir.path().toStdString();  // a folder cannot be written as a file
    RunOptions([&](OptionsSheet& sheet) {
        Choose(Control<QComboBox>(sheet, IDC_SEARCH_COUNT), 2);
        PressOk(sheet);
    });
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, "設定ファイルの書込みに失敗しました。");
    EXPECT_EQ(messages.records[0].title, "設定ファイルエラー");
    EXPECT_EQ(state->settings.TrgtSrchNum, 60);
    EXPECT_EQ(state->found.capacity(), 61);  // the reload still follows
}

TEST_F(Options, DevicePageNamesTheDeviceBehindEachPort) {
    WriteSettings({"PortName:COM3"});
    ASSERT_TRUE(Start());
    std::filesystem::path folder = dir.path().toStdString();
    std::filesystem::create_directories(folder / "ports");
    std::filesystem::create_symlink("/dev/null", folder / "ports" / "COM3");
    OptionsSheet sheet(&Window(), *state, folder);
    sheet.ShowPage(kDevicePage);
    auto* port = Control<QComboBox>(sheet, IDC_PORT);
    EXPECT_EQ(port->model()->index(3, 1).data().toString(), "/dev/null");
    EXPECT_EQ(port->model()->index(5, 1).data().toString(), "/dev/ttyS5");
    auto* device = sheet.findChild<QLabel*>("portDevice");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->text(), "/dev/null");
    port->setCurrentIndex(5);
    EXPECT_EQ(device->text(), "/dev/ttyS5");
}

// As a person does it: メニュー, オプション..., 定期更新 on the first page, GPS → W-SIM on the
// device page, OK; the choices are in zentorak.ini at once.
TEST_F(Options, EndToEndFromTheMenuToTheSettingsFile) {
    Begin();
    QPushButton* menuKey = nullptr;
    for (QPushButton* key : Window().SoftKeys()->findChildren<QPushButton*>()) {
        if (key->text() == QStringLiteral("メニュー")) {
            menuKey = key;
        }
    }
    ASSERT_NE(menuKey, nullptr);
    QTest::mouseClick(menuKey, Qt::LeftButton);
    QMenu* menu = Window().MainPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    bool acted = false;
    QTimer::singleShot(0, [&] {
        OptionsSheet* sheet = ShownSheet();
        ASSERT_NE(sheet, nullptr);
        Choose(Control<QComboBox>(*sheet, IDC_UPDATE_MODE), 0);
        QTabBar* tabs = sheet->Tabs()->tabBar();
        tabs->setFocus();
        for (int i = 0; i < kDevicePage; ++i) {
            QTest::keyClick(tabs, Qt::Key_Right);
        }
        Choose(Control<QComboBox>(*sheet, IDC_LOCATION_METHOD), 0);
        PressOk(*sheet);
        acted = true;
    });
    // 検索..., 基点設定, 移動, お気に入り, 表示, オプション...
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(menu, Qt::Key_Down);
    }
    ASSERT_EQ(menu->activeAction()->text(), QStringLiteral("オプション..."));
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_TRUE(acted);
    const QString ini = Ini();
    EXPECT_TRUE(ini.contains("InfoUpdateMode:1\r\n"));
    EXPECT_TRUE(ini.contains("AutoUpdateMode:1\r\n"));
    EXPECT_TRUE(ini.contains("MthdGetLocInfo:1\r\n"));
    EXPECT_EQ(updates->afterOptions, 1);
}

}  // namespace
}  // namespace zentorak::testing
