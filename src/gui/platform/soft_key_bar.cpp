#include "gui/platform/soft_key_bar.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "gui/platform/keyboard_access.h"

namespace zentorak {

SoftKeyBar::SoftKeyBar(int leftCommand, const QString& leftText, const QString& rightText,
                       QWidget* parent)
    : QWidget(parent),
      leftCommand_(leftCommand),
      left_(new QPushButton(leftText, this)),
      right_(new QPushButton(rightText, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QPushButton* key : {left_, right_}) {
        key->setFlat(true);
        // Reached with Tab (a tap leaves the keyboard where it was) and pressed with Return too.
        key->setFocusPolicy(Qt::TabFocus);
        ClickOnReturn(key);
        key->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(key);
    }
    setAutoFillBackground(true);
    setStyleSheet(
        QStringLiteral("QPushButton{background:#203060;color:white;border:none;}"
                       "QPushButton:focus{background:#304880;}"
                       "QPushButton:pressed{background:#4060a0;}"));
    connect(left_, &QPushButton::clicked, this, &SoftKeyBar::PressLeft);
    connect(right_, &QPushButton::clicked, this, &SoftKeyBar::PressRight);
    // The handset's hardware soft keys.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), parent);
    auto* f2 = new QShortcut(QKeySequence(Qt::Key_F2), parent);
    connect(f1, &QShortcut::activated, this, &SoftKeyBar::PressLeft);
    connect(f2, &QShortcut::activated, this, &SoftKeyBar::PressRight);
}

void SoftKeyBar::SetLeftText(const QString& text) {
    left_->setText(text);
}
QString SoftKeyBar::LeftText() const {
    return left_->text();
}
QString SoftKeyBar::RightText() const {
    return right_->text();
}

void SoftKeyBar::PressLeft() {
    emit Command(leftCommand_);
}

void SoftKeyBar::PressRight() {
    if (rightMenu_ == nullptr) {
        return;
    }
    // Opens upward from the key, as the handset's menu does.
    QPoint corner = right_->mapToGlobal(QPoint(right_->width(), 0));
    QSize size = rightMenu_->sizeHint();
    rightMenu_->popup(QPoint(corner.x() - size.width(), corner.y() - size.height()));
}

}  // namespace zentorak
