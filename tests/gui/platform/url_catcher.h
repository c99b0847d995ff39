// Collects the URLs the program hands to the desktop, in place of a browser or phone.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace zentorak::testing {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

}  // namespace zentorak::testing
