#include "gui/dialogs/template_dialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace zentorak {

namespace {

constexpr int kSeparatorY = 22;  // 96-dpi units from the top
constexpr int kTaskBar = 26;     // the dialog sits this much lower than centred

}  // namespace

QSize DialogUnitsToPixels(const QFont& font, QSize units) {
    QFontMetrics metrics(font);
    int letters = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    int average = (letters / 26 + 1) / 2;
    return {units.width() * average / 4, units.height() * metrics.height() / 8};
}

TemplateDialog::TemplateDialog(QWidget* owner, const QString& title, QSize dialogUnits,
                               const Dpi& dpi, bool okCancel)
    : QDialog(owner), dpi_(dpi) {
    setWindowTitle(title);
    QFont templateFont = font();
    templateFont.setPointSize(9);
    setMinimumSize(DialogUnitsToPixels(templateFont, dialogUnits));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(dpi.ScaleX(4), 0, dpi.ScaleX(4), dpi.ScaleY(4));
    outer->setSpacing(dpi.ScaleY(4));
    if (okCancel) {
        auto* top = new QWidget(this);
        top->setFixedHeight(dpi.ScaleY(kSeparatorY));
        auto* row = new QHBoxLayout(top);
        row->setContentsMargins(0, dpi.ScaleY(1), 0, dpi.ScaleY(1));
        row->addStretch(1);
        ok_ = new QPushButton(QStringLiteral("OK"), top);
        ok_->setObjectName(QStringLiteral("1"));
        cancel_ = new QPushButton(QStringLiteral("キャンセル"), top);
        cancel_->setObjectName(QStringLiteral("2"));
        for (QPushButton* button : {ok_, cancel_}) {
            button->setFixedHeight(dpi.ScaleY(kSeparatorY - 2));
            row->addWidget(button);
        }
        ok_->setDefault(true);
        outer->addWidget(top);
        connect(cancel_, &QPushButton::clicked, this, [this] { done(0); });
    }
    body_ = new QVBoxLayout;
    outer->addLayout(body_, 1);
}

void TemplateDialog::PlaceOverOwner() {
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (owner == nullptr) {
        return;
    }
    QRect area = owner->geometry();
    QPoint place(area.x() + (area.width() - width()) / 2,
                 area.y() + (area.height() - height()) / 2 + dpi_.ScaleY(kTaskBar));
    // A desktop screen may be smaller than a dialog over a window at its edge: keep it in view.
    if (const QScreen* shown = owner->screen()) {
        QRect free = shown->availableGeometry();
        place.setX(std::max(free.left(), std::min(place.x(), free.right() + 1 - width())));
        place.setY(std::max(free.top(), std::min(place.y(), free.bottom() + 1 - height())));
    }
    move(place);
}

void TemplateDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (ok_ == nullptr) {
        return;
    }
    QPainter painter(this);
    int y = dpi_.ScaleY(kSeparatorY);
    painter.fillRect(0, y, width(), dpi_.ScaleY(1), palette().color(QPalette::WindowText));
}

// A rotated or resized screen moves the main window: the dialog follows it.
void TemplateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceOverOwner();
    if (QScreen* shown = screen()) {
        connect(shown, &QScreen::geometryChanged, this, &TemplateDialog::PlaceOverOwner,
                Qt::UniqueConnection);
    }
}

}  // namespace zentorak
