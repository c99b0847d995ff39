#include "gui/dialogs/file_select_dialog.h"

#include <unistd.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "core/text/code_page.h"
#include "core/text/file_names.h"
#include "gui/app/app_fixture.h"
#include "gui/dialogs/dialog_driver.h"
#include "gui/dialogs/value_input_dialog.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/platform/tap_and_hold.h"

namespace zentorak::testing {
namespace {

constexpr std::u16string_view kLocationFilter =
    u"CSVファイル (*.csv)|*.csv|テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*";

// Waits for the next pop-up menu and chooses its item `text` with the keyboard, as a user would;
// an empty text dismisses the menu. Keys sent before the menu is ready are lost, so they are sent
// again until the menu has gone; a menu that never opens is a failure, not a hang.
void WhenMenuOpens(const QString& text) {
    struct Progress {
        int ticks = 0;
        bool acted = false;
    };
    auto* timer = new QTimer;
    auto* progress = new Progress;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, progress, text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        bool gone = progress->acted && menu == nullptr;
        if (gone || ++progress->ticks > 500) {
            if (!gone) {
                ADD_FAILURE() << "the menu did not open and close";
                if (menu != nullptr) {
                    menu->close();
                }
            }
            timer->stop();
            timer->deleteLater();
            delete progress;
            return;
        }
        if (menu == nullptr || !menu->isVisible()) {
            return;
        }
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (!text.isEmpty() && action->text() == text) {
                chosen = action;
            }
        }
        if (chosen == nullptr && !text.isEmpty()) {
            ADD_FAILURE() << "no menu item " << text.toStdString();
        }
        progress->acted = true;
        if (chosen != nullptr) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    });
    timer->start();
}

// Types into the value input dialog titled `caption` and presses OK.
void AnswerValueInput(const QString& caption, const QString& text) {
    WhenDialogOpens(caption, [text](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("1500"))->setText(text);
        dialog->findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
}

// A temporary tree shown as the root: /data/ (/data/inner.csv), /shops.csv, /notes.txt.
class FileSelect : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.isValid());
        ASSERT_TRUE(QDir(tree.path()).mkpath(QStringLiteral("data")));
        Touch("shops.csv");
        Touch("notes.txt");
        Touch("data/inner.csv");
    }
    void Touch(const std::string& name) {
        std::string path = tree.path().toStdString() + "/" + name;
        FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    bool Exists(const std::string& name) const {
        return ::access((tree.path().toStdString() + "/" + name).c_str(), F_OK) == 0;
    }
    FileSelectSetup Setup(std::u16string_view filter = kLocationFilter) const {
        return {std::u16string(filter),   u"/", u"", u"入力元", FSD_MUST_EXIST,
                tree.path().toStdString()};
    }
    void Configure(FileSelectDialog& dialog) const {
        dialog.SetFilter(kLocationFilter);
        dialog.SetInitialFolder(u"/");
        dialog.SetInitialFileName(u"");
        dialog.SetMode(FSD_MUST_EXIST);
        dialog.SetTitle(u"入力元");
        dialog.SetFileSystemRoot(tree.path().toStdString());
    }
    static QPoint RowPoint(QListWidget* list, const QString& text) {
        const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << text.toStdString();
        return items.isEmpty() ? QPoint() : list->visualItemRect(items.first()).center();
    }
    static void Tap(QListWidget* list, const QString& text) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, text));
    }

    QTemporaryDir tree;
    MessageRecorder messages;
};

TEST_F(FileSelect, RunChoosesATypedNameWithTheFirstPatternsExtension) {
    FileSelectDialog dialog;
    Configure(dialog);
    WhenDialogOpens(QStringLiteral("入力元"), [](QDialog* d) {
        auto* window = static_cast<FileSelectWindow*>(d);
        window->TypeBox()->setCurrentIndex(1);  // the *.txt type does not change the extension
        window->NameBox()->setText(QStringLiteral("shops"));
        window->findChild<QPushButton*>(QStringLiteral("1450"))->click();
    });
    EXPECT_EQ(dialog.Run(nullptr, 0), 1);
    std::optional<std::u16string> path = dialog.GetResultPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(ToQString(*path), tree.filePath(QStringLiteral("shops.csv")));
    EXPECT_FALSE(dialog.GetResultPath().has_value());  // taken over
    EXPECT_TRUE(messages.records.empty());
}

