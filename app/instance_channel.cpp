#include "app/instance_channel.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/local_socket.h"

namespace tarnovox {
namespace {

// A message is one option per line, ended by an empty line; the recorder
// confirms it with "ok" once it has queued the commands.
constexpr char kConfirmation[] = "ok\n";
constexpr std::size_t kMaxMessageBytes = 4096;
constexpr std::chrono::milliseconds kConnect{1000};
// Long enough for a recorder still starting up (its event loop not yet running).
constexpr std::chrono::milliseconds kConfirm{10000};

std::string Message(const std::vector<Command>& commands) {
  std::string message;
  for (Command command : commands.empty() ? std::vector<Command>{Command::Show} : commands) {
    message += OptionFor(command);
    message += '\n';
  }
  return message + '\n';
}

enum class Delivery { NoRecorder, Confirmed, Unconfirmed };

Delivery Deliver(const QString& name, const std::vector<Command>& commands) {
  const int fd = ConnectLocal(name.toStdString(), kConnect);
  if (fd < 0) return Delivery::NoRecorder;
  std::string answer;
  const bool confirmed =
      SendAll(fd, Message(commands), kConnect) && ReceiveLine(fd, answer, kConfirm) && answer == kConfirmation;
  close(fd);
  return confirmed ? Delivery::Confirmed : Delivery::Unconfirmed;
}

std::optional<int> ExitStatusFor(Delivery delivery) {
  if (delivery == Delivery::NoRecorder) return std::nullopt;
  if (delivery == Delivery::Confirmed) return 0;
  std::fprintf(stderr, "tarnovox: the running recorder does not answer\n");
  return 1;
}

}  // namespace

QString InstanceChannel::DefaultName() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty()) return runtime + "/tarnovox";
  return QString("/tmp/tarnovox-%1").arg(getuid());
}

std::optional<int> InstanceChannel::HandOverToRunning(const QString& name, const std::vector<Command>& commands) {
  return ExitStatusFor(Deliver(name, commands));
}

InstanceChannel::InstanceChannel(QString name) : name_(std::move(name)) {}

InstanceChannel::~InstanceChannel() {
  while (!peers_.empty()) Drop(peers_.back().get());
  if (listener_ >= 0) {
    close(listener_);
    unlink(name_.toLocal8Bit().constData());
  }
}

std::optional<int> InstanceChannel::Claim(const std::vector<Command>& commands) {
  // Held for milliseconds only, and let go by the system when its holder dies.
  // The file stays; it is not "<name>.lock", where earlier versions kept a lock
  // file of another kind that they would take this one for.
  const std::string lockPath = (name_ + ".claim").toStdString();
  const int lock = LockFile(lockPath, kConfirm);
  if (lock < 0) {
    std::fprintf(stderr, "tarnovox: %s is held by another start\n", lockPath.c_str());
    return 1;
  }
  struct Unlock {
    int fd;
    ~Unlock() { close(fd); }
  } unlock{lock};
  if (auto status = ExitStatusFor(Deliver(name_, commands))) return status;
  // Nobody answers on the socket: it is left over from a recorder that was killed.
  const QByteArray path = name_.toLocal8Bit();
  unlink(path.constData());
  listener_ = ListenLocal(path.toStdString());
  if (listener_ >= 0) {
    accepting_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
    connect(accepting_, &QSocketNotifier::activated, this, &InstanceChannel::Accept);
  } else {
    // The recorder still works; only later starts cannot reach it.
    std::fprintf(stderr, "tarnovox: cannot listen on %s: %s\n", path.constData(), std::strerror(errno));
  }
  Enqueue(commands);
  return std::nullopt;
}

bool InstanceChannel::Listening() const { return listener_ >= 0; }

void InstanceChannel::SetRunner(std::function<void(Command)> runner) {
  runner_ = std::move(runner);
  if (runner_ && !queue_.empty()) QMetaObject::invokeMethod(this, [this] { RunQueued(); }, Qt::QueuedConnection);
}

void InstanceChannel::Accept() {
  for (int fd; (fd = AcceptLocal(listener_)) >= 0;) {
    auto peer = std::make_unique<Peer>(Peer{fd, new QSocketNotifier(fd, QSocketNotifier::Read, this), {}});
    Peer* added = peer.get();
    connect(added->notifier, &QSocketNotifier::activated, this, [this, added] { Read(added); });
    peers_.push_back(std::move(peer));
    Read(added);  // data may have arrived with the connection
  }
}

void InstanceChannel::Read(Peer* peer) {
  char buffer[512];
  ssize_t n = -1;
  while (peer->received.size() <= kMaxMessageBytes && (n = recv(peer->fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
    peer->received.append(buffer, n);
  if (n < 0 && errno == EINTR) return;  // the notifier calls again
  const std::size_t end = peer->received.find("\n\n");
  if (end == std::string::npos || end > kMaxMessageBytes) {
    // Gone before its message was complete, or sending more than any start sends.
    if (n == 0 || (n < 0 && errno != EAGAIN) || peer->received.size() > kMaxMessageBytes) Drop(peer);
    return;
  }
  std::vector<std::string> arguments;
  for (std::size_t from = 0; from < end;) {
    const std::size_t to = std::min(peer->received.find('\n', from), end);
    if (to > from) arguments.push_back(peer->received.substr(from, to - from));
    from = to + 1;
  }
  const CommandLine line = ParseCommandLine(arguments);
  // A message not from a start of this program is not confirmed: the sender reports it.
  if (line.outcome == CommandLine::Outcome::Run) {
    Enqueue(line.commands);
    SendAll(peer->fd, kConfirmation, kConnect);
  }
  Drop(peer);
}

void InstanceChannel::Drop(Peer* peer) {
  peer->notifier->setEnabled(false);
  peer->notifier->deleteLater();  // it may be the one whose signal runs now
  close(peer->fd);
  std::erase_if(peers_, [peer](const std::unique_ptr<Peer>& p) { return p.get() == peer; });
}

void InstanceChannel::Enqueue(const std::vector<Command>& commands) {
  queue_.insert(queue_.end(), commands.begin(), commands.end());
  if (runner_ && !commands.empty()) QMetaObject::invokeMethod(this, [this] { RunQueued(); }, Qt::QueuedConnection);
}

void InstanceChannel::RunQueued() {
  // A command may process events (a message box, pending input); commands that
  // arrive meanwhile wait for it instead of running inside it.
  if (running_) return;
  running_ = true;
  while (runner_ && !queue_.empty()) {
    const Command command = queue_.front();
    queue_.pop_front();
    runner_(command);
  }
  running_ = false;
}

}  // namespace tarnovox
