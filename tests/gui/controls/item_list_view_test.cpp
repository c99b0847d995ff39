// The item list window in Qt: drawing through the slots, subclassing as the details list does
// it, fonts, keys, coast notifications and destroying the window while it coasts.
#include "gui/controls/item_list_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace zentorak {
namespace {

constexpr auto kMinusOne = static_cast<MsgWParam>(-1);

class ItemListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterItemListClass(), 0);
        parent = std::make_unique<QWidget>();
        parent->resize(240, 200);
        view = ItemListView::Create(parent.get(), 0x20, 1101);
        ASSERT_NE(view, nullptr);
        view->setGeometry(0, 0, 240, 200);
        h = static_cast<int>(view->SendMessage(ILVM_GETITEMHEIGHT, kMinusOne));
    }
    void AddRows(int n) {
        for (int i = 0; i < n; ++i) {
            std::u16string text = u"項目" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
            InertListItem item{0, 0, text.data()};
            ASSERT_EQ(view->SendMessage(ILVM_ADDITEM, 0, reinterpret_cast<MsgLParam>(&item)), 0);
        }
    }
    QRgb PixelAt(int x, int y) { return view->grab().toImage().pixel(x, y) & 0xFFFFFF; }
    void Tap(int y) { QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, y)); }

    std::unique_ptr<QWidget> parent;
    ItemListView* view = nullptr;
    int h = 0;
};

TEST_F(ItemListViewTest, DefaultHeightComesFromTheFont) {
    EXPECT_EQ(h, QFontMetrics(view->font()).height());
    EXPECT_GT(h, 0);
    EXPECT_EQ(view->TextFormat(), DT_SINGLELINE | DT_NOPREFIX);
}

TEST_F(ItemListViewTest, RowsEmptyRowsAndSeparatorsInTheirColours) {
    AddRows(2);
    EXPECT_EQ(PixelAt(200, 1), 0x4060C0u);          // colour 4, 0xC06040 as BGR
    EXPECT_EQ(PixelAt(200, h - 1), 0xF0F0F0u);      // separator: the row's last pixel row
    EXPECT_EQ(PixelAt(200, 2 * h + 1), 0xE0E0E0u);  // empty rows below the items
    view->SendMessage(ILVM_SETCOLOR + 2 * 0, 0, 0x0000FF);
    EXPECT_EQ(PixelAt(200, 2 * h + 1), 0xFF0000u);  // red
}

TEST_F(ItemListViewTest, PressedRowUsesPressedColoursWhileThePenIsDown) {
    AddRows(3);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(10, h + 2));
    EXPECT_EQ(view->SendMessage(ILVM_GETPRESSED), 1);
    EXPECT_EQ(PixelAt(200, h + 1), 0xDCDCDCu);
    EXPECT_EQ(PixelAt(200, 2 * h - 1), 0x000000u);
    EXPECT_EQ(PixelAt(200, 1), 0x4060C0u);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(10, h + 2));
    EXPECT_EQ(PixelAt(200, h + 1), 0x4060C0u);
}

// The details list's rule, as its own procedure will do it.
struct RowToggler {
    ItemListView::Procedure previous;
    MsgResult operator()(ItemListView& v, std::uint32_t msg, MsgWParam w, MsgLParam l) {
        MsgResult r = previous(v, msg, w, l);
        if (msg != wm::kLButtonUp || v.SendMessage(ILVM_GETDRAGSTATE) != 0) {
            return r;
        }
        MsgResult row = v.SendMessage(ILVM_GETPRESSED);
        MsgResult height = v.SendMessage(ILVM_GETITEMHEIGHT, kMinusOne);
        MsgResult first = row < 0 ? 0 : row;
        MsgResult last = row < 0 ? v.SendMessage(ILVM_GETCOUNT) - 1 : row;
        for (MsgResult i = first; i <= last; ++i) {
            auto index = static_cast<MsgWParam>(i);
            bool open = row >= 0 && (v.SendMessage(ILVM_GETITEMFLAGS, index) & ILVIF_OWNHEIGHT);
            v.SendMessage(ILVM_SETITEMHEIGHT, index, open ? height : 5 * height);
            v.SendMessage(ILVM_SETITEMFLAGS, index, open ? 0 : ILVIF_OWNHEIGHT);
        }
        v.repaint();
        return r;
    }
};

TEST_F(ItemListViewTest, SubclassSeesTapsAfterTheControl) {
    AddRows(3);
    auto* toggler = new RowToggler;
    toggler->previous =
        view->SetProcedure([toggler](ItemListView& v, std::uint32_t m, MsgWParam w, MsgLParam l) {
            return (*toggler)(v, m, w, l);
        });
    Tap(2);
    EXPECT_EQ(view->SendMessage(ILVM_GETITEMHEIGHT, 0), 5 * h);
    EXPECT_EQ(PixelAt(200, 2 * h), 0x4060C0u);  // row 0 now reaches down past 2h
    Tap(2);
    EXPECT_EQ(view->SendMessage(ILVM_GETITEMHEIGHT, 0), h);
    Tap(3 * h + 5);  // below the last row: every row opens
    for (MsgWParam i = 0; i < 3; ++i) {
        EXPECT_EQ(view->SendMessage(ILVM_GETITEMHEIGHT, i), 5 * h);
    }
    // Restoring the control's own procedure ends the subclass.
    view->SetProcedure(toggler->previous);
    delete toggler;
    Tap(2);
    EXPECT_EQ(view->SendMessage(ILVM_GETITEMHEIGHT, 0), 5 * h);
}

