#include "gui/dialogs/options_sheet.h"

#include <QDir>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/resources/resource_ids.h"
#include "gui/dialogs/file_select_dialog.h"
#include "gui/dialogs/options_file_pages.h"
#include "gui/dialogs/options_general_pages.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

// The dialog lives only for this call, so it never outlives the page. It opens where the file
// chosen last was, for the whole run.
std::optional<std::u16string> ChooseLocationInfoFile(QWidget* page) {
    static std::u16string lastChosen;
    auto* files = qobject_cast<FilesPage*>(page);
    FileSelectDialog dialog;
    dialog.SetFilter(kAddFileFilter);
    dialog.SetInitialFolder(
        AddFileStartFolder(lastChosen, files ? files->Entries() : std::vector<std::u16string>{},
                           ToU16(QDir::homePath())));
    dialog.SetInitialFileName(u"");
    dialog.SetMode(FSD_MUST_EXIST);
    dialog.SetTitle(kAddFileTitle);
    dialog.Run(page, 0);
    std::optional<std::u16string> chosen = dialog.GetResultPath();
    if (chosen) {
        lastChosen = *chosen;
    }
    return chosen;
}

OptionsSheet::OptionsSheet(QWidget* owner, AppState& state, std::filesystem::path portFolder,
                           FileChooser chooser)
    : FullScreenDialog(owner, ToQString(kOptionsTitle)),
      state_(state),
      portFolder_(std::move(portFolder)),
      chooser_(std::move(chooser)),
      tabs_(new QTabWidget(this)),
      cancel_(new QPushButton(QStringLiteral("キャンセル"), this)) {
    // The handset's property sheets have their tabs below the pages.
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setUsesScrollButtons(true);
    // Tabs as narrow as their texts, so that all five fit the handset's width; where they still
    // do not, the scroll buttons reach the rest.
    tabs_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: %1px %2px; }")
                                       .arg(state_.dpi.ScaleY(3))
                                       .arg(state_.dpi.ScaleX(2)));
    // The pages are laid out for the whole width of the handset's screen: no frame, no margin.
    tabs_->setDocumentMode(true);
    tabs_->setAccessibleName(QStringLiteral("ページ"));
    layout()->setContentsMargins(0, state_.dpi.ScaleY(2), 0, 0);
    for (int page = 0; page < kOptionsPageCount; ++page) {
        slots_[static_cast<size_t>(page)] = new QWidget;
        auto* layout = new QVBoxLayout(slots_[static_cast<size_t>(page)]);
        layout->setContentsMargins(0, 0, 0, 0);
        tabs_->addTab(slots_[static_cast<size_t>(page)], ToQString(kOptionsPageTitles[page]));
    }
    ContentLayout()->addWidget(tabs_, 1);
    // The arrow keys already move between the tabs: their scroll arrows are for the pen only.
    for (QToolButton* arrow : tabs_->tabBar()->findChildren<QToolButton*>()) {
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAccessibleName(arrow->arrowType() == Qt::LeftArrow
                                     ? QStringLiteral("前のタブを表示")
                                     : QStringLiteral("次のタブを表示"));
    }
    cancel_->setObjectName(QString::number(res::IDC_OPTIONS_CANCEL));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &OptionsSheet::reject);
    // Pages are built when first shown.
    connect(tabs_, &QTabWidget::currentChanged, this, &OptionsSheet::BuildPage);
}

void OptionsSheet::ShowPage(int page) {
    page = std::clamp(page, 0, kOptionsPageCount - 1);
    tabs_->setCurrentIndex(page);
    BuildPage(page);
}

bool OptionsSheet::PageCreated(int page) const {
    switch (page) {
        case kGeneralPage:
            return general_ != nullptr;
        case kFilesPage:
            return files_ != nullptr;
        case kSpecialItemsPage:
            return specialItems_ != nullptr;
        case kMapPage:
            return map_ != nullptr;
        case kDevicePage:
            return device_ != nullptr;
        default:
            return false;
    }
}

void OptionsSheet::BuildPage(int page) {
    if (page < 0 || page >= kOptionsPageCount || PageCreated(page)) {
        return;
    }
    QWidget* slot = slots_[static_cast<size_t>(page)];
    const Dpi dpi = state_.dpi;
    QWidget* built = nullptr;
    switch (page) {
        case kGeneralPage:
            built = general_ = new GeneralPage(slot, dpi, state_.settings);
            break;
        case kFilesPage:
            built = files_ = new FilesPage(slot, dpi, state_.locationInfoFiles, chooser_);
            break;
        case kSpecialItemsPage:
            built = specialItems_ = new SpecialItemsPage(slot, dpi, state_.columns, state_.settings,
                                                         state_.locationInfoFiles,
                                                         [this] { return FilesPageEntries(); });
            break;
        case kMapPage:
            built = map_ = new MapPage(slot, dpi, state_.settings);
            break;
        case kDevicePage:
            built = device_ = new DevicePage(slot, dpi, state_.settings, portFolder_);
            break;
    }
    slot->layout()->addWidget(built);
    // Tab runs down the sheet as it is laid out: the buttons at the top, the page's controls
    // from the top down, then the tabs at the bottom.
    QWidget* previous = cancel_;
    for (QWidget* control : built->findChildren<QWidget*>()) {
        if ((control->focusPolicy() & Qt::TabFocus) && control->focusProxy() == nullptr &&
            control->window() == this) {
            setTabOrder(previous, control);
            previous = control;
        }
    }
    setTabOrder(previous, tabs_->tabBar());
}

const std::vector<std::u16string>* OptionsSheet::FilesPageEntries() const {
    return files_ != nullptr ? &files_->Entries() : nullptr;
}

OptionsPageValues OptionsSheet::PageValues() const {
    OptionsPageValues values;
    if (general_ != nullptr) {
        values.general = general_->Values();
    }
    if (files_ != nullptr) {
        values.files = files_->Entries();
    }
    if (specialItems_ != nullptr) {
        values.specialItems = specialItems_->Values();
    }
    if (map_ != nullptr) {
        values.map = map_->Values();
    }
    if (device_ != nullptr) {
        values.device = device_->Values();
    }
    return values;
}

// Cancel stays at the top right on every resize, beside the Done button of the title row.
void OptionsSheet::PlaceCancelButton() {
    const QRect done = DoneButton()->geometry();
    const int width = state_.dpi.ScaleX(68);
    cancel_->setGeometry(done.left() - state_.dpi.ScaleX(2) - width, done.top(), width,
                         done.height());
    cancel_->raise();
}

void OptionsSheet::resizeEvent(QResizeEvent* event) {
    FullScreenDialog::resizeEvent(event);
    PlaceCancelButton();
}

void OptionsSheet::OnDone() {
    optionsApplied_ = true;
    done(1);
}

// キャンセル, Escape and closing the window all cancel.
void OptionsSheet::reject() {
    optionsApplied_ = false;
    FullScreenDialog::reject();
}

int ShowOptionsSheet(QWidget* owner, int startPage, AppState& state,
                     const std::filesystem::path& portFolder, bool& optionsApplied) {
    OptionsSheet sheet(owner, state, portFolder);
    sheet.ShowPage(startPage);
    sheet.exec();
    optionsApplied = sheet.OptionsApplied();
    ReleaseOptionsPages(optionsApplied, sheet.PageValues(), state.settings,
                        state.locationInfoFiles);
    return 1;
}

}  // namespace zentorak
