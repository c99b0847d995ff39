#include "gui/platform/full_screen_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentorak {

FullScreenDialog::FullScreenDialog(QWidget* owner, const QString& title)
    : QDialog(owner),
      title_(new QLabel(title, this)),
      done_(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(title);
    auto* outer = new QVBoxLayout(this);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(title_, 1);
    titleRow->addWidget(done_);
    outer->addLayout(titleRow);
    content_ = new QVBoxLayout;
    outer->addLayout(content_, 1);
    connect(done_, &QPushButton::clicked, this, [this] { OnDone(); });
    if (owner != nullptr) {
        QWidget* top = owner->window();
        setGeometry(QRect(top->mapToGlobal(QPoint(0, 0)), top->size()));
    }
}

}  // namespace zentorak
