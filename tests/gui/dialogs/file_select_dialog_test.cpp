#include "gui/dialogs/file_select_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/app_fixture.h"
#include "gui/dialogs/dialog_driver.h"

namespace zentorak::testing {
namespace {

constexpr std::u16string_view kLocationFilter =
    u"CSVファイル (*.csv)|*.csv|テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*";

class FileSelect : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.isValid());
        Touch("shops.csv");
    }
    void Touch(const QString& name) {
        QFile file(tree.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    std::string Root() const { return tree.path().toStdString(); }
    QTemporaryDir tree;
    MessageRecorder messages;
};

TEST_F(FileSelect, RunChoosesATypedNameWithTheFirstPatternsExtension) {
    FileSelectDialog dialog;
    dialog.SetFilter(kLocationFilter);
    dialog.SetInitialFolder(u"/");
    dialog.SetInitialFileName(u"");
    dialog.SetMode(FSD_MUST_EXIST);
    dialog.SetTitle(u"入力元");
    dialog.SetFileSystemRoot(Root());
    WhenDialogOpens(QStringLiteral("入力元"), [](QDialog* d) {
        auto* window = static_cast<FileSelectWindow*>(d);
        window->NameBox()->setText(QStringLiteral("shops"));
        window->Command(1);
    });
    EXPECT_EQ(dialog.Run(nullptr, 0), 1);
    std::optional<std::u16string> path = dialog.GetResultPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(QString::fromStdU16String(*path), tree.filePath(QStringLiteral("shops.csv")));
    EXPECT_FALSE(dialog.GetResultPath().has_value());  // taken over
    EXPECT_TRUE(messages.records.empty());
}

}  // namespace
}  // namespace zentorak::testing