// The refused name must not come back when the window is then closed or cancelled.
TEST_F(FileSelect, AMissingFileIsRefusedAndClosingGivesNoResult) {
    for (bool closeWindow : {true, false}) {
        FileSelectDialog dialog;
        Configure(dialog);
        WhenDialogOpens(QStringLiteral("入力元"), [closeWindow](QDialog* d) {
            auto* window = static_cast<FileSelectWindow*>(d);
            window->NameBox()->setText(QStringLiteral("missing"));
            window->Command(1);
            EXPECT_TRUE(window->isVisible());
            if (closeWindow) {
                window->close();
            } else {
                window->findChild<QPushButton*>(QStringLiteral("1451"))->click();
            }
        });
        EXPECT_EQ(dialog.Run(nullptr, 0), 0);
        EXPECT_FALSE(dialog.GetResultPath().has_value());
        ASSERT_EQ(messages.records.size(), 1u);
        ExpectBox(messages.records[0], QStringLiteral("指定されたファイルは存在しません。"),
                  QStringLiteral("ファイル名不正"), NoticeIcon::kExclamation);
        EXPECT_TRUE(messages.records[0].hasOwner);
        messages.records.clear();
    }
}

TEST_F(FileSelect, ATapOpensAFolderOrCopiesAFileName) {
    FileSelectWindow window(nullptr, Setup());
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("入力元"));
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/"));
    EXPECT_EQ(window.List()->count(), 2);  // "+data", " shops.csv"
    EXPECT_EQ(window.List()->item(0)->text(), QStringLiteral("+data"));
    Tap(window.List(), QStringLiteral("+data"));
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/data"));
    Tap(window.List(), QStringLiteral(" inner.csv"));
    EXPECT_EQ(window.NameBox()->text(), QStringLiteral("inner.csv"));
    EXPECT_TRUE(window.NameBox()->hasFocus() || !QApplication::activeWindow());
    // The left soft key goes up, as does "↑"; the right one offers the dialog's menu.
    EXPECT_EQ(window.SoftKeys()->LeftText(), QStringLiteral("上へ"));
    EXPECT_EQ(window.SoftKeys()->RightText(), QStringLiteral("メニュー"));
    QStringList items;
    for (QAction* action : window.SoftKeys()->RightMenu()->actions()) {
        items << action->text();
    }
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("新規フォルダー"), QString(), QStringLiteral("閉じる")}));
    window.SoftKeys()->PressLeft();
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/"));
    EXPECT_TRUE(messages.records.empty());
}

// A double-click arrives as a click, then a press with the double-click event.
TEST_F(FileSelect, ADoubleClickOpensOneLevelOrChoosesTheFile) {
    QDir(tree.path()).mkpath(QStringLiteral("data/sub"));
    FileSelectWindow window(nullptr, Setup());
    window.show();
    for (const QString& row : {QStringLiteral("+data"), QStringLiteral(" inner.csv")}) {
        const QPoint point = RowPoint(window.List(), row);
        QTest::mouseClick(window.List()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(window.List()->viewport(), Qt::LeftButton, {}, point);
        EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/data"));
    }
    ASSERT_TRUE(window.ResultPath().has_value());
    EXPECT_EQ(ToQString(*window.ResultPath()), tree.filePath(QStringLiteral("data/inner.csv")));
}

TEST_F(FileSelect, HeldRowMenuActsOnTheRowUnderThePen) {
    Touch("other.csv");
    FileSelectWindow window(nullptr, Setup());
    window.show();
    Tap(window.List(), QStringLiteral(" shops.csv"));
    ASSERT_EQ(window.NameBox()->text(), QStringLiteral("shops.csv"));
    // A right press on another row: "削除" deletes that row, not the one selected before.
    messages.answers = {kAnswerYes};
    WhenMenuOpens(QStringLiteral("削除"));
    QTest::mousePress(window.List()->viewport(), Qt::RightButton, {},
                      RowPoint(window.List(), QStringLiteral(" other.csv")));
    QTest::qWait(50);
    QTest::mouseRelease(window.List()->viewport(), Qt::RightButton, {},
                        RowPoint(window.List(), QStringLiteral(" shops.csv")));
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_TRUE(messages.records[0].text.endsWith(
        QStringLiteral("/other.csv\"を削除してもよろしいですか？")));
    EXPECT_EQ(messages.records[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_FALSE(Exists("other.csv"));
    EXPECT_TRUE(Exists("shops.csv"));
    EXPECT_EQ(window.NameBox()->text(), QStringLiteral("shops.csv"));  // the held row not opened

    // A dismissed menu leaves the held row to open on the next tap.
    WhenMenuOpens(QString());
    QTest::mouseClick(window.List()->viewport(), Qt::RightButton, {},
                      RowPoint(window.List(), QStringLiteral("+data")));
    QTest::qWait(50);
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/"));
    Tap(window.List(), QStringLiteral("+data"));
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/data"));
    window.Command(40004);

    // A held folder row is not opened: its menu renames it through the value input dialog.
    WhenMenuOpens(QStringLiteral("名前の変更"));
    AnswerValueInput(QStringLiteral("変更後の名称"), QStringLiteral("資料"));
    QPoint folder = RowPoint(window.List(), QStringLiteral("+data"));
    QTest::mousePress(window.List()->viewport(), Qt::LeftButton, {}, folder);
    QTest::qWait(TapAndHold::kHoldMs + 300);
    QTest::mouseRelease(window.List()->viewport(), Qt::LeftButton, {}, folder);
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/"));
    EXPECT_TRUE(Exists("資料/inner.csv"));
    EXPECT_EQ(window.List()->item(0)->text(), QStringLiteral("+資料"));
}

TEST_F(FileSelect, NewFolderInTheRootThroughTheValueInput) {
    FileSelectWindow window(nullptr, Setup());
    window.show();
    AnswerValueInput(QStringLiteral("新規フォルダ名"), QStringLiteral("新しい"));
    window.Command(32799);
    EXPECT_TRUE(Exists("新しい"));
    EXPECT_EQ(window.FolderBox()->text(), QStringLiteral("/"));
    EXPECT_EQ(window.List()->findItems(QStringLiteral("+新しい"), Qt::MatchExactly).size(), 1);
    // An empty name is refused by the dialog, not by the value input.
    AnswerValueInput(QStringLiteral("新規フォルダ名"), QString());
    window.Command(32799);
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].title, QStringLiteral("名称未入力"));
    EXPECT_EQ(messages.records[0].icon, NoticeIcon::kError);
}

TEST_F(FileSelect, AMalformedFilterKeepsWorkingWithItsFirstPattern) {
    Touch("x.a");
    FileSelectWindow window(nullptr, Setup(u"A|*.a|B"));
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("内部エラー(ファイルフィルタの定義不正)"),
              QStringLiteral("内部エラー"), NoticeIcon::kError);
    ASSERT_EQ(window.TypeBox()->count(), 1);
    EXPECT_EQ(window.TypeBox()->itemText(0), QStringLiteral("A"));
    ASSERT_EQ(window.List()->count(), 2);
    EXPECT_EQ(window.List()->item(1)->text(), QStringLiteral(" x.a"));
}

