#include "gui/dialogs/search_dialog.h"

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

SearchDialog::SearchDialog(QWidget* owner, const ColumnMap& columns)
    : FullScreenDialog(owner, QStringLiteral("検索")) {
    DoneButton()->hide();
    auto* grid = new QGridLayout;
    int n = 0;
    for (int slot = 2; slot < kColumnSlots; ++slot) {
        if (!columns.Present(slot)) {
            continue;
        }
        auto* label = new QLabel(
            ToQString(CaptionLabel(columns.columnCaption[static_cast<size_t>(slot)])), this);
        label->setObjectName(QString::number(res::IDC_SEARCH_FIRST_LABEL + 2 * n));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(res::IDC_SEARCH_FIRST_LABEL + 1 + 2 * n));
        label->setBuddy(edit);
        grid->addWidget(label, n, 0);
        grid->addWidget(edit, n, 1);
        edits_ << edit;
        slots_ << slot;
        ++n;
    }
    grid->setColumnStretch(1, 1);
    ContentLayout()->addLayout(grid);
    ContentLayout()->addStretch(1);
    auto* search = new QPushButton(QStringLiteral("検索"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    search->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(search);
    buttons->addWidget(close);
    ContentLayout()->addLayout(buttons);
    if (!edits_.isEmpty()) {
        edits_.first()->setFocus();
    }
    connect(search, &QPushButton::clicked, this, &SearchDialog::Search);
    connect(close, &QPushButton::clicked, this, [this] { done(0); });
}

void SearchDialog::Search() {
    SearchTexts texts;
    bool any = false;
    for (qsizetype i = 0; i < edits_.size(); ++i) {
        std::u16string text = ToU16(edits_[i]->text());
        any = any || !text.empty();
        texts[static_cast<size_t>(slots_[i] - 2)] = std::move(text);
    }
    if (!any) {
        ShowMessage(this,
                    QStringLiteral("検索条件の指定がありません。検索条件を見直してください。"),
                    QStringLiteral("検索条件未指定"), NoticeIcon::kError);
        return;
    }
    texts_ = std::move(texts);
    done(1);
}

int RunSearchDialog(QWidget* owner, const ColumnMap& columns, SearchTexts& texts) {
    SearchDialog dialog(owner, columns);
    if (dialog.exec() != 1) {
        return 0;
    }
    texts = dialog.Texts();
    return 1;
}

}  // namespace zentorak
