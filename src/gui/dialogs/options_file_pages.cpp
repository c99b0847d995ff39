#include "gui/dialogs/options_file_pages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

#include "core/resources/resource_ids.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

using namespace res;

FilesPage::FilesPage(QWidget* parent, Dpi dpi, const LocationInfoFileList& files, Chooser chooser)
    : OptionsPage(parent, dpi), list_(files), chooser_(std::move(chooser)) {
    AddStatic(QStringLiteral("位置情報ファイル："), 2, 2, 90, 15);
    listBox_ = new QListWidget(this);
    listBox_->setObjectName(QString::number(IDC_OPTIONS_FILE_LIST));
    listBox_->setSortingEnabled(false);
    // A long path is shortened in the middle, so that the file's name stays in view.
    listBox_->setTextElideMode(Qt::ElideMiddle);
    Place(listBox_, 2, 20, 236, 170);
    CaptionFor(listBox_);
    for (const std::u16string& entry : list_.Entries()) {
        listBox_->addItem(ToQString(entry));
    }
    add_ = new QPushButton(QStringLiteral("追加"), this);
    add_->setObjectName(QString::number(IDC_OPTIONS_FILE_ADD));
    Place(add_, 140, 200, 48, 18);
    delete_ = new QPushButton(QStringLiteral("削除"), this);
    delete_->setObjectName(QString::number(IDC_OPTIONS_FILE_DELETE));
    Place(delete_, 190, 200, 48, 18);
    UpdateButtons();
    connect(listBox_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(listBox_, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(add_, &QPushButton::clicked, this, &FilesPage::AddFile);
    connect(delete_, &QPushButton::clicked, this, &FilesPage::DeleteSelected);
}

void FilesPage::UpdateButtons() {
    add_->setEnabled(list_.CanAdd());
    delete_->setEnabled(!listBox_->selectedItems().isEmpty());
}

void FilesPage::AddFile() {
    if (!list_.CanAdd()) {
        return;
    }
    std::optional<std::u16string> path = chooser_ ? chooser_(this) : std::nullopt;
    if (!path) {
        return;
    }
    QString shown = ToQString(*path);
    switch (list_.Add(std::move(*path))) {
        case FileListPage::AddResult::kAdded:
            listBox_->addItem(shown);
            break;
        case FileListPage::AddResult::kDuplicate:
            ShowNotice(this, DuplicateFileNotice());
            break;
        case FileListPage::AddResult::kUnusableName:
            ShowNotice(this, UnusableFileNameNotice());
            break;
        case FileListPage::AddResult::kFull:
            break;
    }
    UpdateButtons();
}

void FilesPage::DeleteSelected() {
    QList<QListWidgetItem*> selected = listBox_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int row = listBox_->row(selected.first());
    const Notice question = DeleteFileQuestion(list_.Entries()[static_cast<size_t>(row)]);
    if (ShowNotice(this, question) != kAnswerYes) {
        return;
    }
    list_.Remove(row);
    delete listBox_->takeItem(row);
    listBox_->clearSelection();
    UpdateButtons();
}

// The list takes the page's height less the button row; the buttons keep their size at the
// bottom right, also on a page too low for them (then they sit below its edge).
void FilesPage::resizeEvent(QResizeEvent* event) {
    OptionsPage::resizeEvent(event);
    const int width = event->size().width();
    const int h = std::max(event->size().height(), dpi_.ScaleY(140));
    listBox_->resize(width - dpi_.ScaleX(4), h - dpi_.ScaleY(50));
    add_->move(width - dpi_.ScaleX(100), h - dpi_.ScaleY(20));
    delete_->move(width - dpi_.ScaleX(50), h - dpi_.ScaleY(20));
}

SpecialItemsPage::SpecialItemsPage(QWidget* parent, Dpi dpi, const ColumnMap& columns,
                                   const Settings& settings,
                                   const LocationInfoFileList& storedFiles,
                                   std::function<const std::vector<std::u16string>*()> filesPage)
    : OptionsPage(parent, dpi),
      settings_(settings),
      storedFiles_(storedFiles),
      filesPage_(std::move(filesPage)) {
    // Longer than the screen is wide: it wraps, and its second line ends left of the button.
    QLabel* prompt =
        new QLabel(QStringLiteral("位置情報ファイル中の特別項目を選択ください。"), this);
    prompt->setWordWrap(true);
    Place(prompt, 2, 2, 236, 16);
    prompt->resize(prompt->width(),
                   std::max(prompt->height(), prompt->heightForWidth(prompt->width())));
    auto* refresh = new QPushButton(QStringLiteral("項目名更新"), this);
    refresh->setObjectName(QString::number(IDC_REFRESH_CAPTIONS));
    Place(refresh, 160, 22, 78, 18);
    AddStatic(QStringLiteral("緯度(変更不可)："), 2, 42, 93, 16);
    lat_ = new QLineEdit(this);
    lat_->setObjectName(QString::number(IDC_LAT_CAPTION));
    lat_->setReadOnly(true);
    Place(lat_, 95, 42, 143, 18);
    CaptionFor(lat_);
    AddStatic(QStringLiteral("経度(変更不可)："), 2, 62, 93, 16);
    lon_ = new QLineEdit(this);
    lon_->setObjectName(QString::number(IDC_LON_CAPTION));
    lon_->setReadOnly(true);
    Place(lon_, 95, 62, 143, 18);
    CaptionFor(lon_);
    AddStatic(QStringLiteral("お気に入り名："), 2, 82, 93, 16);
    favName_ = AddList(IDC_FAV_NAME_COLUMN, 95, 82, 143, 120);
    AddStatic(QStringLiteral("電話番号："), 2, 102, 93, 16);
    tel_ = AddList(IDC_TEL_COLUMN, 95, 102, 143, 120);
    Show(SpecialItemsFromColumns(columns, settings));
    connect(refresh, &QPushButton::clicked, this, &SpecialItemsPage::RefreshCaptions);
    // Qt reports a pick only when it moves the selection.
    connect(favName_, &QComboBox::activated, this, [this] { favNamePicked_ = true; });
    connect(tel_, &QComboBox::activated, this, [this] { telPicked_ = true; });
}

void SpecialItemsPage::Show(const SpecialItemsView& view) {
    if (view.latCaption) {
        lat_->setText(ToQString(*view.latCaption));
    }
    if (view.lonCaption) {
        lon_->setText(ToQString(*view.lonCaption));
    }
    for (auto [list, entry] : {std::pair{favName_, view.favNameEntry}, {tel_, view.telEntry}}) {
        list->clear();
        for (const std::u16string& caption : view.captions) {
            list->addItem(ToQString(caption));
        }
        list->setCurrentIndex(entry);
    }
    favNamePicked_ = telPicked_ = false;
}

void SpecialItemsPage::RefreshCaptions() {
    std::optional<SpecialItemsView> view =
        SpecialItemsFromFirstFile(filesPage_ ? filesPage_() : nullptr, storedFiles_, settings_);
    if (!view) {
        ShowNotice(this, CaptionsUnreadableNotice());
        return;
    }
    Show(*view);
}

SpecialItemsValues SpecialItemsPage::Values() const {
    return {favName_->currentIndex(), ToU16(favName_->currentText()),
            tel_->currentIndex(),     ToU16(tel_->currentText()),
            favNamePicked_,           telPicked_};
}

}  // namespace zentorak
