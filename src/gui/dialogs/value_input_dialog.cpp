#include "gui/dialogs/value_input_dialog.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "core/resources/shared_dialogs.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"

namespace zentorak {
namespace {

class ValueInputWindow : public QDialog {
public:
    ValueInputWindow(QWidget* parent, const QString& caption, const QString& initial)
        : QDialog(parent),
          edit_(new QLineEdit(initial, this)),
          ok_(new QPushButton(QStringLiteral("OK"), this)),
          cancel_(new QPushButton(QStringLiteral("キャンセル"), this)) {
        Dpi dpi = ScreenDpi();
        setWindowTitle(caption);
        QFont font = this->font();
        font.setPixelSize(dpi.ScaleY(11));
        font.setWeight(QFont::Normal);
        setFont(font);
        edit_->setObjectName(QString::number(res::IDC_VALUE_EDIT));
        ok_->setObjectName(QStringLiteral("1"));
        cancel_->setObjectName(QStringLiteral("2"));
        edit_->setGeometry(dpi.ScaleX(2), dpi.ScaleY(20), dpi.ScaleX(220), dpi.ScaleY(20));
        // The buttons keep their right edges (173 and 223 units) and grow leftwards when their
        // text needs more than 48 units in the font at hand.
        int cancelWidth = std::max(dpi.ScaleX(48), cancel_->sizeHint().width());
        int okWidth = std::max(dpi.ScaleX(48), ok_->sizeHint().width());
        int cancelX = dpi.ScaleX(223) - cancelWidth;
        int okX = std::min(dpi.ScaleX(173), cancelX - dpi.ScaleX(2)) - okWidth;
        ok_->setGeometry(okX, dpi.ScaleY(1), okWidth, dpi.ScaleY(18));
        cancel_->setGeometry(cancelX, dpi.ScaleY(1), cancelWidth, dpi.ScaleY(18));
        ok_->setDefault(true);
        QSize size(dpi.ScaleX(230), dpi.ScaleY(70));
        setFixedSize(size);
        // Centred where it would have opened: over its owner.
        if (parent != nullptr) {
            QWidget* top = parent->window();
            QRect area(top->mapToGlobal(QPoint(0, 0)), top->size());
            move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2);
        }
        connect(ok_, &QPushButton::clicked, this, [this] { done(kValueInputOk); });
        connect(cancel_, &QPushButton::clicked, this, [this] { done(kValueInputCancel); });
        edit_->setFocus();
    }

    QString Text() const { return edit_->text(); }

protected:
    // Escape is the cancel button.
    void reject() override { done(kValueInputCancel); }
    void closeEvent(QCloseEvent* event) override {
        done(kValueInputClosed);
        event->accept();
    }

private:
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace

ValueInputDialog::ValueInputDialog() = default;
ValueInputDialog::~ValueInputDialog() = default;

int ValueInputDialog::Run(QWidget* parent, int) {
    QString title = ToQString(caption ? *caption : kValueInputDefaultCaption);
    QString initial = text ? ToQString(*text) : QString();
    ValueInputWindow window(parent, title, initial);
    int code = window.exec();
    if (code == kValueInputOk) {
        text = ToU16(window.Text());
    } else {
        text.reset();
    }
    return code;
}

}  // namespace zentorak
