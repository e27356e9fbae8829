#pragma once
// One window per user for "varnolt --window FILE...": the first window
// listens on a local socket; a later start hands its files and addresses to
// it and ends, as desktop editors do.
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace varnolt {

// $XDG_RUNTIME_DIR/varnolt-window (a folder only its user can enter), else
// varnolt-window-UID in the temporary folder.
QString WindowSocketName();

// Sends the inputs (absolute file names or addresses) to the window that
// listens; false when none answers.
bool SendToRunningWindow(const std::vector<std::string>& inputs);

// The listening end: each connection's inputs are delivered once it closes.
class WindowInbox : public QObject {
 public:
  using Delivery = std::function<void(const std::vector<std::string>&)>;
  explicit WindowInbox(Delivery deliver);
  ~WindowInbox() override;

  // False when another window already listens, or the socket cannot be made.
  bool Listen();

 private:
  void Accept();

  Delivery deliver_;
  QLocalServer server_;
};

}  // namespace varnolt
