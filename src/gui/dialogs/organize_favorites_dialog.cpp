#include "gui/dialogs/organize_favorites_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/favorite_names.h"
#include "core/resources/resource_ids.h"
#include "gui/platform/keyboard_access.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

OrganizeFavoritesDialog::OrganizeFavoritesDialog(QWidget* owner, const FavoriteList& favorites,
                                                 OrganizeActions actions)
    : FullScreenDialog(owner, QStringLiteral("お気に入りの整理")),
      favorites_(favorites),
      actions_(std::move(actions)),
      list_(new QListWidget(this)),
      rename_(new QPushButton(QStringLiteral("名前の変更"), this)),
      delete_(new QPushButton(QStringLiteral("削除"), this)) {
    using namespace res;
    DoneButton()->setText(QStringLiteral("閉じる"));
    DoneButton()->setObjectName(QStringLiteral("2"));
    list_->setObjectName(QString::number(IDC_FAVORITE_LIST));
    list_->setAccessibleName(QStringLiteral("お気に入り"));
    rename_->setObjectName(QString::number(IDC_FAVORITE_RENAME));
    delete_->setObjectName(QString::number(IDC_FAVORITE_DELETE));
    for (const FavoriteRecord& favorite : favorites_) {
        list_->addItem(ToQString(favorite.name));
    }
    ContentLayout()->addWidget(list_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(rename_);
    buttons->addWidget(delete_);
    ContentLayout()->addLayout(buttons);
    // Enter in the list must not press a button for the person.
    for (QPushButton* button : {DoneButton(), rename_, delete_}) {
        button->setAutoDefault(false);
        ClickOnReturn(button);  // on the button itself it presses that one
    }
    UpdateButtons();
    connect(list_, &QListWidget::itemSelectionChanged, this,
            &OrganizeFavoritesDialog::UpdateButtons);
    connect(rename_, &QPushButton::clicked, this, &OrganizeFavoritesDialog::Rename);
    connect(delete_, &QPushButton::clicked, this, &OrganizeFavoritesDialog::Delete);
}

void OrganizeFavoritesDialog::UpdateButtons() {
    bool selected = !list_->selectedItems().isEmpty();
    rename_->setEnabled(selected);
    delete_->setEnabled(selected);
}

void OrganizeFavoritesDialog::Rename() {
    int row = list_->currentRow();
    if (row < 0 || list_->selectedItems().isEmpty() || !actions_.rename(row)) {
        return;
    }
    list_->item(row)->setText(ToQString(favorites_[row].name));
    UpdateButtons();
}

void OrganizeFavoritesDialog::Delete() {
    int row = list_->currentRow();
    if (row < 0 || list_->selectedItems().isEmpty() || row >= favorites_.count()) {
        return;
    }
    if (ShowNotice(this, DeleteFavoriteQuestion(favorites_[row].name)) != kAnswerYes ||
        !actions_.remove(row)) {
        return;
    }
    delete list_->takeItem(row);
    UpdateButtons();
}

}  // namespace zentorak
