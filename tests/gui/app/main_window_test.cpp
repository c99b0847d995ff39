// The main window's commands that are not the radar's: favourites, the list and log panes, the
// options' reload, the coordinate entry, and the list across position updates.
#include <QAction>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTest>

#include "core/resources/resource_ids.h"
#include "gui/app/main_window_fixture.h"
#include "gui/app/result_panes.h"
#include "gui/platform/qt_text.h"
#include "gui/resources/menu_builder.h"

namespace zentorak::testing {
namespace {

TEST_F(MainWindowTest, FavouriteBeforeAnyFixSetsOriginAndSearches) {
    ASSERT_EQ(state->originValid, 0);
    Window().Dispatch(2001);
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 20, 0}));
    EXPECT_EQ(state->found.count, 20);
    // The nearest is the shop standing on the favourite: row 4, column 2 of the lattice.
    EXPECT_EQ(state->found.targets[0]->Info(0), u"店26");
    EXPECT_EQ(state->paneMode, kPaneList);
    EXPECT_TRUE(Window().Panes().List()->isVisible());
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 20);
    EXPECT_EQ(Window().Panes().List()->headerItem()->text(1), QStringLiteral("店名"));
    EXPECT_EQ(Window().Panes().List()->topLevelItem(0)->text(1), QStringLiteral("店26"));
    // A command id past the favourites does nothing.
    Window().Dispatch(2003);
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
}

TEST_F(MainWindowTest, CommandsNeedingAnOriginSayItIsNotSet) {
    Window().Dispatch(32774);  // 地図表示
    Window().Dispatch(32787);  // radar 詳細表示
    ASSERT_EQ(messages.records.size(), 2u);
    for (const MessageRecord& r : messages.records) {
        EXPECT_EQ(r.text, QStringLiteral("位置が設定されていません。"));
        EXPECT_EQ(r.title, QStringLiteral("位置設定"));
        EXPECT_TRUE(r.hasOwner);  // over the window, and no wider than it
    }
    Window().Dispatch(32783);  // list 移動 without a selected row
    ASSERT_EQ(messages.records.size(), 3u);
    EXPECT_EQ(messages.records[2].text, QStringLiteral("項目が選択されていません。"));
    EXPECT_EQ(messages.records[2].title, QStringLiteral("未選択"));
}
TEST_F(MainWindowTest, CtrlAOpensAboutEvenFromTheLogPane) {
    Window().show();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Window().Panes().Log()->setFocus();
    QTest::keyClick(Window().Panes().Log(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Dialogs().abouts, 1);
    EXPECT_FALSE(Window().Panes().Log()->textCursor().hasSelection());
}

TEST_F(MainWindowTest, FilesFromOutsideAreAddedSavedAndLoaded) {
    WriteCp932File(Path("more.csv"), {"緯度,経度,店名", "35/40/40.000,139/46/20.000,新店"});
    Window().OpenLocationInfoFiles({Path("shops.csv"), Path("more.csv")});
    EXPECT_EQ(messages.records.size(), 1u);  // the one listed already
    EXPECT_TRUE(ReadCp932File(Path("zentorak.ini")).contains(Path("more.csv") + "\r\n"));
    EXPECT_EQ(state->grid.size(), 31u);  // the 30 shops and the new one
}

TEST_F(MainWindowTest, TogglePaneSwitchesListAndLog) {
    EXPECT_EQ(state->paneMode, kPaneLog);
    Window().Dispatch(32775);
    EXPECT_EQ(state->paneMode, kPaneList);
    EXPECT_TRUE(Window().Panes().List()->isVisible());
    EXPECT_FALSE(Window().Panes().Log()->isVisible());
    Window().Dispatch(32775);
    EXPECT_TRUE(Window().Panes().Log()->isVisible());
}

TEST_F(MainWindowTest, ListMoveInFixedModeBringsTargetToCentre) {
    FixAtTokyo();
    QTreeWidget* list = Window().Panes().List();
    list->setCurrentItem(list->topLevelItem(5));
    const TargetRecord* t = state->found.targets[5];
    Window().Dispatch(32783);
    PixelPoint p = PositionToPoint(state->View(), t->lat, t->lon);
    PixelPoint c = Window().ViewCentrePoint();
    EXPECT_LE(std::abs(p.x - c.x), 1);
    EXPECT_LE(std::abs(p.y - c.y), 1);
}

TEST_F(MainWindowTest, LogKeepsNewestLinesWithinItsBuffer) {
    for (int i = 0; i < 400; ++i) {
        // As the update cycle hands it over: the whole text so far plus one line.
        std::u16string line = ToU16(QStringLiteral("AT@LBC line %1 ").arg(i).repeated(4));
        Window().SetLogText(state->log.Text() + line + u"\r\n");
    }
    QString text = Window().Panes().Log()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("line 399")));
    EXPECT_FALSE(text.contains(QStringLiteral("START")));
    EXPECT_LE(state->log.Text().size(), ExchangeLog::kCapacity);
}