// A Latin-1 name: listed with a replacement mark, chosen by its own bytes.
TEST_F(FileSelect, ANameThatIsNotUtf8IsListedAndChosen) {
    Touch("caf\xe9.csv");
    FileSelectDialog dialog;
    Configure(dialog);
    WhenDialogOpens(QStringLiteral("入力元"), [](QDialog* d) {
        auto* window = static_cast<FileSelectWindow*>(d);
        Tap(window->List(), QStringLiteral(" caf\uFFFD.csv"));
        EXPECT_EQ(window->NameBox()->text(), QStringLiteral("caf\uFFFD.csv"));
        window->Command(1);
    });
    EXPECT_EQ(dialog.Run(nullptr, 0), 1);
    std::optional<std::u16string> path = dialog.GetResultPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(FileNameFromUtf16(*path), tree.path().toStdString() + "/caf\xe9.csv");
    EXPECT_TRUE(messages.records.empty());
    // QTemporaryDir cannot name it to clean up.
    EXPECT_EQ(::unlink(FileNameFromUtf16(*path).c_str()), 0);
}

TEST(ValueInput, OkCancelAndClose) {
    struct Row {
        const char* typed;  // null: leave the box as it is
        int how;            // kValueInputOk, kValueInputCancel or kValueInputClosed
        std::optional<std::u16string> text;
    } rows[] = {
        {"新しい名前", kValueInputOk, u"新しい名前"},
        {"", kValueInputOk, u""},  // an empty box is an empty text, not a cancel
        {nullptr, kValueInputOk, u"元の名前"},
        {"変えた", kValueInputCancel, std::nullopt},
        {"変えた", kValueInputClosed, std::nullopt},
        {nullptr, kValueInputClosed, std::nullopt},  // the initial text is not handed back
    };
    for (const Row& row : rows) {
        ValueInputDialog prompt;
        prompt.caption = u"変更後の名称";
        prompt.text = u"元の名前";
        WhenDialogOpens(QStringLiteral("変更後の名称"), [&row](QDialog* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("1500"));
            EXPECT_EQ(edit->text(), QStringLiteral("元の名前"));
            if (row.typed != nullptr) {
                edit->setText(QString::fromUtf8(row.typed));
            }
            if (row.how == kValueInputClosed) {
                dialog->close();
            } else {
                dialog->findChild<QPushButton*>(QString::number(row.how))->click();
            }
        });
        EXPECT_EQ(prompt.Run(nullptr), row.how);
        EXPECT_EQ(prompt.text, row.text);
    }
}

TEST(ValueInput, DefaultCaptionAndSize) {
    ValueInputDialog prompt;
    QSize size;
    WhenDialogOpens(QStringLiteral("値の入力"), [&size](QDialog* dialog) {
        size = dialog->size();
        EXPECT_TRUE(dialog->findChild<QLineEdit*>(QStringLiteral("1500"))->text().isEmpty());
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(prompt.Run(nullptr), kValueInputCancel);
    EXPECT_FALSE(prompt.text.has_value());
    Dpi dpi = ScreenDpi();
    EXPECT_EQ(size, QSize(dpi.ScaleX(230), dpi.ScaleY(70)));
}

}  // namespace
}  // namespace zentorak::testing
