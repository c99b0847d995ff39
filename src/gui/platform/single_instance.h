// One running copy per user: the first copy listens on a local socket; a later copy asks it to
// raise its window and then exits. Does not know the window: the first copy gets a signal.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zentorak {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The per-user name the program uses.
    static QString DefaultName();

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    // True when another copy answered: it has been asked to come to the front.
    bool AskRunningCopy(int timeoutMs = 1000);
    // Becomes the running copy; false when the socket cannot be set up.
    bool Listen();

signals:
    void RaiseRequested();

private:
    void OnConnection();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace zentorak