TEST_F(MainWindowTest, AddedFavouriteGetsTheNextMenuCommand) {
    FixAtTokyo();
    std::vector<std::u16string> offered;
    Dialogs().nameFavorite = [&](FavoriteRecord& record) {
        offered.push_back(record.name);
        record.name = u"いつもの店";
        return 1;
    };
    QTreeWidget* list = Window().Panes().List();
    list->setCurrentItem(list->topLevelItem(0));
    Window().Dispatch(32784);  // list: お気に入りに追加...
    ASSERT_EQ(offered, (std::vector<std::u16string>{u"店26"}));  // the name column's text
    ASSERT_EQ(state->favorites.count(), 3);
    QAction* item = res::FindCommand(Window().FavoritesMenu(), 2003);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("いつもの店"));
    // Choosing it moves the origin to the shop.
    Window().Dispatch(2001);
    Window().Dispatch(2003);
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 20, 0}));
    // A cancelled dialog adds nothing.
    Dialogs().nameFavorite = [](FavoriteRecord&) { return 0; };
    Window().Dispatch(32794);
    EXPECT_EQ(state->favorites.count(), 3);
}

// With as many favourites as the menu has ids and one more (a large settings file), the ids
// from 32771 up stay the program's commands, and a further favourite is refused with a word.
TEST_F(MainWindowTest, FavouritesBeyondTheMenusLastIdAreNeitherChosenNorAdded) {
    FixAtTokyo();
    while (state->favorites.count() < kMaxMenuFavorites + 1) {
        ASSERT_EQ(AddFavorite(state->favorites, {{40, 0, 0, 0}, {140, 0, 0, 0}, u"遠く"}), 0);
    }
    Window().RebuildFavoriteItems();
    EXPECT_EQ(res::FindCommand(Window().FavoritesMenu(), 32771), nullptr);
    ASSERT_NE(res::FindCommand(Window().FavoritesMenu(), 32770), nullptr);
    Window().Dispatch(32771);  // 更新, not the 30,771st favourite
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
    int named = 0;
    Dialogs().nameFavorite = [&](FavoriteRecord&) { return ++named; };
    Window().Dispatch(32794);  // お気に入りに追加...
    EXPECT_EQ(named, 0);
    EXPECT_EQ(state->favorites.count(), kMaxMenuFavorites + 1);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("お気に入りの数が上限に達しました。"),
              QStringLiteral("エラー"), NoticeIcon::kError);
}

TEST_F(MainWindowTest, AppliedOptionsReloadTargetsAndResizeArrays) {
    FixAtTokyo();
    Dialogs().applyOptions = [this] {
        state->settings.TrgtSrchNum = 40;
        return true;
    };
    Window().Dispatch(32772);
    EXPECT_EQ(state->found.capacity(), 41);
    EXPECT_EQ(state->markerPos.size(), 41u);
    EXPECT_EQ(state->grid.size(), 30u);
    EXPECT_EQ(state->found.count, 30);
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 30);
    // Options closed without applying change nothing.
    Dialogs().applyOptions = [this] {
        state->settings.TrgtSrchNum = 20;
        return false;
    };
    Window().Dispatch(32772);
    EXPECT_EQ(state->found.capacity(), 41);
}

TEST_F(MainWindowTest, TelephoneTextAndLogPaneForTheUpdateCycle) {
    EXPECT_EQ(Window().TelephoneText(0), std::nullopt);  // nothing found yet
    FixAtTokyo();
    EXPECT_EQ(Window().TelephoneText(0), std::optional<std::u16string>(u"03-0000-0026"));
    EXPECT_EQ(Window().TelephoneText(20), std::nullopt);
    Window().SetLogText(u"AT@LBC\r\nOK\r\n");
    Window().ShowLogPane();
    EXPECT_EQ(state->paneMode, kPaneLog);
    EXPECT_TRUE(Window().Panes().Log()->isVisible());
    EXPECT_EQ(Window().Panes().Log()->toPlainText(), QStringLiteral("AT@LBC\nOK\n"));
}

