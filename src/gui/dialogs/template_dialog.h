// A small dialog as the handset's dialog templates make them: at least the template's size in
// dialog units of a 9-point font, optionally "OK" and "キャンセル" at the top right above a line
// one scaled pixel wide ScaleY(22) from the top, and placed over the main window (centred,
// ScaleY(26) lower for the task bar), again whenever the screen changes. Does not decide what
// OK means: subclasses connect the buttons.
#pragma once

#include <QDialog>
#include <QSize>

#include "core/text/layout_scale.h"

class QPushButton;
class QVBoxLayout;

namespace zentorak {

// Dialog units to pixels with the font's average character width (of the 52 Latin letters) and
// height, as dialog templates are laid out.
QSize DialogUnitsToPixels(const QFont& font, QSize units);

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    TemplateDialog(QWidget* owner, const QString& title, QSize dialogUnits, const Dpi& dpi,
                   bool okCancel);
    QVBoxLayout* Body() const { return body_; }
    QPushButton* OkButton() const { return ok_; }          // null without okCancel
    QPushButton* CancelButton() const { return cancel_; }  // null without okCancel
    const Dpi& DpiInUse() const { return dpi_; }
    // Centred over the owner's window, ScaleY(26) lower.
    void PlaceOverOwner();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Dpi dpi_;
    QVBoxLayout* body_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace zentorak
