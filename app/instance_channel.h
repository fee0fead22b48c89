#pragma once
// One recorder per user session. The running recorder listens on a per-user
// local socket; a later start hands its commands over through it and exits,
// before it has loaded settings, read the output folder or opened a device, so
// it cannot disturb the recording in progress. Received commands run one after
// another from the event loop, in the order they arrived.
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"

class QSocketNotifier;

namespace tarnovox {

class InstanceChannel final : public QObject {
 public:
  // NameFor the session's XDG_RUNTIME_DIR, /tmp and its display
  // (WAYLAND_DISPLAY, else DISPLAY).
  static QString DefaultName(QString* error);
  // "<runtimeFolder>/tarnovox-<display>" when runtimeFolder is a private folder
  // of this user, else the same name in "<sharedFolder>/tarnovox-<uid>", a
  // private folder made when missing; "tarnovox" without a display. Empty,
  // with error set, when that folder is not private (another user made it).
  static QString NameFor(const QString& runtimeFolder, const QString& sharedFolder, const QString& display,
                         QString* error);

  // Needs no application object. When a recorder listens on name, hands it the
  // commands (none means Show) and returns the exit status for this start:
  // 0, or 1 when it does not confirm them. Nothing when no recorder listens.
  // Also 1, with a line on stderr, when the listener is another user's, or
  // still does not accept connections after a few seconds (busy).
  // `timing` goes with the commands' Record.
  static std::optional<int> HandOverToRunning(const QString& name, const std::vector<Command>& commands,
                                              const TakeTiming& timing = {});

  explicit InstanceChannel(QString name);
  ~InstanceChannel() override;
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;

  // Needs the application object. Under a lock beside the socket, so that of
  // two racing starts only one listens: hands over to a recorder that started
  // meanwhile (returning the exit status), or removes a socket left by a killed
  // recorder, listens and keeps the commands for the runner (nothing returned).
  std::optional<int> Claim(const std::vector<Command>& commands, const TakeTiming& timing = {});

  // Runs one command; a Record carries the timing its line gave (`--for`, `--at`).
  using Runner = std::function<void(Command, const TakeTiming&)>;
  // Commands wait until a runner is set; an empty runner holds them again.
  void SetRunner(Runner runner);

  bool Listening() const;

 private:
  // A later start's connection, read until its message is complete.
  struct Peer {
    int fd;
    QSocketNotifier* notifier;
    std::string received;
  };

  void Accept();
  void Read(Peer* peer);
  void Drop(Peer* peer);
  void Enqueue(const std::vector<Command>& commands, const TakeTiming& timing);
  void RunQueued();

  QString name_;
  int listener_ = -1;
  // The socket file as bound: at exit it is removed only if still the same.
  unsigned long boundDevice_ = 0;
  unsigned long boundInode_ = 0;
  QSocketNotifier* accepting_ = nullptr;
  std::vector<std::unique_ptr<Peer>> peers_;
  Runner runner_;
  std::deque<std::pair<Command, TakeTiming>> queue_;
  bool running_ = false;
};

}  // namespace tarnovox
