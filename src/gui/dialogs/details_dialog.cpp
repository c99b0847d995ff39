#include "gui/dialogs/details_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/resources/resource_ids.h"
#include "gui/platform/keyboard_access.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

namespace {

// The item list's style: word-wrapped rows, left and top aligned.
constexpr std::uint32_t kWrappedRows = 0x10;

// The three action buttons in a row; after each the keyboard goes back to `list`.
QHBoxLayout* ActionButtons(QWidget* dialog, QWidget* list, const DetailsActions& actions) {
    using namespace res;
    struct Button {
        const char16_t* text;
        int id;
        int stretch;
        std::function<void()> action;
    } buttons[] = {
        {u"お気に入りに追加...", IDC_DETAILS_ADD_FAVORITE, 5, actions.addFavorite},
        {u"地図表示", IDC_DETAILS_MAP, 3, actions.showMap},
        {u"電話", IDC_DETAILS_CALL, 2, actions.call},
    };
    auto* row = new QHBoxLayout;
    for (const Button& b : buttons) {
        auto* button = new QPushButton(ToQString(b.text), dialog);
        button->setObjectName(QString::number(b.id));
        button->setAutoDefault(false);
        ClickOnReturn(button);  // Return in the list closes the dialog; on a button it presses it
        // The row keeps to the handset's width; a narrow screen clips the texts rather than
        // pushing the dialog past the window it covers.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        QObject::connect(button, &QPushButton::clicked, dialog, [action = b.action, list] {
            action();
            if (list != nullptr) {
                list->setFocus();
            }
        });
        row->addWidget(button, b.stretch);
    }
    return row;
}

}  // namespace

CompactDetailsDialog::CompactDetailsDialog(QWidget* owner, const std::vector<DetailsRow>& rows,
                                           DetailsActions actions, const Dpi& dpi)
    : TemplateDialog(owner, QStringLiteral("詳細情報"), QSize(130, 110), dpi, false),
      list_(new QTreeWidget(this)) {
    list_->setObjectName(QString::number(res::IDC_DETAILS_LIST));
    list_->setAccessibleName(QStringLiteral("詳細情報"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("項目"), QStringLiteral("値"), QString()});
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setStretchLastSection(false);
    for (const DetailsRow& row : rows) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, ToQString(row.caption));
        item->setText(1, ToQString(row.value));
    }
    list_->setColumnWidth(0, dpi.ScaleX(50));
    list_->resizeColumnToContents(0);
    list_->setColumnWidth(1, dpi.ScaleX(400));
    list_->setColumnWidth(2, dpi.ScaleX(50));
    list_->installEventFilter(this);
    Body()->setContentsMargins(0, dpi.ScaleY(4), 0, 0);
    Body()->addWidget(list_, 1);
    Body()->addLayout(ActionButtons(this, list_, actions));
    // A phone shell draws no title bar with a close box: a finger closes the dialog here, as
    // Esc does.
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(close);
    Body()->addLayout(closeRow);
    list_->setFocus();
    // As wide as the handset screen at most; the value column scrolls within it.
    QSize size = sizeHint().expandedTo(minimumSize());
    if (owner != nullptr) {
        size.setWidth(std::max(minimumWidth(), std::min(size.width(), owner->window()->width())));
    }
    resize(size);
}

bool CompactDetailsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            done(1);
            return true;
        }
    }
    return TemplateDialog::eventFilter(watched, event);
}

FullScreenDetailsDialog::FullScreenDetailsDialog(QWidget* owner,
                                                 const std::vector<DetailsRow>& rows,
                                                 DetailsActions actions)
    : FullScreenDialog(owner, QStringLiteral("店舗情報")),
      list_(ItemListView::Create(this, kWrappedRows, res::IDC_DETAILS_LIST)) {
    DoneButton()->setText(QStringLiteral("閉じる"));
    DoneButton()->setAutoDefault(false);
    ClickOnReturn(DoneButton());
    if (list_ != nullptr) {
        list_->setObjectName(QString::number(res::IDC_DETAILS_LIST));
        list_->setAccessibleName(QStringLiteral("店舗情報"));
        for (const DetailsRow& row : rows) {
            std::u16string text = DetailsItemText(row);
            InertListItem item{0, 0, text.data()};
            list_->SendMessage(ILVM_ADDITEM, 0, reinterpret_cast<MsgLParam>(&item));
        }
        // A tap (not a drag) opens or closes a row, after the list has seen the pen-up.
        ownProcedure_ = list_->SetProcedure(
            [this](ItemListView& view, std::uint32_t msg, MsgWParam w, MsgLParam l) {
                MsgResult result = ownProcedure_(view, msg, w, l);
                if (msg == wm::kLButtonUp &&
                    ApplyDetailsTap([&view](std::uint32_t m, MsgWParam mw, MsgLParam ml) {
                        return view.SendMessage(m, mw, ml);
                    })) {
                    view.repaint();
                }
                return result;
            });
        ContentLayout()->addWidget(list_, 1);
        list_->setFocus();
    } else {
        ContentLayout()->addStretch(1);
    }
    ContentLayout()->addLayout(ActionButtons(this, list_, actions));
}

int RunDetailsDialog(QWidget* owner, DetailsForm form, const std::vector<DetailsRow>& rows,
                     const DetailsActions& actions, const Dpi& dpi) {
    if (form == DetailsForm::kCompact) {
        CompactDetailsDialog dialog(owner, rows, actions, dpi);
        return dialog.exec() == 1 ? 1 : 0;
    }
    if (form == DetailsForm::kFullScreen) {
        FullScreenDetailsDialog dialog(owner, rows, actions);
        return dialog.exec() == 1 ? 1 : 0;
    }
    return 0;
}

}  // namespace zentorak
