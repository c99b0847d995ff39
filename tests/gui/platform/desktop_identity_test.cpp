#include "gui/platform/desktop_identity.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>

namespace zentorak {
namespace {

// The desktop entry's name is the Wayland app id and its StartupWMClass the X11 window class;
// the program must give both, or the task switcher shows a second, iconless entry.
TEST(DesktopIdentity, NamesAgreeWithTheDesktopEntry) {
    const QString oldName = QCoreApplication::applicationName();
    const QString oldFile = QGuiApplication::desktopFileName();
    SetDesktopIdentity();
    const QString name = QCoreApplication::applicationName();
    const QString file = QGuiApplication::desktopFileName();
    QCoreApplication::setApplicationName(oldName);
    QGuiApplication::setDesktopFileName(oldFile);

    QFile entry(QStringLiteral(ZENTORAK_SOURCE_DIR "/packaging/") + file +
                QStringLiteral(".desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << entry.fileName().toStdString();
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nStartupWMClass=") + name + QStringLiteral("\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=") + file + QStringLiteral("\n")));
    EXPECT_EQ(file, QStringLiteral("zentorak"));
}

}  // namespace
}  // namespace zentorak
