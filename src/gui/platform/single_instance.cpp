#include "gui/platform/single_instance.h"

#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

namespace zentorak {
namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

}  // namespace

QString SingleInstance::DefaultName() {
    return QStringLiteral("zentorak-%1").arg(static_cast<qulonglong>(::getuid()));
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

bool SingleInstance::AskRunningCopy(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(kRaise);
    socket.waitForBytesWritten(timeoutMs);
    // Wait for the answer so that the window is up front before this copy is gone.
    socket.waitForReadyRead(timeoutMs);
    return true;
}

bool SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A copy that crashed leaves its socket file behind; nobody answered on it.
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains("raise")) {
                emit RaiseRequested();
                socket->write(kDone);
                socket->flush();
            }
        });
    }
}

}  // namespace zentorak
