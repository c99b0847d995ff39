#include "gui/dialogs/about_dialog.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "core/resources/shared_dialogs.h"
#include "core/settings/settings_lines.h"
#include "core/text/layout_scale.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"
#include "gui/resources/menu_builder.h"

namespace zentorak {

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner), close_(new QPushButton(QStringLiteral("閉じる"), this)) {
    setWindowTitle(QStringLiteral("バージョン情報 ZENTORAK"));
    Dpi dpi = ScreenDpi();
    auto place = [&](QWidget* widget, int id, int x, int y, int width, int height) {
        widget->setObjectName(QString::number(id));
        widget->setGeometry(dpi.ScaleX(x), dpi.ScaleY(y), dpi.ScaleX(width), dpi.ScaleY(height));
    };
    auto label = [&](const QString& text, int id, int x, int y, int width, int height) {
        place(new QLabel(text, this), id, x, y, width, height);
    };
    // Wider than the handset's 80 units, which cut the text in a desktop font.
    label(QStringLiteral("バージョン情報"), res::IDC_ABOUT_TITLE, 5, 2, 180, 16);
    place(close_, 1, 190, 1, 48, 18);
    // The icon control takes the icon's own size, 32 units, as the handset's icon statics do.
    auto* icon = new QLabel(this);
    place(icon, res::IDC_ABOUT_ICON, 5, 25, 32, 32);
    icon->setPixmap(res::AppIcon().pixmap(icon->size()));
    label(ToQString(kProgramName), res::IDC_ABOUT_NAME, 50, 25, 180, 15);
    label(QStringLiteral("Ver. %1").arg(ToQString(kProgramVersion)), res::IDC_ABOUT_VERSION, 50, 40,
          180, 15);
    label(QLatin1String(kAboutCopyrightLine1), res::IDC_ABOUT_COPYRIGHT1, 50, 55, 190, 15);
    label(QLatin1String(kAboutCopyrightLine2), res::IDC_ABOUT_COPYRIGHT2, 50, 70, 190, 15);
    if (kAboutHomepage[0] != '\0') {
        label(QStringLiteral("URL: %1").arg(QLatin1String(kAboutHomepage)), res::IDC_ABOUT_URL, 5,
              90, 235, 15);
    }
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, [this] { done(1); });
    // Full screen over the main window, as the handset shows it.
    if (owner != nullptr) {
        QWidget* top = owner->window();
        setGeometry(QRect(top->mapToGlobal(QPoint(0, 0)), top->size()));
    } else {
        resize(dpi.ScaleX(kHandsetWidth), dpi.ScaleY(kHandsetHeight));
    }
}

// "閉じる" keeps to the top right corner.
void AboutDialog::resizeEvent(QResizeEvent*) {
    Dpi dpi = ScreenDpi();
    close_->move(width() - dpi.ScaleX(2) - close_->width(), dpi.ScaleY(2));
}

// The line under the title row.
void AboutDialog::paintEvent(QPaintEvent*) {
    Dpi dpi = ScreenDpi();
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, dpi.ScaleX(1)));
    painter.drawLine(0, dpi.ScaleY(22), width(), dpi.ScaleY(22));
}

int RunAboutDialog(QWidget* owner) {
    AboutDialog dialog(owner);
    return dialog.exec();
}

}  // namespace zentorak
