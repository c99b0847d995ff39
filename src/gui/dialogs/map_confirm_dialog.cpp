#include "gui/dialogs/map_confirm_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/map/map_urls.h"
#include "core/resources/resource_ids.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

namespace {

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

MapConfirmDialog::MapConfirmDialog(QWidget* owner, Settings& settings, const Dpi& dpi)
    : TemplateDialog(owner, QStringLiteral("地図表示確認"), QSize(130, 110), dpi, true),
      settings_(settings),
      shown_(OpeningMapChoice(settings)),
      services_(new QComboBox(this)),
      scales_(new QComboBox(this)),
      askAgain_(new QCheckBox(QStringLiteral("次回も地図表示前に接続確認する"), this)) {
    services_->setObjectName(QString::number(res::IDC_MAP_SERVICE));
    scales_->setObjectName(QString::number(res::IDC_MAP_SCALE));
    askAgain_->setObjectName(QString::number(res::IDC_MAP_ASK_AGAIN));
    Body()->addWidget(
        WrappedLabel(QStringLiteral("注意：地図を表示するためにネットワークに接続します。"), this));
    Body()->addWidget(WrappedLabel(QStringLiteral("以下の設定で地図を表示します。"), this));
    auto* grid = new QGridLayout;
    auto* serviceCaption = new QLabel(QStringLiteral("利用地図サービス："), this);
    serviceCaption->setBuddy(services_);
    grid->addWidget(serviceCaption, 0, 0);
    grid->addWidget(services_, 0, 1);
    auto* scaleCaption = new QLabel(QStringLiteral("縮尺："), this);
    scaleCaption->setBuddy(scales_);
    grid->addWidget(scaleCaption, 1, 0);
    grid->addWidget(scales_, 1, 1);
    grid->setColumnStretch(1, 1);
    Body()->addLayout(grid);
    Body()->addWidget(WrappedLabel(QStringLiteral("地図を表示しますか？"), this));
    Body()->addWidget(askAgain_);
    Body()->addStretch(1);

    for (const MapService& service : MapServices()) {
        services_->addItem(ToQString(service.label));
    }
    services_->setCurrentIndex(shown_.service - 1);
    FillScales(shown_.scaleIx);
    askAgain_->setChecked(settings.ConfBfrMapDispMode == 1);
    // Only a choice the person confirmed switches the service, not every scroll through it.
    connect(services_, &QComboBox::activated, this, &MapConfirmDialog::ServiceConfirmed);
    connect(scales_, &QComboBox::activated, this, [this](int item) { shown_.scaleIx = item + 1; });
    connect(OkButton(), &QPushButton::clicked, this, &MapConfirmDialog::Ok);
    // No wider than the window it is shown over: the lists give up width to the longest
    // service's name, and the texts above them wrap.
    for (QComboBox* list : {services_, scales_}) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(6);
    }
    if (owner != nullptr) {
        const int widest = owner->window()->width();
        setMinimumWidth(std::min(minimumWidth(), widest));
        resize(std::min(sizeHint().width(), widest), sizeHint().height());
    }
}

void MapConfirmDialog::FillScales(int scaleIx) {
    scales_->clear();
    for (const MapScale& scale : FindMapService(shown_.service)->scales) {
        scales_->addItem(ToQString(scale.label));
    }
    shown_.scaleIx = scaleIx;
    scales_->setCurrentIndex(scaleIx - 1);
}

void MapConfirmDialog::ServiceConfirmed(int item) {
    MapChoice next = SwitchMapService(shown_, item + 1);
    if (next.service != shown_.service) {
        shown_.service = next.service;
        FillScales(next.scaleIx);
    }
}

void MapConfirmDialog::Ok() {
    shown_.service = services_->currentIndex() + 1;
    shown_.scaleIx = scales_->currentIndex() + 1;
    settings_.ConfBfrMapDispMode = ConfirmationModeAfter(askAgain_->isChecked());
    done(1);
}

int RunMapConfirmDialog(QWidget* owner, Settings& settings, const Dpi& dpi, int& service,
                        int& scaleIx) {
    MapConfirmDialog dialog(owner, settings, dpi);
    if (dialog.exec() != 1) {
        return 0;
    }
    service = dialog.Choice().service;
    scaleIx = dialog.Choice().scaleIx;
    return 1;
}

}  // namespace zentorak
