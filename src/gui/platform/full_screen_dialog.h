// A dialog that covers the main window's area, with a title row and a Done ("OK") button at the
// top right, as the handset's full-screen dialogs look. Subclasses fill ContentLayout().
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace zentorak {

class FullScreenDialog : public QDialog {
    Q_OBJECT
public:
    FullScreenDialog(QWidget* owner, const QString& title);
    QVBoxLayout* ContentLayout() const { return content_; }
    QPushButton* DoneButton() const { return done_; }

protected:
    // Done closes with IDOK unless a subclass decides otherwise.
    virtual void OnDone() { done(1); }

private:
    QLabel* title_;
    QPushButton* done_;
    QVBoxLayout* content_;
};

}  // namespace zentorak