struct DrawnRow {
    void* target;
    MsgLParam msg;
    int index;
    QRect rect;
};
std::vector<DrawnRow> drawnRows;

MsgResult RecordRow(void* target, MsgLParam msg, MsgLParam, MsgLParam context) {
    const auto& dc = *reinterpret_cast<const InertDrawContext*>(context);
    drawnRows.push_back({target, msg, dc.index, *dc.rect});
    return 0;
}

TEST_F(ItemListViewTest, ReplacedDrawSlotGetsEachVisibleRow) {
    AddRows(2);
    drawnRows.clear();
    view->SendMessage(ILVM_SETCALLBACK, kSlotDrawRow, reinterpret_cast<MsgLParam>(&RecordRow));
    view->SendMessage(ILVM_SETITEMHEIGHT, 1, 30);
    view->SendMessage(ILVM_SETITEMFLAGS, 1, ILVIF_OWNHEIGHT);
    view->grab();
    ASSERT_EQ(drawnRows.size(), 2u);
    EXPECT_EQ(drawnRows[0].target, view);
    EXPECT_EQ(drawnRows[0].msg, static_cast<MsgLParam>(wm::kPaint));
    EXPECT_EQ(drawnRows[1].index, 1);
    EXPECT_EQ(drawnRows[1].rect, QRect(0, h, 240, 30));
}

TEST_F(ItemListViewTest, SetFontKeepsOwnHeights) {
    AddRows(2);
    view->SendMessage(ILVM_SETITEMHEIGHT, 0, 40);
    view->SendMessage(ILVM_SETITEMFLAGS, 0, ILVIF_OWNHEIGHT);
    QFont big = view->font();
    big.setPixelSize(40);
    view->SendMessage(wm::kSetFont, reinterpret_cast<MsgWParam>(&big));
    EXPECT_EQ(view->SendMessage(wm::kGetFont), reinterpret_cast<MsgResult>(&big));
    EXPECT_EQ(view->SendMessage(ILVM_GETITEMHEIGHT, kMinusOne), QFontMetrics(big).height());
    EXPECT_EQ(view->SendMessage(ILVM_GETITEMHEIGHT, 0), 40);
}

TEST_F(ItemListViewTest, EndKeyShowsTheLastPage) {
    AddRows(40);
    QTest::keyClick(view, Qt::Key_End);
    MsgResult top = view->SendMessage(ILVM_GETTOPINDEX);
    EXPECT_GT(top, 0);
    EXPECT_EQ(parent->focusWidget(), view);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(view->SendMessage(ILVM_GETTOPINDEX), top + 1);
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(view->SendMessage(ILVM_GETTOPINDEX), 0);
    QTest::keyClick(view, Qt::Key_NumberSign);  // shares its code with the End key's
    EXPECT_EQ(view->SendMessage(ILVM_GETTOPINDEX), 0);
}

void Flick(ItemListView* view, int fromY, int toY) {
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(10, fromY));
    QTest::mouseMove(view, QPoint(10, (fromY + toY) / 2));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(10, toY));
}

TEST_F(ItemListViewTest, CoastNotifiesTheParentOnItsThread) {
    AddRows(200);
    std::int64_t now = 1000;
    view->SetTiming([&now] { return now += 25; }, [](int) {});
    std::vector<int> codes;
    QObject::connect(view, &ItemListView::notification, [&](int code) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        codes.push_back(code);
    });
    Flick(view, 180, 20);
    EXPECT_EQ(view->SendMessage(ILVM_GETDRAGSTATE), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return codes.size() == 2; }, 5000));
    EXPECT_EQ(codes, (std::vector<int>{ILVN_COASTBEGIN, ILVN_COASTEND}));
    EXPECT_EQ(view->SendMessage(ILVM_GETDRAGSTATE), 0);
    EXPECT_GT(view->SendMessage(ILVM_GETTOPINDEX), 10);
}

TEST_F(ItemListViewTest, DestroyedWhileCoastingLeavesNoThread) {
    AddRows(200);
    auto sleeps = std::make_shared<std::atomic<int>>(0);
    view->SetTiming({}, [sleeps](int ms) {
        ++*sleeps;
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    });
    Flick(view, 180, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *sleeps >= 3; }, 5000));
    delete view;
    int after = *sleeps;
    QTest::qWait(100);  // queued repaints and the end of the coast must find nothing to run
    EXPECT_EQ(*sleeps, after);
}

}  // namespace
}  // namespace zentorak
