#include "gui/dialogs/options_general_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTreeView>

#include "core/resources/resource_ids.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

using namespace res;

namespace {

template <typename Texts>
void Fill(QComboBox* list, const Texts& texts) {
    for (std::u16string_view text : texts) {
        list->addItem(ToQString(text));
    }
}

}  // namespace

// The pages' templates use a 9-point font, 12 pixels at 96 dpi. Check boxes take more room here
// than on the handset, so one pixel less keeps the longest captions inside the screen.
OptionsPage::OptionsPage(QWidget* parent, Dpi dpi) : QWidget(parent), dpi_(dpi) {
    QFont templateFont = font();
    templateFont.setPixelSize(dpi_.ScaleY(11));
    setFont(templateFont);
}

void OptionsPage::Place(QWidget* control, int x, int y, int w, int h) const {
    control->setGeometry(dpi_.ScaleX(x), dpi_.ScaleY(y), dpi_.ScaleX(w), dpi_.ScaleY(h));
}

// A caption wider than its template's box (the fonts here are wider than the handset's) gets
// the width it needs rather than being cut off.
void OptionsPage::PlaceText(QWidget* control, int x, int y, int w, int h) const {
    Place(control, x, y, w, h);
    control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
}

QLabel* OptionsPage::AddStatic(const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, this);
    PlaceText(label, x, y, w, h);
    caption_ = label;
    return label;
}

void OptionsPage::CaptionFor(QWidget* field) {
    if (caption_ != nullptr) {
        caption_->setBuddy(field);
        caption_ = nullptr;
    }
}

QCheckBox* OptionsPage::AddCheck(int id, const QString& text, bool checked, int x, int y, int w,
                                 int h) {
    auto* check = new QCheckBox(text, this);
    check->setObjectName(QString::number(id));
    check->setChecked(checked);
    PlaceText(check, x, y, w, h);
    return check;
}

// The closed list is one row high; the template's height is what the open list may take.
QComboBox* OptionsPage::AddList(int id, int x, int y, int w, int h) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::number(id));
    list->setMaxVisibleItems(std::max(1, h / 16));
    Place(list, x, y, w, 20);
    CaptionFor(list);
    return list;
}

GeneralPage::GeneralPage(QWidget* parent, Dpi dpi, const Settings& settings)
    : OptionsPage(parent, dpi) {
    const GeneralPageValues page = GeneralPageFrom(settings);
    AddStatic(QStringLiteral("探索個数："), 2, 2, 60, 16);
    searchCount_ = AddList(IDC_SEARCH_COUNT, 65, 2, 50, 100);
    Fill(searchCount_, kSearchCountEntries);
    searchCount_->setCurrentIndex(page.searchCountEntry);
    startupSearch_ = AddCheck(IDC_STARTUP_SEARCH, QStringLiteral("起動時に探索する"),
                              page.startupSearch, 2, 22, 120, 16);
    AddStatic(QStringLiteral("更新頻度："), 2, 42, 60, 16);
    updateMode_ = AddList(IDC_UPDATE_MODE, 65, 42, 80, 80);
    Fill(updateMode_, kUpdateModeEntries);
    updateMode_->setCurrentIndex(page.updateModeEntry);
    saveUpdateState_ =
        AddCheck(IDC_SAVE_UPDATE_STATE, QStringLiteral("終了時、定期更新の状態を保存する"),
                 page.saveUpdateState, 2, 62, 205, 16);
    searchAfterJump_ = AddCheck(IDC_SEARCH_AFTER_JUMP, QStringLiteral("座標指定後に探索する"),
                                page.searchAfterJump, 2, 82, 140, 16);
    fullScreenDetails_ =
        AddCheck(IDC_FULL_SCREEN_DETAILS, QStringLiteral("詳細ダイアログを全画面で表示"),
                 page.fullScreenDetails, 2, 102, 175, 16);
}

GeneralPageValues GeneralPage::Values() const {
    return {searchCount_->currentIndex(),  startupSearch_->isChecked(),
            updateMode_->currentIndex(),   saveUpdateState_->isChecked(),
            searchAfterJump_->isChecked(), fullScreenDetails_->isChecked()};
}

