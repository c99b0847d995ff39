// The real program under Xvfb, driven with xdotool as a person would: a list row chosen and its
// map opened, the URL reaching a browser through xdg-open (BROWSER is a script that writes down
// its argument); and a favourite that is in the settings file before the program is killed.
// Skipped, saying why, where Xvfb, xdotool or xdg-open is missing (scripts/install-deps.sh).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/app_fixture.h"

namespace zentorak::testing {
namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "xdg-open"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it)";
            }
        }
        ASSERT_TRUE(dir.isValid());
        // Xvfb picks a free display and names it on the descriptor given (its standard output).
        xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(xvfb.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        while (!display.contains('\n') && clock.elapsed() < 10000) {
            xvfb.waitForReadyRead(100);
            display += xvfb.readAllStandardOutput();
        }
        display = display.trimmed();
        ASSERT_FALSE(display.isEmpty()) << "Xvfb named no display";
        InstallProgram();
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
        if (xvfb.state() != QProcess::NotRunning) {
            xvfb.terminate();
            xvfb.waitForFinished(5000);
        }
    }

    // The program beside its settings file and a CP932 list of 30 shops (shop 26 stands on
    // the favourite 東京), with a browser that only writes down what it was asked to open.
    void InstallProgram() {
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), Path("zentorak")));
        QFile::setPermissions(Path("zentorak"), QFile::ReadOwner | QFile::ExeOwner);
        std::vector<std::string> shops{"緯度,経度,店名,住所,TEL"};
        for (int n = 0; n < 30; ++n) {
            char line[160];
            std::snprintf(line, sizeof line,
                          "35/40/%02d.000,139/46/%02d.000,店%02d,東京%d,03-0000-%04d", (n / 6) * 10,
                          (n % 6) * 10, n, n, n);
            shops.push_back(line);
        }
        WriteCp932File(Path("shops.csv"), shops);
        WriteCp932File(Path("zentorak.ini"),
                       {"[System]", "OrgFixedMode:1", "MapSiteNo:1", "MapScaleIx:2", "",
                        "[TrgtInfoFile]", Path("shops.csv").toStdString(), "", "[Favorite]",
                        "FavName:東京", "FavLat:35/40/40.000", "FavLon:139/46/20.000", ""});
        QFile browser(Path("browser"));
        ASSERT_TRUE(browser.open(QIODevice::WriteOnly));
        browser.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\n")
                          .arg(Path("opened"))
                          .toUtf8());
        browser.close();
        browser.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(dir.path()).mkdir("run");
    }

    void StartProgram() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", ":" + QString::fromLatin1(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_RUNTIME_DIR", Path("run"));
        env.insert("TMPDIR", Path("run"));  // a single-instance socket of its own
        env.insert("HOME", dir.path());     // no desktop's own default browser
        env.insert("BROWSER", Path("browser"));
        for (const char* desktop : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                    "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"}) {
            env.remove(desktop);
        }
        xdoEnv = env;
        program.setProcessEnvironment(env);
        program.start(Path("zentorak"), {});
        ASSERT_TRUE(program.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        QString window;
        while (window.isEmpty() && clock.elapsed() < 15000) {
            window = Xdo({"search", "--name", "^ZENTORAK$"}).section('\n', 0, 0);
            QTest::qWait(100);
        }
        ASSERT_FALSE(window.isEmpty()) << "the program's window did not appear";
        QTest::qWait(500);
        // Without a window manager only the plain focus request works.
        Xdo({"windowactivate", window});
        Xdo({"windowfocus", window});
    }

    // One xdotool command, then a pause for the program to follow.
    QString Xdo(const QStringList& args) {
        QProcess xdo;
        xdo.setProcessEnvironment(xdoEnv);
        xdo.start("xdotool", args);
        xdo.waitForFinished(5000);
        QTest::qWait(400);
        return QString::fromUtf8(xdo.readAllStandardOutput()).trimmed();
    }
    void Keys(const QString& keys) { Xdo(QStringList{"key"} + keys.split(' ')); }

    // "メニュー" (F2) › お気に入り › 東京: the origin there and the nearest shops listed.
    void ChooseTokyo() { Keys("F2"), Keys("Down Down Down Down Right Down Down Return"); }

    // Waits until `path` holds `text`; its whole content either way.
    QString WaitForText(const QString& path, const QString& text, bool cp932) {
        QElapsedTimer clock;
        clock.start();
        QString content;
        while (clock.elapsed() < 10000) {
            if (cp932) {
                content = ReadCp932File(path);
            } else {
                QFile file(path);
                content = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "";
            }
            if (content.contains(text)) {
                break;
            }
            QTest::qWait(100);
        }
        return content;
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    QProcess xvfb;
    QProcess program;
    QByteArray display;
    QProcessEnvironment xdoEnv;
};

TEST_F(EndToEnd, ListRowOpensItsMapInTheBrowser) {
    StartProgram();
    ChooseTokyo();
    Keys("Down Up");  // the list has the keyboard: select the first row, shop 26
    Keys("Menu");     // the list menu › 地図表示
    Keys("Down Down Down Down Down Return");
    Keys("Return");  // the confirmation's OK
    const QString url =
        "http://www.mapion.co.jp/c/f?uc=1&nl=35%2F40%2F40.000&el=139%2F46%2F20.000&scl=25000"
        "&size=450,400&grp=Air";
    EXPECT_EQ(WaitForText(Path("opened"), url, false), url + "\n");
}

TEST_F(EndToEnd, FavouriteSurvivesTheProgramBeingKilled) {
    StartProgram();
    ChooseTokyo();
    Keys("F2");  // メニュー › お気に入り › お気に入りに追加...
    Keys("Down Down Down Down Right Return");
    Xdo({"type", "kill9"});
    Keys("Return");
    QString saved = WaitForText(Path("zentorak.ini"), "FavName:kill9", true);
    EXPECT_TRUE(saved.contains("FavName:kill9\r\nFavLat:35/40/")) << saved.toStdString();
    program.kill();  // SIGKILL: no teardown, no save at the end
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
    QString after = ReadCp932File(Path("zentorak.ini"));
    EXPECT_TRUE(after.contains("FavName:東京\r\n")) << after.toStdString();
    EXPECT_TRUE(after.contains("FavName:kill9\r\n")) << after.toStdString();
}

}  // namespace
}  // namespace zentorak::testing
