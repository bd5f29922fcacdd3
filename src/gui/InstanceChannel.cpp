#include "gui/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace pelmora::gui {

QString ChannelPath(const std::string& lockPath) {
  QString p = QString::fromStdString(lockPath);
  if (p.endsWith(".lock")) p.chop(5);
  return p + ".sock";
}

InstanceChannel::InstanceChannel(const QString& path, std::function<void(const QString&)> onRequest, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), onRequest_(std::move(onRequest)) {
  // Only the holder of the single-instance lock gets here, so a socket left by a
  // crashed program is stale and may go.
  QLocalServer::removeServer(path);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->listen(path);
  connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
}

bool InstanceChannel::Listening() const { return server_->isListening(); }

void InstanceChannel::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A request is one line of UTF-8; one that never ends is dropped after a while.
    auto* guard = new QTimer(socket);
    guard->setSingleShot(true);
    connect(guard, &QTimer::timeout, socket, &QLocalSocket::abort);
    guard->start(5000);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, guard] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > 65536) socket->abort();
        return;
      }
      guard->stop();
      QString file = QString::fromUtf8(socket->readLine()).trimmed();
      socket->write("OK\n");
      socket->flush();
      socket->disconnectFromServer();
      // Answer first, then act: opening may ask the user a question.
      QTimer::singleShot(0, this, [this, file] { onRequest_(file); });
    });
  }
}

bool HandOver(const QString& path, const QString& file, int timeoutMs) {
  QString absolute = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
  QDeadlineTimer deadline(timeoutMs);
  // The running program may still be starting and not listen yet: try again a while.
  while (!deadline.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
      socket.write(absolute.toUtf8() + "\n");
      if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) return false;
      while (!socket.canReadLine()) {
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
          return false;
      }
      return socket.readLine().startsWith("OK");
    }
    QThread::msleep(100);
  }
  return false;
}

}  // namespace pelmora::gui
