#include "gui/platform/single_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

#include "core/platform/app_folder.h"

namespace zentorak {
namespace {

// One request a line: "open <percent-encoded path>" for each file, then "raise".
const QByteArray kOpen = "open ";
const QByteArray kRaise = "raise";
const QByteArray kDone = "ok\n";
constexpr qsizetype kMaxRequest = 1 << 20;

}  // namespace

bool PeerIsThisUser(const QLocalSocket& socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return socket.socketDescriptor() >= 0 &&
           ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           peer.uid == ::geteuid();
}

QString SingleInstance::DefaultName() {
    const std::string folder = PrivateRuntimeFolder(
        qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString(), QDir::tempPath().toStdString());
    if (folder.empty()) {
        return {};
    }
    return QString::fromStdString(folder) + QStringLiteral("/zentorak.socket");
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

bool SingleInstance::AskRunningCopy(const QStringList& files, int timeoutMs) {
    if (name_.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs) || !PeerIsThisUser(socket)) {
        return false;
    }
    QByteArray request;
    for (const QString& file : files) {
        request += kOpen + QUrl::toPercentEncoding(file) + '\n';
    }
    request += kRaise + '\n';
    socket.write(request);
    socket.waitForBytesWritten(timeoutMs);
    // Wait for the answer so that the files are taken and the window is up front before this
    // copy is gone.
    while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
    }
    return true;
}

bool SingleInstance::Listen() {
    if (name_.isEmpty()) {
        return false;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A copy that crashed leaves its socket behind; nobody answered on it, and the folder
        // is the user's own. Anything but a socket of that name stays.
        struct stat info {};
        if (::lstat(QFile::encodeName(name_).constData(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
            return false;
        }
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) {
            return false;
        }
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
    return true;
}

void SingleInstance::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
    }
}

void SingleInstance::OnReadable(QLocalSocket* socket) {
    // The files of one request gather on the socket until its "raise" line.
    QStringList files = socket->property("files").toStringList();
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (line.startsWith(kOpen)) {
            files << QUrl::fromPercentEncoding(line.mid(kOpen.size()));
        } else if (line == kRaise) {
            if (!files.isEmpty()) {
                emit FilesHanded(files);
                files.clear();
            }
            emit RaiseRequested();
            socket->write(kDone);
            socket->flush();
        }
    }
    if (socket->bytesAvailable() > kMaxRequest) {
        socket->abort();
        return;
    }
    socket->setProperty("files", files);
}

}  // namespace zentorak
