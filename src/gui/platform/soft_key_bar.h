// The two hardware soft keys as a bar at the bottom of the main window: the left key sends its
// command id, the right key opens a popup menu. F1 and F2 press them. Knows nothing of what the
// commands do.
#pragma once

#include <QWidget>

class QMenu;
class QPushButton;

namespace zentorak {

class SoftKeyBar : public QWidget {
    Q_OBJECT
public:
    SoftKeyBar(int leftCommand, const QString& leftText, const QString& rightText, QWidget* parent);
    void SetLeftText(const QString& text);
    QString LeftText() const;
    QString RightText() const;
    void SetRightMenu(QMenu* menu) { rightMenu_ = menu; }
    QMenu* RightMenu() const { return rightMenu_; }
    QPushButton* LeftKey() const { return left_; }
    QPushButton* RightKey() const { return right_; }
    void PressLeft();
    void PressRight();

signals:
    void Command(int id);

private:
    int leftCommand_;
    QPushButton* left_;
    QPushButton* right_;
    QMenu* rightMenu_ = nullptr;
};

}  // namespace zentorak
