// One running copy per user: the first copy listens on a local socket in a folder only the user
// may enter; a later copy hands it the files it was given, asks it to raise its window, and
// exits. Both ends talk only to a peer of the same user id, so a socket that is not the user's
// own running copy never stops a start. Does not know the window: the first copy gets signals.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace zentorak {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The per-user socket: "zentorak.socket" in $XDG_RUNTIME_DIR, else in a folder of the user's
    // own under the temporary folder; "" when no private folder can be had (the copy then runs
    // alone).
    static QString DefaultName();

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    // True when the user's running copy answered: it has been handed `files` (full paths) and
    // asked to come to the front. False when nobody listens, or a peer of another user does.
    bool AskRunningCopy(const QStringList& files = {}, int timeoutMs = 1000);
    // Becomes the running copy; false when the socket cannot be set up.
    bool Listen();

signals:
    // Files a later start was given, before its RaiseRequested.
    void FilesHanded(const QStringList& files);
    void RaiseRequested();

private:
    void OnConnection();
    void OnReadable(QLocalSocket* socket);

    QString name_;
    QLocalServer* server_ = nullptr;
};

// Whether the process at the other end of a connected local socket runs as this user.
bool PeerIsThisUser(const QLocalSocket& socket);

}  // namespace zentorak
