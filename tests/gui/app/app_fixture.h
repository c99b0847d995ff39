// Shared set-up of the window tests: a temporary folder with a CP932 location-info file and a
// settings file, a message recorder in place of the real boxes, and the started program.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/text/code_page.h"
#include "gui/app/application.h"
#include "gui/app/dialog_recorder.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"

namespace zentorak::testing {

// Records every message box and answers from a script (OK when the script is empty).
class MessageRecorder {
public:
    MessageRecorder() {
        SetMessageHandler([this](const MessageRecord& r) {
            records.push_back(r);
            if (answers.empty()) {
                return r.buttons == MessageButtons::Ok ? kAnswerOk : kAnswerNo;
            }
            int a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~MessageRecorder() { SetMessageHandler({}); }
    std::vector<MessageRecord> records;
    std::deque<int> answers;
};

// A recorded box's text, title and icon.
inline void ExpectBox(const MessageRecord& box, const QString& text, const QString& title,
                      NoticeIcon icon) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.icon, icon);
}

// Writes UTF-8 lines as CP932 with CR LF, as the handset writes its files.
inline void WriteCp932File(const QString& path, const std::vector<std::string>& lines) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const std::string& line : lines) {
        std::string bytes = EncodeCp932(FromUtf8(line)) + "\r\n";
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
}

inline QString ReadCp932File(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray bytes = file.readAll();
    return ToQString(DecodeCp932(std::string_view(bytes.data(), bytes.size())));
}

class AppFixture : public ::testing::Test {
protected:
    // 30 shops on a 6 x 5 lattice 10 seconds apart around 35/40/00 N 139/46/00 E; shop n is
    // "店nn"; the even ones are in 渋谷, the odd ones in 新宿.
    std::vector<std::string> ShopLines() const {
        std::vector<std::string> lines{"緯度,経度,店名,住所,TEL"};
        for (int n = 0; n < 30; ++n) {
            char line[160];
            std::snprintf(line, sizeof line,
                          "35/40/%02d.000,139/46/%02d.000,店%02d,%s%d,03-0000-%04d", (n / 6) * 10,
                          (n % 6) * 10, n, n % 2 ? "新宿" : "渋谷", n, n);
            lines.push_back(line);
        }
        return lines;
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    std::string IniPath() const { return Path("zentorak.ini").toStdString(); }

    // A settings file listing the shop file, with extra [System] lines and two favourites.
    void WriteSettings(const std::vector<std::string>& system = {}) {
        WriteCp932File(Path("shops.csv"), ShopLines());
        std::vector<std::string> lines{"[System]"};
        lines.insert(lines.end(), system.begin(), system.end());
        for (const char* l : {"", "[TrgtInfoFile]"}) {
            lines.push_back(l);
        }
        lines.push_back(Path("shops.csv").toStdString());
        for (const char* l :
             {"", "[Favorite]", "FavName:東京", "FavLat:35/40/40.000", "FavLon:139/46/20.000", "",
              "[Favorite]", "FavName:大阪", "FavLat:34/41/56.000", "FavLon:135/29/55.000", ""}) {
            lines.push_back(l);
        }
        WriteCp932File(Path("zentorak.ini"), lines);
    }

    bool Start() {
        state = std::make_unique<AppState>();
        app = std::make_unique<Application>(*state, IniPath());
        return app->Start(true);
    }

    MainWindow& Window() { return app->Window(); }

    // Puts the recorder in place of the Qt dialogs (once) and returns it.
    DialogRecorder& Dialogs() {
        if (recorder == nullptr) {
            auto owned = std::make_unique<DialogRecorder>();
            recorder = owned.get();
            Window().SetDialogs(std::move(owned));
        }
        return *recorder;
    }

    void TearDown() override {
        recorder = nullptr;
        app.reset();
        state.reset();
    }

    QTemporaryDir dir;
    MessageRecorder messages;
    std::unique_ptr<AppState> state;
    std::unique_ptr<Application> app;
    DialogRecorder* recorder = nullptr;
};

}  // namespace zentorak::testing
