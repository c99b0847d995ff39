// The real message box over a handset-sized window: no wider than the window, over its middle,
// its Japanese text broken only where Japanese allows a line to break.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTextLayout>
#include <QWidget>

#include "gui/platform/message_box.h"

namespace zentorak {
namespace {

// Lines of `text` as a word-wrapping label of this width lays them out.
QStringList LinesAt(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

TEST(MessageBox, FitsInsideItsOwnersWindowOverItsMiddle) {
    QWidget owner;
    owner.setGeometry(100, 80, 240, 294);  // the handset's window, in units
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const QString text = QStringLiteral(
        "基点モードが浮動になっています。検索するため固定に変更してもよろしいですか？");
    std::unique_ptr<QMessageBox> box =
        MakeMessageBox(&owner, {text, QStringLiteral("基点モード変更確認"), NoticeIcon::kQuestion,
                                MessageButtons::YesNo, true});
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    EXPECT_LE(box->width(), owner.width());
    EXPECT_LE(std::abs(box->geometry().center().x() - owner.geometry().center().x()), 2);
    EXPECT_LE(std::abs(box->geometry().center().y() - owner.geometry().center().y()), 2);
    // The whole text shows: the label is as tall as its wrapped lines.
    QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_LE(label->geometry().right(), box->width());
    box->close();
}

// What Qt's line breaking does with Japanese: a line never starts with a closing mark, a small
// kana or the long-vowel mark, and never ends with an opening bracket.
TEST(MessageBox, JapaneseLinesBreakOnlyWhereJapaneseAllows) {
    const QString text = QStringLiteral(
        "基点モードが浮動になっています。「検索」するため固定に変更してもよろしいですか？"
        "ポートを開くことができませんでした。現在地取得を中止します。");
    const QString noStart = QStringLiteral("。、」）？！ーっゃゅょァィゥェォッャュョ々ゝ");
    const QString noEnd = QStringLiteral("「（");
    QFont font;
    font.setPixelSize(12);
    int checkedLines = 0;
    for (int width = 40; width <= 200; width += 7) {
        const QStringList lines = LinesAt(text, font, width);
        ASSERT_GT(lines.size(), 1) << width;
        for (int i = 1; i < lines.size(); ++i) {
            EXPECT_FALSE(noStart.contains(lines[i].front()))
                << width << ": " << lines[i].toStdString();
            EXPECT_FALSE(noEnd.contains(lines[i - 1].back()))
                << width << ": " << lines[i - 1].toStdString();
            ++checkedLines;
        }
    }
    EXPECT_GT(checkedLines, 50);
}

}  // namespace
}  // namespace zentorak
