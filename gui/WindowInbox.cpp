#include "gui/WindowInbox.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace varnolt {

namespace {

// Inputs travel as their bytes, each ended by a zero byte, which no file
// name or address holds.
constexpr char kEnd = '\0';
constexpr int kConnectMilliseconds = 500;
constexpr int kWriteMilliseconds = 5000;

}  // namespace

QString WindowSocketName() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime + "/varnolt-window";
  return QDir::tempPath() + QString("/varnolt-window-%1").arg(::getuid());
}

bool SendToRunningWindow(const std::vector<std::string>& inputs) {
  QLocalSocket socket;
  socket.connectToServer(WindowSocketName());
  if (!socket.waitForConnected(kConnectMilliseconds)) return false;
  QByteArray message;
  for (const auto& input : inputs) message.append(input.data(), static_cast<qsizetype>(input.size())).append(kEnd);
  socket.write(message);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(kWriteMilliseconds)) return false;
  }
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kWriteMilliseconds);
  return true;
}

WindowInbox::WindowInbox(Delivery deliver) : deliver_(std::move(deliver)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &WindowInbox::Accept);
}

WindowInbox::~WindowInbox() { server_.close(); }

bool WindowInbox::Listen() {
  const QString name = WindowSocketName();
  // Listening with access options puts a new socket in place of any old
  // one, so a window that answers is asked first.
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(kConnectMilliseconds)) return false;
  // A socket nobody answers on was left by a window that did not close.
  QLocalServer::removeServer(name);
  return server_.listen(name);
}

void WindowInbox::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto finish = [this, socket] {
      const QByteArray message = socket->readAll();
      socket->deleteLater();
      std::vector<std::string> inputs;
      for (const QByteArray& input : message.split(kEnd)) {
        if (!input.isEmpty()) inputs.emplace_back(input.constData(), static_cast<size_t>(input.size()));
      }
      deliver_(inputs);
    };
    // It may have said everything and gone before we looked.
    if (socket->state() == QLocalSocket::UnconnectedState) finish();
    else connect(socket, &QLocalSocket::disconnected, this, finish);
  }
}

}  // namespace varnolt