MapPage::MapPage(QWidget* parent, Dpi dpi, Settings& settings)
    : OptionsPage(parent, dpi), shown_(MapPageFrom(settings)) {
    AddStatic(QStringLiteral("利用する地図サービス："), 2, 2, 120, 15);
    // Both lists are wider than on the handsets (100 and 70), so that "OpenStreetMap" and
    // "1/25000" show whole in this font.
    service_ = AddList(IDC_MAP_SERVICE, 122, 2, 116, 80);
    Fill(service_, MapServiceEntries());
    service_->setCurrentIndex(shown_.serviceEntry);
    AddStatic(QStringLiteral("縮尺："), 2, 22, 38, 15);
    scale_ = AddList(IDC_MAP_SCALE, 40, 22, 84, 120);
    FillScales();
    googleCorrection_ = AddCheck(IDC_GOOGLE_CORRECTION, QStringLiteral("座標値のGoogle補正を行う"),
                                 shown_.googleCorrection, 2, 42, 190, 16);
    confirm_ = AddCheck(IDC_CONFIRM_MAP, QStringLiteral("地図表示の前に接続確認をする"),
                        shown_.confirmBeforeMap, 2, 62, 190, 16);
    remember_ = AddCheck(IDC_REMEMBER_SCALE, QStringLiteral("接続確認時に設定した縮尺を記憶する"),
                         shown_.rememberScale, 22, 82, 220, 16);
    remember_->setEnabled(RememberScaleEnabled(shown_));
    // Only a choice the person makes (the list closed on an entry, or a key) changes the scales.
    connect(service_, &QComboBox::activated, this, &MapPage::ServiceChosen);
    connect(confirm_, &QCheckBox::clicked, this, [this](bool checked) {
        shown_.confirmBeforeMap = checked;
        remember_->setEnabled(RememberScaleEnabled(shown_));
    });
}

void MapPage::FillScales() {
    scale_->clear();
    Fill(scale_, ScaleEntries(shown_.serviceEntry));
    scale_->setCurrentIndex(shown_.scaleEntry);
}

void MapPage::ServiceChosen(int entry) {
    if (entry == shown_.serviceEntry) {
        return;
    }
    ChangeMapService(shown_, entry);
    FillScales();
}

MapPageValues MapPage::Values() const {
    return {service_->currentIndex(), scale_->currentIndex(), googleCorrection_->isChecked(),
            confirm_->isChecked(), remember_->isChecked()};
}

DevicePage::DevicePage(QWidget* parent, Dpi dpi, const Settings& settings,
                       const std::filesystem::path& portFolder)
    : OptionsPage(parent, dpi) {
    const DevicePageValues page = DevicePageFrom(settings);
    AddStatic(QStringLiteral("位置情報取得方法："), 2, 3, 105, 16);
    method_ = AddList(IDC_LOCATION_METHOD, 110, 2, 60, 120);
    Fill(method_, kMethodEntries);
    method_->setCurrentIndex(page.methodEntry);
    AddStatic(QStringLiteral("W-SIM ポート："), 2, 25, 80, 16);
    port_ = AddList(IDC_PORT, 85, 24, 60, 120);
    // The open list shows each port name with the device it opens on this machine; the closed
    // list shows the name, and the label below it the chosen port's device.
    const std::vector<std::u16string> devices = PortDeviceTexts(portFolder);
    auto* model = new QStandardItemModel(0, 2, port_);
    int widest = 0;
    for (size_t i = 0; i < kPortNames.size(); ++i) {
        auto* device = new QStandardItem(ToQString(devices[i]));
        device->setForeground(palette().color(QPalette::PlaceholderText));
        model->appendRow({new QStandardItem(ToQString(kPortNames[i])), device});
        widest = std::max(widest, fontMetrics().horizontalAdvance(ToQString(kPortNames[i]) +
                                                                  ToQString(devices[i])));
    }
    auto* view = new QTreeView(port_);
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    port_->setModel(model);
    port_->setView(view);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setMinimumWidth(widest + dpi.ScaleX(40));
    port_->setCurrentIndex(page.portEntry);
    deviceLabel_ = new QLabel(this);
    deviceLabel_->setObjectName(QStringLiteral("portDevice"));
    Place(deviceLabel_, 85, 46, 153, 16);
    auto showDevice = [this, devices](int entry) {
        QString text = entry >= 0 ? ToQString(devices[static_cast<size_t>(entry)]) : QString();
        deviceLabel_->setToolTip(text);
        deviceLabel_->setText(
            deviceLabel_->fontMetrics().elidedText(text, Qt::ElideMiddle, deviceLabel_->width()));
    };
    showDevice(port_->currentIndex());
    connect(port_, &QComboBox::currentIndexChanged, this, showDevice);
}

DevicePageValues DevicePage::Values() const {
    return {method_->currentIndex(), port_->currentIndex()};
}

}  // namespace zentorak
