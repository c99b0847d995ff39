// The About box ("バージョン情報 ZENTORAK"): the program's icon, name, version, copyright and
// address (when there is one), over the main window, closed with "閉じる". Shows text only;
// knows nothing else.
#pragma once

#include <QDialog>

class QPushButton;

namespace zentorak {

// The name and version are the settings file's (core/settings/settings_lines.h).
inline constexpr char kAboutCopyrightLine1[] = "Copyright (C) 2011-2026";
inline constexpr char kAboutCopyrightLine2[] = "ZENTORAK developers";
// The project's web address; empty until it has one, and then the box shows no address line.
inline constexpr char kAboutHomepage[] = "";

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* owner);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The window's close button (and Escape) end with 16; "閉じる" with 1.
    void reject() override { done(16); }

private:
    QPushButton* close_;
};

// Runs the box modally; its end code.
int RunAboutDialog(QWidget* owner);

}  // namespace zentorak
