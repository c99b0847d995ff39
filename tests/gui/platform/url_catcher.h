// Collects the URLs the program hands to the desktop, in place of a browser or phone, and gives
// a test its own XDG folders, with or without a dialer registered for tel: addresses.
#pragma once

#include <stdlib.h>

#include <QDir>
#include <QFile>
#include <QList>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentorak::testing {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

// Points the XDG configuration and data folders at a private folder for the object's life, so
// that whether a tel: handler exists does not depend on the machine. With a dialer, the folder
// holds a .desktop file that declares x-scheme-handler/tel, as a dialer's package installs it.
class PrivateDesktop {
public:
    explicit PrivateDesktop(bool withDialer) {
        for (const char* name : kNames) {
            const char* value = ::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        QDir root(folder_.path());
        root.mkpath(QStringLiteral("config"));
        root.mkpath(QStringLiteral("share/applications"));
        Set("XDG_CONFIG_HOME", "/config");
        Set("XDG_CONFIG_DIRS", "/config");
        Set("XDG_DATA_HOME", "/share");
        Set("XDG_DATA_DIRS", "/share");
        ::unsetenv("XDG_CURRENT_DESKTOP");
        if (withDialer) {
            QFile file(root.filePath(QStringLiteral("share/applications/test-dialer.desktop")));
            file.open(QIODevice::WriteOnly);
            file.write(
                "[Desktop Entry]\nType=Application\nName=Dialer\nExec=true %u\n"
                "MimeType=x-scheme-handler/tel;\n");
        }
    }
    ~PrivateDesktop() {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

private:
    static constexpr const char* kNames[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                             "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
    void Set(const char* name, const char* below) {
        ::setenv(name, (folder_.path().toStdString() + below).c_str(), 1);
    }

    QTemporaryDir folder_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace zentorak::testing
