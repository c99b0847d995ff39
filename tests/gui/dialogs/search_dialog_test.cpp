#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/dialogs/search_dialog.h"

namespace zentorak::testing {
namespace {

class Search : public AppFixture {
protected:
    void Begin(const char* mode) {
        WriteSettings({mode});
        ASSERT_TRUE(Start());
        Dialogs().search = [this](SearchTexts& texts) {
            ++shown;
            texts = scripted;
            return scripted == SearchTexts{} ? 0 : 1;
        };
    }
    int shown = 0;
    SearchTexts scripted;
};

TEST_F(Search, AnsweringNoKeepsFloatingModeAndShowsNoDialog) {
    Begin("OrgFixedMode:2");
    messages.answers = {kAnswerNo};
    scripted[1] = u"渋谷";
    Window().Dispatch(32776);
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].title, QStringLiteral("基点モード変更確認"));
    EXPECT_EQ(messages.records[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.records[0].icon, NoticeIcon::kQuestion);
    EXPECT_EQ(state->settings.OrgFixedMode, 2);
    EXPECT_EQ(shown, 0);
}

TEST_F(Search, AnsweringYesFixesTheOriginModeFirst) {
    Begin("OrgFixedMode:2");
    messages.answers = {kAnswerYes, kAnswerOk};
    scripted[0] = u"店07";
    Window().Dispatch(32776);
    EXPECT_EQ(state->settings.OrgFixedMode, 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(state->found.count, 1);
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->originLat, state->found.targets[0]->lat);
    EXPECT_EQ(messages.records.back().text, QStringLiteral("検索対象が1個見つかりました。"));
}

TEST_F(Search, FindingNothingClearsTheOrigin) {
    Begin("OrgFixedMode:1");
    Window().Dispatch(2001);
    ASSERT_EQ(state->originValid, 1);
    scripted[1] = u"梅田";
    Window().Dispatch(32776);
    EXPECT_EQ(state->originValid, 0);
    EXPECT_EQ(state->found.count, 0);
    EXPECT_EQ(Window().Panes().List()->columnCount(), 0);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("検索対象が見つかりませんでした。"),
              QStringLiteral("検索結果"), NoticeIcon::kInformation);
}

TEST_F(Search, FindingMoreThanTheListHoldsGrowsListAndMarkers) {
    Begin("OrgFixedMode:1");
    scripted[2] = u"03-";  // every shop's telephone number
    Window().Dispatch(32776);
    EXPECT_EQ(state->found.count, 30);
    EXPECT_GE(state->found.capacity(), 31);
    ASSERT_GE(state->markerPos.size(), state->found.targets.size());
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 30);
    EXPECT_EQ(messages.records.back().text, QStringLiteral("検索対象が30個見つかりました。"));
    // The grown marker array is painted whole: every found target gets a label position.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    Window().Radar()->repaint();
    EXPECT_EQ(state->paneMode, kPaneList);
    for (int i = 0; i < state->found.count; ++i) {
        EXPECT_EQ(state->markerPos[i], MarkerPosition(state->View(), state->found.targets[i]->lat,
                                                      state->found.targets[i]->lon, state->dpi))
            << i;
    }
    // Narrowing by two texts keeps only targets matching both.
    scripted[1] = u"渋谷";
    scripted[0] = u"店1";
    Window().Dispatch(32776);
    EXPECT_EQ(state->found.count, 5);  // 店10, 12, 14, 16, 18
}

TEST_F(Search, DialogClosedDoesNothing) {
    Begin("OrgFixedMode:1");
    Window().Dispatch(32776);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(messages.records.empty());
    EXPECT_EQ(state->originValid, 0);
}

TEST_F(Search, DialogRowsFollowPresentColumnsAndRefuseEmptyConditions) {
    WriteSettings();
    ASSERT_TRUE(Start());
    SearchDialog dialog(&Window(), state->columns);
    ASSERT_EQ(dialog.Edits().size(), 3);  // 店名, 住所, TEL
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("1154"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("住所:"));
    EXPECT_NE(dialog.findChild<QLineEdit*>(QStringLiteral("1157")), nullptr);
    dialog.Search();
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text,
              QStringLiteral("検索条件の指定がありません。検索条件を見直してください。"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("検索条件未指定"));
    EXPECT_EQ(dialog.result(), 0);
    dialog.Edits()[1]->setText(QStringLiteral("新宿"));
    dialog.Search();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.Texts()[1], u"新宿");  // 住所 is slot 3, info item 1
    EXPECT_TRUE(dialog.Texts()[0].empty());
    EXPECT_TRUE(dialog.Texts()[2].empty());
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST(SearchDialogLabels, LongCaptionsAreCutTo38Characters) {
    ColumnMap columns;
    columns.columnCaption[2] = std::u16string(45, u'長');
    columns.columnCaption[3] = std::u16string(38, u'短');
    SearchDialog dialog(nullptr, columns);
    auto* first = dialog.findChild<QLabel*>(QStringLiteral("1152"));
    auto* second = dialog.findChild<QLabel*>(QStringLiteral("1154"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->text(), QString(38, QChar(u'長')) + QStringLiteral(":"));
    EXPECT_EQ(second->text(), QString(38, QChar(u'短')) + QStringLiteral(":"));
}

}  // namespace
}  // namespace zentorak::testing
