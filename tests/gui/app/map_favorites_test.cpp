// The window's map, details and favourite commands end to end inside the process: the URL the
// desktop is handed (caught by URL handlers), the periodic update stopped first, favourites in
// the menu and in the settings file at once, and the real dialogs driven while they are open.
#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "core/map/map_urls.h"
#include "core/position/scripted_gps_driver.h"
#include "core/resources/resource_ids.h"
#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/app/update_cycle_adapter.h"
#include "gui/dialogs/details_dialog.h"
#include "gui/dialogs/favorite_name_dialog.h"
#include "gui/dialogs/map_confirm_dialog.h"
#include "gui/dialogs/modal_helper.h"
#include "gui/dialogs/organize_favorites_dialog.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/platform/url_catcher.h"
#include "gui/resources/menu_builder.h"

namespace zentorak::testing {
namespace {

// Shop 26 stands on the favourite 東京 and is the first row after choosing it.
const char kShop26Mapion[] =
    "http://www.mapion.co.jp/c/f?uc=1&nl=35%2F40%2F40.000&el=139%2F46%2F20.000&scl=25000"
    "&size=450,400&grp=Air";

class MapAndFavorites : public AppFixture {
protected:
    // realUpdates: the real update cycle (a scripted GPS) instead of one that only repaints;
    // realDialogs: the Qt dialogs instead of the recorder.
    void Begin(const std::vector<std::string>& system, bool realUpdates = false,
               bool realDialogs = false) {
        WriteSettings(system);
        state = std::make_unique<AppState>();
        app = std::make_unique<Application>(*state, IniPath());
        if (realUpdates) {
            app->SetPositionUpdatesFactory([this](MainWindow& window, AppState& s) {
                return std::make_unique<UpdateCycleAdapter>(
                    window, s, [this] { return driver; }, dir.path().toStdString(),
                    [](std::chrono::milliseconds) {});
            });
        }
        ASSERT_TRUE(app->Start(true));
        if (!realDialogs) {
            Dialogs();
        }
        for (const char* scheme : {"http", "tel"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &urls, "Open");
        }
    }
    void TearDown() override {
        for (const char* scheme : {"http", "tel"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
        AppFixture::TearDown();
    }
    // Origin at 東京 and the first list row selected.
    void SelectFirstRow() {
        Window().Dispatch(2001);
        Window().Panes().List()->topLevelItem(0)->setSelected(true);
    }
    QStringList Opened() const {
        QStringList opened;
        for (const QUrl& url : urls.urls) {
            opened << QString::fromLatin1(url.toEncoded());
        }
        return opened;
    }
    QString Ini() const { return ReadCp932File(Path("zentorak.ini")); }
    // The favourites menu from 2001 on, as the person reads it.
    QStringList FavoriteItems() const {
        QStringList items;
        for (int id = 2001; QAction* item = res::FindCommand(app->Window().FavoritesMenu(), id);
             ++id) {
            items << item->text();
        }
        return items;
    }
    // Favourites added through the window, each named by the scripted dialog.
    void AddFavorites(const std::vector<std::u16string>& names) {
        for (const std::u16string& name : names) {
            Dialogs().nameFavorite = [name](FavoriteRecord& record) {
                record.name = name;
                return 1;
            };
            Window().Dispatch(32794);  // the view centre, with the origin set
        }
    }

    PrivateDesktop desktop{true};  // a dialer is registered, so tel: addresses are taken
    UrlCatcher urls;
    std::shared_ptr<ScriptedDriver> driver = std::make_shared<ScriptedDriver>();
};

TEST_F(MapAndFavorites, ConfirmedMapIsRememberedAndOpensTheTargetsUrl) {
    Begin({"OrgFixedMode:1"});
    SelectFirstRow();
    Dialogs().confirmMap = [](Settings& settings, int& service, int& scaleIx) {
        EXPECT_EQ(service, 5);  // the stored choice is offered
        EXPECT_EQ(scaleIx, 7);
        settings.ConfBfrMapDispMode = 2;  // the box unchecked
        service = 1;
        scaleIx = 2;
        return 1;
    };
    Window().Dispatch(32785);  // the list's 地図表示
    EXPECT_EQ(Opened(), QStringList{kShop26Mapion});
    EXPECT_EQ(state->settings.MapSiteNo, 1);
    EXPECT_EQ(state->settings.MapScaleIx, 2);
    EXPECT_TRUE(Ini().contains(QStringLiteral("\r\nMapSiteNo:1\r\nMapScaleIx:2\r\n")));
    // Next time straight to the browser, with the remembered choice.
    Window().Dispatch(32785);
    EXPECT_EQ(Dialogs().mapConfirmations, 1);
    EXPECT_EQ(Opened(), QStringList({kShop26Mapion, kShop26Mapion}));
    EXPECT_TRUE(messages.records.empty());
}

TEST_F(MapAndFavorites, RunningPeriodicUpdateIsStoppedAndSaidBeforeTheBrowser) {
    Begin({"OrgFixedMode:1", "InfoUpdateMode:1", "AutoUpdateMode:1", "MthdGetLocInfo:2",
           "ConfBfrMapDispMode:2", "MapSiteNo:1", "MapScaleIx:2"},
          true);
    ASSERT_TRUE(Window().UpdateTimerRunning());
    SelectFirstRow();
    qsizetype opensWhenTold = -1;
    SetMessageHandler([&](const MessageRecord& r) {
        messages.records.push_back(r);
        opensWhenTold = urls.urls.size();
        return kAnswerOk;
    });
    Window().Dispatch(32785);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("地図を表示するため定期更新を停止しました。"),
              QStringLiteral("定期更新停止"), NoticeIcon::kInformation);
    EXPECT_EQ(opensWhenTold, 0);
    EXPECT_EQ(Opened(), QStringList{kShop26Mapion});
    EXPECT_FALSE(Window().UpdateTimerRunning());
    EXPECT_EQ(Window().SoftKeys()->LeftText(), QStringLiteral("更新再開"));
    EXPECT_EQ(state->settings.AutoUpdateMode, 2);
}

TEST_F(MapAndFavorites, CancelledConfirmationOpensNothingAndKeepsTheSettings) {
    Begin({"OrgFixedMode:1", "InfoUpdateMode:1", "AutoUpdateMode:1", "MthdGetLocInfo:2",
           "MapSiteNo:3", "MapScaleIx:4"},
          true);
    SelectFirstRow();
    Window().Dispatch(32785);  // the recorder cancels
    EXPECT_EQ(Dialogs().mapConfirmations, 1);
    EXPECT_TRUE(urls.urls.empty());
    EXPECT_EQ(state->settings.MapSiteNo, 3);
    EXPECT_EQ(state->settings.MapScaleIx, 4);
    EXPECT_EQ(state->settings.ConfBfrMapDispMode, 1);
    // The update was stopped all the same: the person had been told.
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_FALSE(Window().UpdateTimerRunning());
}

TEST_F(MapAndFavorites, RadarMenuActsOnTheMarkedTargetOrThePressedPoint) {
    Begin({"OrgFixedMode:1", "ConfBfrMapDispMode:2", "MapSiteNo:1", "MapScaleIx:2"});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    Window().Dispatch(2001);
    Window().Radar()->repaint();
    PixelPoint m = state->markerPos[0];
    std::vector<std::u16string> offered;
    Dialogs().nameFavorite = [&](FavoriteRecord& record) {
        offered.push_back(record.name);
        return 0;
    };
    Window().TapAndHoldAt(QPoint(m.x + 1, m.y + 1));
    Window().Dispatch(32792);  // 地図表示 on shop 26's label
    Window().Dispatch(32791);  // お気に入りに追加... with its name
    Window().TapAndHoldAt(QPoint(3, 3));
    Window().Dispatch(32791);  // off every label: the pressed point, no name
    Window().Dispatch(32787);  // 詳細表示... needs a label
    EXPECT_EQ(Opened(), QStringList{kShop26Mapion});
    EXPECT_EQ(offered, (std::vector<std::u16string>{u"店26", u""}));
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, QStringLiteral("項目が選択されていません。"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("未選択"));
    EXPECT_TRUE(messages.records[0].hasOwner);
    EXPECT_TRUE(Dialogs().details.empty());
}

TEST_F(MapAndFavorites, FavouriteIsOnDiskRightAfterItWasAdded) {
    Begin({"OrgFixedMode:1"});
    SelectFirstRow();
    Dialogs().nameFavorite = [](FavoriteRecord& record) {
        EXPECT_EQ(record.name, u"店26");  // the name column's text is offered
        record.name = u"いつもの店";
        return 1;
    };
    Window().Dispatch(32784);
    EXPECT_TRUE(Ini().contains(QStringLiteral("FavName:いつもの店\r\nFavLat:35/40/40.000\r\n")));
    EXPECT_EQ(FavoriteItems(), QStringList({"東京", "大阪", "いつもの店"}));
    EXPECT_TRUE(messages.records.empty());
}

TEST_F(MapAndFavorites, RenamingIndexThreeOfFiveChangesItem2004Only) {
    Begin({"OrgFixedMode:1"});
    Window().Dispatch(2001);
    AddFavorites({u"三", u"四", u"五"});
    ASSERT_EQ(FavoriteItems(), QStringList({"東京", "大阪", "三", "四", "五"}));
    std::u16string offered;
    Dialogs().nameFavorite = [&](FavoriteRecord& record) {
        offered = record.name;
        record.name = u"改名";
        return 1;
    };
    EXPECT_TRUE(Window().RenameFavorite(3));
    EXPECT_EQ(offered, u"四");
    EXPECT_EQ(Dialogs().favoriteTitles.back(), u"お気に入り名の変更");
    EXPECT_EQ(FavoriteItems(), QStringList({"東京", "大阪", "三", "改名", "五"}));
    EXPECT_TRUE(Ini().contains(QStringLiteral("FavName:改名")));
    EXPECT_FALSE(Ini().contains(QStringLiteral("FavName:四")));
    // A cancelled rename changes nothing.
    Dialogs().nameFavorite = [](FavoriteRecord&) { return 0; };
    EXPECT_FALSE(Window().RenameFavorite(3));
    EXPECT_EQ(state->favorites[3].name, u"改名");
}

TEST_F(MapAndFavorites, DeletingIndexZeroOfThreeRenumbersTheMenu) {
    Begin({"OrgFixedMode:1"});
    Window().Dispatch(2001);
    AddFavorites({u"三"});
    DmsAngle third = state->favorites[2].lat;
    EXPECT_TRUE(Window().DeleteFavorite(0));
    EXPECT_EQ(FavoriteItems(), QStringList({"大阪", "三"}));
    EXPECT_FALSE(Ini().contains(QStringLiteral("FavName:東京")));
    Window().Dispatch(2002);
    EXPECT_EQ(state->originLat, third);
    Window().Dispatch(2001);
    EXPECT_EQ(state->originLat, (DmsAngle{34, 41, 56, 0}));
    EXPECT_FALSE(Window().DeleteFavorite(2));  // past the end
}

TEST_F(MapAndFavorites, FailedSaveIsSaidAndTheFavouriteKept) {
    Begin({"OrgFixedMode:1"});
    Window().Dispatch(2001);
    state->settingsPath = Path("gone/zentorak.ini").toStdString();
    AddFavorites({u"三"});
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, QStringLiteral("設定ファイルの書込みに失敗しました。"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("設定ファイルエラー"));
    EXPECT_EQ(state->favorites.count(), 3);
    EXPECT_EQ(FavoriteItems(), QStringList({"東京", "大阪", "三"}));
}

TEST_F(MapAndFavorites, OrganiseThroughTheRealDialogs) {
    Begin({"OrgFixedMode:1"}, false, true);
    WhenModal<OrganizeFavoritesDialog>([this](OrganizeFavoritesDialog& organise) {
        organise.List()->setCurrentRow(1);
        WhenModal<FavoriteNameDialog>([](FavoriteNameDialog& name) {
            EXPECT_EQ(name.windowTitle(), QStringLiteral("お気に入り名の変更"));
            EXPECT_EQ(name.NameEdit()->text(), QStringLiteral("大阪"));
            name.OkButton()->click();  // the unchanged name exists: refused, still open
            name.NameEdit()->setText(QStringLiteral("西"));
            name.OkButton()->click();
        });
        organise.RenameButton()->click();
        EXPECT_EQ(organise.List()->item(1)->text(), QStringLiteral("西"));
        organise.List()->setCurrentRow(0);
        messages.answers = {kAnswerYes};
        organise.DeleteButton()->click();
        organise.DoneButton()->click();
    });
    Window().Dispatch(32795);
    ASSERT_EQ(messages.records.size(), 2u);
    EXPECT_EQ(messages.records[0].title, QStringLiteral("お気に入り名エラー"));
    EXPECT_EQ(messages.records[1].text,
              QStringLiteral("'東京'を一覧から削除してもよろしいですか？"));
    EXPECT_EQ(FavoriteItems(), QStringList{"西"});
    EXPECT_TRUE(Ini().contains(QStringLiteral("FavName:西")));
    EXPECT_FALSE(Ini().contains(QStringLiteral("FavName:東京")));
}

TEST_F(MapAndFavorites, DetailsButtonsCallMapAndAddThroughTheRealDialogs) {
    Begin({"OrgFixedMode:1", "MthdGetLocInfo:2"}, true, true);
    SelectFirstRow();
    const TargetRecord* shop = state->found.targets[0];
    WhenModal<FullScreenDetailsDialog>([this](FullScreenDetailsDialog& details) {
        EXPECT_EQ(details.List()->SendMessage(ILVM_GETCOUNT), 5);  // 店名, 住所, TEL, 緯度, 経度
        details.findChild<QPushButton*>("1102")->click();          // 電話
        WhenModal<MapConfirmDialog>([](MapConfirmDialog& map) { map.OkButton()->click(); });
        details.findChild<QPushButton*>("1104")->click();  // 地図表示
        WhenModal<FavoriteNameDialog>([](FavoriteNameDialog& name) {
            EXPECT_EQ(name.windowTitle(), QStringLiteral("お気に入りの追加"));
            name.OkButton()->click();  // the offered name, 店26
        });
        details.findChild<QPushButton*>("1103")->click();
        details.DoneButton()->click();
    });
    Window().Dispatch(32780);
    EXPECT_EQ(state->selectedTarget, 0);
    EXPECT_EQ(Opened(), QStringList({"tel:03-0000-0026", QString::fromStdString(MapUrl(
                                                             5, 7, shop->lat, shop->lon, true))}));
    EXPECT_EQ(FavoriteItems(), QStringList({"東京", "大阪", "店26"}));
    EXPECT_TRUE(Ini().contains(QStringLiteral("FavName:店26")));
    EXPECT_TRUE(messages.records.empty());
}

TEST_F(MapAndFavorites, DetailsModeOutsideOneAndTwoOpensNothing) {
    Begin({"OrgFixedMode:1", "DtlDlgMode:3"}, false, true);
    SelectFirstRow();
    bool opened = false;
    QTimer::singleShot(200, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    Window().Dispatch(32780);
    QTest::qWait(300);
    EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace zentorak::testing