TEST_F(MainWindowTest, ListColumnsKeepUserWidthsAndCapAutoSizes) {
    FixAtTokyo();
    QTreeWidget* list = Window().Panes().List();
    const Dpi& d = state->dpi;
    // No, 店名, 住所, TEL and the empty last column.
    ASSERT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->headerItem()->text(4), QString());
    EXPECT_EQ(list->columnWidth(3), d.ScaleX(100));  // the last data column is not sized
    list->setColumnWidth(1, d.ScaleX(70));           // wider than 20: kept
    list->setColumnWidth(2, d.ScaleX(20));           // 20 or less: sized to content again
    Window().Panes().Fill(1000);
    EXPECT_EQ(list->columnWidth(1), d.ScaleX(70));
    EXPECT_GT(list->columnWidth(2), d.ScaleX(20));
    // An automatically sized column never takes more than half of the window.
    list->setColumnWidth(2, 5);
    Window().Panes().Fill(40);
    EXPECT_LE(list->columnWidth(2), 20);
}

TEST_F(MainWindowTest, EmptyFillLeavesNoColumns) {
    FixAtTokyo();
    state->found.count = 0;
    Window().Panes().Fill(240);
    EXPECT_EQ(Window().Panes().List()->columnCount(), 0);
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 0);
    EXPECT_TRUE(Window().Panes().List()->updatesEnabled());
}

TEST_F(MainWindowTest, CoordinateEntryStartsAtViewCentreAndSearchesAfter) {
    FixAtTokyo();
    Dialogs().enterCoordinates = [](DmsAngle& lat, DmsAngle& lon, Settings&) {
        lat = {35, 40, 0, 0};  // what the person chose
        lon = {139, 46, 50, 0};
        return 1;
    };
    Window().Dispatch(32779);
    ASSERT_EQ(Dialogs().coordinateStarts.size(), 1u);
    EXPECT_EQ(Dialogs().coordinateStarts[0].first.deg, 35);
    EXPECT_EQ(Dialogs().coordinateStarts[0].first.min, 40);
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 50, 0}));
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->found.targets[0]->Info(0), u"店05");  // SrchAfterJump 1: searched there
}

// Stands for a position update: each answer puts the origin at `to` and searches there, as the
// update cycle's position-ready does.
class WalkingUpdates : public PositionUpdates {
public:
    WalkingUpdates(MainWindow& window, AppState& state) : window_(window), state_(state) {}
    void UpdateNow(int) override {}
    void OnSoftKey() override {}
    void OnPositionReady(int) override {
        ++answers;
        state_.originLat = toLat;
        state_.originLon = toLon;
        window_.SearchAroundOrigin();
    }
    bool Busy() const override { return false; }
    void StopPeriodicUpdateFor(std::u16string_view) override {}
    DmsAngle toLat{35, 40, 0, 0};
    DmsAngle toLon{139, 46, 0, 0};
    int answers = 0;

private:
    MainWindow& window_;
    AppState& state_;
};

class WalkingListTest : public MainWindowTest {
protected:
    WalkingUpdates& Walk() {
        auto updates = std::make_unique<WalkingUpdates>(Window(), *state);
        WalkingUpdates& walk = *updates;
        Window().SetPositionUpdates(std::move(updates));
        return walk;
    }
    QTreeWidget* List() { return Window().Panes().List(); }
    int RowOf(const TargetRecord* t) {
        for (int i = 0; i < state->found.count; ++i) {
            if (state->found.targets[i] == t) {
                return i;
            }
        }
        return -1;
    }
};

