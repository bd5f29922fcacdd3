#pragma once
// The channel between a running program and a second start of it: the second start
// hands over the project it was asked to open (a double click in the file manager)
// and ends; the running one raises its window and opens the project.
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace pelmora::gui {

// The socket path beside the single-instance lock file.
QString ChannelPath(const std::string& lockPath);

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  // `onRequest` receives the absolute path handed over (empty: only raise the window).
  InstanceChannel(const QString& path, std::function<void(const QString&)> onRequest, QObject* parent = nullptr);
  bool Listening() const;

 private:
  void Accept();
  QLocalServer* server_;
  std::function<void(const QString&)> onRequest_;
};

// Sends `file` (made absolute; empty for none) to the running program and waits for its
// acknowledgement. True when the running program took the request.
bool HandOver(const QString& path, const QString& file, int timeoutMs = 5000);

}  // namespace pelmora::gui
