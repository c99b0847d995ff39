// Shows the item list control with long Japanese rows, some opened to five lines, the way the
// target details list uses it (a tap toggles a row's height). With --shot FILE it saves a
// picture and quits; with --flick PREFIX it also flicks the list with scripted stylus events
// and saves PREFIX-N.png at points of the coast, ending with the snapped list.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QVBoxLayout>

#include <cstdio>

#include "gui/controls/item_list_view.h"

using namespace zentorak;

namespace {

const char16_t* const kRows[] = {
    u"店舗名:ハートマート新宿西口店",
    u"住所:東京都新宿区西新宿一丁目二十三番四号 "
    u"新宿西口第二ビルディング一階および地下一階の食料品売場",
    u"電話番号:03-1234-5678",
    u"最寄駅:JR山手線・中央線・埼京線・湘南新宿ライン 新宿駅 西口から徒歩三分、都営大江戸線 "
    u"都庁前駅から徒歩五分",
    u"営業時間:平日 七時から二十三時まで、土曜・日曜・祝日 "
    u"八時から二十二時まで(年末年始は別途お知らせします)",
    u"サービス:"
    u"ATM、コピー機、宅配便受付、公共料金の支払い、各種チケットの発券、電子マネーのチャージ",
    u"備考:駐車場はありません。近隣の有料駐車場をご利用ください。",
    u"緯度:35/41/22.123",
    u"経度:139/41/58.456",
    u"店舗名:ハートマート渋谷道玄坂店",
    u"住所:東京都渋谷区道玄坂二丁目十番七号",
    u"電話番号:03-9876-5432",
    u"最寄駅:渋谷駅 ハチ公口から徒歩四分",
    u"営業時間:二十四時間営業",
};

// The details list's tap rule: a tap on a row toggles it between one and five lines.
void ToggleTappedRow(ItemListView& view) {
    if (view.SendMessage(ILVM_GETDRAGSTATE) != 0) {
        return;
    }
    MsgResult row = view.SendMessage(ILVM_GETPRESSED);
    MsgResult h = view.SendMessage(ILVM_GETITEMHEIGHT, static_cast<MsgWParam>(-1));
    if (row < 0) {
        return;
    }
    auto index = static_cast<MsgWParam>(row);
    bool open = (view.SendMessage(ILVM_GETITEMFLAGS, index) & ILVIF_OWNHEIGHT) != 0;
    view.SendMessage(ILVM_SETITEMHEIGHT, index, open ? h : 5 * h);
    view.SendMessage(ILVM_SETITEMFLAGS, index, open ? 0 : ILVIF_OWNHEIGHT);
    view.update();
}

void Save(QWidget& window, const QString& file) {
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    }
}

void Flick(QWidget& window, ItemListView& view, const QString& prefix) {
    QPoint from(100, 280);
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 5; ++step) {
        QTest::qWait(15);
        QTest::mouseMove(&view, from - QPoint(0, 40 * step));
    }
    QTest::mouseRelease(&view, Qt::LeftButton, {}, from - QPoint(0, 200));
    QElapsedTimer clock;
    clock.start();
    int shot = 0;
    for (int at : {40, 80, 120, 160, 200, 300}) {
        QTest::qWait(at - static_cast<int>(clock.elapsed()));
        Save(window, QStringLiteral("%1-%2.png").arg(prefix).arg(shot++));
        std::printf("t=%lld ms drag=%ld top=%ld stylus y=%d\n",
                    static_cast<long long>(clock.elapsed()),
                    static_cast<long>(view.SendMessage(ILVM_GETDRAGSTATE)),
                    static_cast<long>(view.SendMessage(ILVM_GETTOPINDEX)), view.Core().CurY());
    }
    if (!QTest::qWaitFor([&] { return view.SendMessage(ILVM_GETDRAGSTATE) == 0; }, 6000)) {
        std::fprintf(stderr, "the list did not stop coasting\n");
    }
    QTest::qWait(50);
    Save(window, QStringLiteral("%1-%2.png").arg(prefix).arg(shot));
    std::printf("snapped after %lld ms, top=%ld\n", static_cast<long long>(clock.elapsed()),
                static_cast<long>(view.SendMessage(ILVM_GETTOPINDEX)));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    if (RegisterItemListClass() != 0) {
        return 1;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("詳細"));
    window.resize(240, 320);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    ItemListView* view = ItemListView::Create(&window, 0x10, 1101);
    if (view == nullptr) {
        return 1;
    }
    layout->addWidget(view);
    ItemListView::Procedure previous = view->SetProcedure(
        [&previous](ItemListView& v, std::uint32_t msg, MsgWParam w, MsgLParam l) {
            MsgResult r = previous(v, msg, w, l);
            if (msg == wm::kLButtonUp) {
                ToggleTappedRow(v);
            }
            return r;
        });
    for (int copy = 0; copy < 4; ++copy) {  // long enough to coast through
        for (const char16_t* text : kRows) {
            InertListItem item{0, 0, const_cast<char16_t*>(text)};
            view->SendMessage(ILVM_ADDITEM, 0, reinterpret_cast<MsgLParam>(&item));
        }
    }
    MsgResult h = view->SendMessage(ILVM_GETITEMHEIGHT, static_cast<MsgWParam>(-1));
    for (MsgWParam row : {1u, 3u}) {
        view->SendMessage(ILVM_SETITEMHEIGHT, row, 5 * h);
        view->SendMessage(ILVM_SETITEMFLAGS, row, ILVIF_OWNHEIGHT);
    }
    QObject::connect(view, &ItemListView::notification,
                     [](int code) { std::printf("notification 0x%x\n", code); });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
    }
    qsizetype shot = args.indexOf(QStringLiteral("--shot"));
    qsizetype flick = args.indexOf(QStringLiteral("--flick"));
    if (shot > 0 && shot + 1 < args.size()) {
        Save(window, args[shot + 1]);
    }
    if (flick > 0 && flick + 1 < args.size()) {
        Flick(window, *view, args[flick + 1]);
    }
    return (shot > 0 || flick > 0) ? 0 : app.exec();
}
