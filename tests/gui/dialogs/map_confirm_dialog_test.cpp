#include "gui/dialogs/map_confirm_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "gui/dialogs/modal_helper.h"

namespace zentorak::testing {
namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

TEST(MapConfirmDialog, OpensOnTheStoredChoiceOrItsFallbacks) {
    struct Row {
        int site, scale;
        const char* service;
        const char* shownScale;
        int siteAfter;
    } rows[] = {
        {5, 7, "Google", "14", 5},
        {9, 12, "Mapion", "1/8000", 1},  // no such service, and 12 is past Mapion's nine
        {9, 7, "Mapion", "1/90万", 1},
        {2, 12, "MapFanWeb", "全国", 2},
    };
    for (const Row& row : rows) {
        Settings settings;
        settings.MapSiteNo = row.site;
        settings.MapScaleIx = row.scale;
        MapConfirmDialog dialog(nullptr, settings, Dpi{});
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("地図表示確認"));
        EXPECT_EQ(Items(dialog.Services()),
                  QStringList({"Mapion", "MapFanWeb", "Yahoo地図", "ちず丸", "Google", "地理院地図",
                               "OpenStreetMap"}));
        EXPECT_EQ(dialog.Services()->currentText(), QString::fromUtf8(row.service));
        EXPECT_EQ(dialog.Scales()->currentText(), QString::fromUtf8(row.shownScale));
        EXPECT_EQ(settings.MapSiteNo, row.siteAfter);
        EXPECT_TRUE(dialog.AskAgain()->isChecked());
        EXPECT_EQ(dialog.AskAgain()->text(), QStringLiteral("次回も地図表示前に接続確認する"));
    }
}

TEST(MapConfirmDialog, ServiceChosenInTheListStartsAtItsDefaultScale) {
    Settings settings;  // Google, 14
    MapConfirmDialog dialog(nullptr, settings, Dpi{});
    dialog.show();
    QComboBox* services = dialog.Services();
    services->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(services, Qt::Key_Up);  // through ちず丸 and Yahoo地図 to MapFanWeb
    }
    ASSERT_EQ(services->currentText(), QStringLiteral("MapFanWeb"));
    EXPECT_EQ(Items(dialog.Scales()),
              QStringList({"1/1562", "1/3125", "1/6250", "1/12500", "1/25000", "1/5万", "1/10万",
                           "1/20万", "1/40万", "1/80万", "1/160万", "全国"}));
    EXPECT_EQ(dialog.Scales()->currentText(), QStringLiteral("1/25000"));
    QTest::keyClick(dialog.Scales(), Qt::Key_Down);  // 1/5万
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(services, Qt::Key_Down);
    }
    // Back at Google: its default again, not what was chosen before.
    EXPECT_EQ(dialog.Scales()->count(), 20);
    EXPECT_EQ(dialog.Scales()->currentText(), QStringLiteral("14"));
}

TEST(MapConfirmDialog, OkHandsBackTheChoiceAndTheCheckBoxSetsTheMode) {
    Settings settings;
    settings.MapSiteNo = 1;
    settings.MapScaleIx = 2;
    int service = 0, scaleIx = 0;
    WhenModal<MapConfirmDialog>([](MapConfirmDialog& d) {
        QTest::keyClick(d.Scales(), Qt::Key_Down);  // 1/21000
        d.AskAgain()->setChecked(false);
        d.OkButton()->click();
    });
    ASSERT_EQ(RunMapConfirmDialog(nullptr, settings, Dpi{}, service, scaleIx), 1);
    EXPECT_EQ(service, 1);
    EXPECT_EQ(scaleIx, 3);
    EXPECT_EQ(settings.ConfBfrMapDispMode, 2);
    // The dialog hands the choice back; remembering it is the map command's business.
    EXPECT_EQ(settings.MapScaleIx, 2);
}

TEST(MapConfirmDialog, CancelChangesNothing) {
    Settings settings;
    int service = 0, scaleIx = 0;
    WhenModal<MapConfirmDialog>([](MapConfirmDialog& d) {
        d.AskAgain()->setChecked(false);
        d.CancelButton()->click();
    });
    EXPECT_EQ(RunMapConfirmDialog(nullptr, settings, Dpi{}, service, scaleIx), 0);
    EXPECT_EQ(settings.ConfBfrMapDispMode, 1);
    EXPECT_EQ(service, 0);
}

TEST(MapConfirmDialog, SitsCentredOverTheWindowBelowTheTaskBar) {
    QWidget window;
    window.setGeometry(100, 80, 480, 600);
    window.show();
    Settings settings;
    Dpi dpi{192, 192};
    MapConfirmDialog dialog(&window, settings, dpi);
    dialog.show();
    QRect area = window.geometry();
    EXPECT_EQ(dialog.x(), area.x() + (area.width() - dialog.width()) / 2);
    EXPECT_EQ(dialog.y(), area.y() + (area.height() - dialog.height()) / 2 + dpi.ScaleY(26));
}

}  // namespace
}  // namespace zentorak::testing