TEST_F(WalkingListTest, SelectedTargetStaysSelectedAndInViewAfterAnUpdate) {
    FixAtTokyo();
    WalkingUpdates& walk = Walk();
    // The person scrolls to the last row and selects it; the next update finds the same places.
    const TargetRecord* chosen = state->found.targets[19];
    List()->setCurrentItem(List()->topLevelItem(19));
    List()->scrollToItem(List()->topLevelItem(19));
    walk.toLat = state->originLat;
    walk.toLon = state->originLon;
    Window().Dispatch(res::ID_POSITION_READY);
    ASSERT_EQ(walk.answers, 1);
    ASSERT_EQ(RowOf(chosen), 19);
    EXPECT_EQ(Window().Panes().SelectedRow(), 19);
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(19));
    QRect shown = List()->visualItemRect(List()->topLevelItem(19));
    EXPECT_GE(shown.top(), 0);  // in view (the row itself is wider than the pane)
    EXPECT_LE(shown.bottom(), List()->viewport()->height());
    // Walking towards it moves it up the list, still selected.
    const DmsAngle chosenLat = chosen->lat, chosenLon = chosen->lon;
    walk.toLat = {35, 40, chosenLat.sec >= 20 ? chosenLat.sec - 10 : chosenLat.sec + 10, 0};
    walk.toLon = chosen->lon;
    Window().Dispatch(res::ID_POSITION_READY);
    const int row = RowOf(chosen);
    ASSERT_GE(row, 0);
    ASSERT_LT(row, 19);
    EXPECT_EQ(Window().Panes().SelectedRow(), row);
    // Walking to the far corner of the shops leaves it behind, and nothing selected.
    walk.toLat = {35, 40, chosenLat.sec >= 20 ? 0 : 40, 0};
    walk.toLon = {139, 46, chosenLon.sec >= 25 ? 0 : 50, 0};
    Window().Dispatch(res::ID_POSITION_READY);
    ASSERT_EQ(RowOf(chosen), -1);
    EXPECT_EQ(Window().Panes().SelectedRow(), -1);
}

TEST_F(WalkingListTest, SeveralRowsMayBeSelectedAndTheFirstIsUsed) {
    FixAtTokyo();
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    List()->clearSelection();  // the search selected the first row
    List()->topLevelItem(7)->setSelected(true);
    List()->topLevelItem(3)->setSelected(true);
    Window().Dispatch(32780);  // 詳細表示
    EXPECT_EQ(details(), (std::vector<int>{3}));
    // Both stay selected through a refill.
    const TargetRecord* third = state->found.targets[3];
    const TargetRecord* seventh = state->found.targets[7];
    Window().SearchAroundOrigin();
    EXPECT_TRUE(List()->topLevelItem(RowOf(third))->isSelected());
    EXPECT_TRUE(List()->topLevelItem(RowOf(seventh))->isSelected());
}

// An update that arrives while the list's menu is open waits for its command: "詳細表示" opens
// the target the menu was opened on.
TEST_F(WalkingListTest, PopupCommandActsOnTheTargetItWasOpenedOn) {
    FixAtTokyo();
    WalkingUpdates& walk = Walk();
    const TargetRecord* chosen = state->found.targets[12];
    List()->setCurrentItem(List()->topLevelItem(12));
    const TargetRecord* opened = nullptr;
    Dialogs().onPopup = [&](int menuId) {
        ASSERT_EQ(menuId, res::IDR_LIST_POPUP);
        Window().Dispatch(res::ID_POSITION_READY);  // the periodic update's answer
        EXPECT_EQ(walk.answers, 0);
        Window().Dispatch(32780);
        ASSERT_EQ(details().size(), 1u);
        opened = state->found.targets[details()[0]];
    };
    emit List()->customContextMenuRequested(
        List()->visualItemRect(List()->topLevelItem(12)).center());
    EXPECT_EQ(opened, chosen);
    EXPECT_EQ(walk.answers, 1);  // handled once the menu had closed
    EXPECT_NE(state->found.targets[12], chosen);
}

TEST_F(WalkingListTest, AutoSizedColumnFitsItsCellsNotItsCaption) {
    FixAtTokyo();
    // A caption far wider than any shop's name.
    state->columns.columnCaption[2] = u"店名（正式な名称と支店名を含む）";
    List()->setColumnWidth(1, state->dpi.ScaleX(20));  // asks for the automatic size
    Window().Panes().Fill(2000);
    const int width = List()->columnWidth(1);
    EXPECT_LT(width, List()->header()->sectionSizeHint(1));
    EXPECT_GE(width, List()->fontMetrics().horizontalAdvance(QStringLiteral("店26")));
}

}  // namespace
}  // namespace zentorak::testing
