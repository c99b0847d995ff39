#include "gui/dialogs/favorite_name_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/favorite_names.h"
#include "core/resources/resource_ids.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

namespace {

QLabel* Label(const std::u16string& text, int id, QWidget* parent) {
    auto* label = new QLabel(ToQString(text), parent);
    label->setObjectName(QString::number(id));
    return label;
}

}  // namespace

FavoriteNameDialog::FavoriteNameDialog(QWidget* owner, std::u16string_view title,
                                       const FavoriteRecord& candidate, const ColumnMap& columns,
                                       const FavoriteList& favorites, const Dpi& dpi)
    : TemplateDialog(owner, ToQString(title), QSize(130, 60), dpi, true),
      favorites_(favorites),
      name_(new QLineEdit(ToQString(candidate.name), this)) {
    using namespace res;
    auto* grid = new QGridLayout;
    grid->addWidget(Label(CoordinateLabel(columns, 0), IDC_FAVORITE_LAT_LABEL, this), 0, 0);
    grid->addWidget(Label(FormatDmsShort(candidate.lat), IDC_FAVORITE_LAT, this), 0, 1);
    grid->addWidget(Label(CoordinateLabel(columns, 1), IDC_FAVORITE_LON_LABEL, this), 1, 0);
    grid->addWidget(Label(FormatDmsShort(candidate.lon), IDC_FAVORITE_LON, this), 1, 1);
    auto* nameCaption = new QLabel(QStringLiteral("名前:"), this);
    nameCaption->setBuddy(name_);
    grid->addWidget(nameCaption, 2, 0);
    grid->addWidget(name_, 2, 1);
    grid->setColumnStretch(1, 1);
    Body()->addLayout(grid);
    Body()->addStretch(1);
    name_->setObjectName(QString::number(IDC_FAVORITE_NAME));
    name_->setMaxLength(static_cast<int>(kFavoriteNameLimit));
    name_->setFocus();
    connect(OkButton(), &QPushButton::clicked, this, &FavoriteNameDialog::Ok);
}

void FavoriteNameDialog::Ok() {
    std::u16string name = ToU16(name_->text());
    if (std::optional<Notice> refused = AcceptFavoriteName(favorites_, name)) {
        ShowNotice(this, *refused);
        name_->setFocus();
        return;
    }
    accepted_ = std::move(name);
    done(1);
}

int RunFavoriteNameDialog(QWidget* owner, std::u16string_view title, FavoriteRecord& record,
                          const ColumnMap& columns, const FavoriteList& favorites, const Dpi& dpi) {
    FavoriteNameDialog dialog(owner, title, record, columns, favorites, dpi);
    if (dialog.exec() != 1) {
        return 0;
    }
    record.name = dialog.Name();
    return 1;
}

}  // namespace zentorak
