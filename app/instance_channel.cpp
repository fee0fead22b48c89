#include "app/instance_channel.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/local_socket.h"
#include "app/private_folder.h"

namespace tarnovox {
namespace {

// A message is one option per line, ended by an empty line; the recorder
// confirms it with "ok" once it has queued the commands.
constexpr char kConfirmation[] = "ok\n";
constexpr std::size_t kMaxMessageBytes = 4096;
constexpr std::chrono::milliseconds kConnect{1000};
// How long a busy recorder's full queue is retried.
constexpr std::chrono::milliseconds kBusy{3000};
// Keeps the socket's path within what a socket address holds.
constexpr int kMaxDisplayChars = 40;
// Long enough for a recorder still starting up (its event loop not yet running).
constexpr std::chrono::milliseconds kConfirm{10000};

std::string Message(const std::vector<Command>& commands, const TakeTiming& timing) {
  std::string message;
  for (Command command : commands.empty() ? std::vector<Command>{Command::Show} : commands) {
    message += OptionFor(command);
    message += '\n';
  }
  for (const std::string& option : TimingOptions(timing)) message += option + '\n';
  return message + '\n';
}

// Only these mean that nobody listens: a full queue (EAGAIN) is a recorder busy
// starting up or stalled, and any other failure is reported, not taken as room
// for a second recorder.
bool NobodyListens(int error) { return error == ECONNREFUSED || error == ENOENT; }

// Nothing when no recorder listens on name; otherwise this start's exit status.
std::optional<int> Deliver(const QString& name, const std::vector<Command>& commands, const TakeTiming& timing) {
  const std::string path = name.toStdString();
  const int fd = ConnectLocal(path, kBusy);
  if (fd < 0) {
    if (NobodyListens(errno)) return std::nullopt;
    if (errno == EAGAIN)
      std::fprintf(stderr, "tarnovox: the running recorder is busy and takes no commands; try again\n");
    else
      std::fprintf(stderr, "tarnovox: cannot reach the running recorder at %s: %s\n", path.c_str(),
                   std::strerror(errno));
    return 1;
  }
  // Only a listener of this user gets the commands.
  if (const long owner = PeerUser(fd); owner != static_cast<long>(getuid())) {
    close(fd);
    std::fprintf(stderr, "tarnovox: %s is held by another user (uid %ld)\n", path.c_str(), owner);
    return 1;
  }
  std::string answer;
  const bool confirmed =
      SendAll(fd, Message(commands, timing), kConnect) && ReceiveLine(fd, answer, kConfirm) && answer == kConfirmation;
  close(fd);
  if (confirmed) return 0;
  std::fprintf(stderr, "tarnovox: the running recorder does not answer\n");
  return 1;
}

// "host:0.0" names the same display as "host:0"; characters that do not
// belong in a file name (a Wayland socket may be given as a path) become '_'.
QString DisplayPart(QString display) {
  static const QRegularExpression screen(R"((:\d+)\.\d+$)");
  display.replace(screen, "\\1");
  for (QChar& c : display) {
    if (!c.isLetterOrNumber() && c != ':' && c != '.' && c != '-' && c != '_') c = '_';
  }
  return display.left(kMaxDisplayChars);
}

// Earlier versions put their socket itself at the folder's path. One that
// nobody listens on (its recorder was killed) is removed so the folder can be made.
void RemoveEarlierSocket(const std::string& path) {
  struct stat found {};
  if (lstat(path.c_str(), &found) < 0 || !S_ISSOCK(found.st_mode) || found.st_uid != getuid()) return;
  const int fd = ConnectLocal(path, std::chrono::milliseconds(0));
  if (fd >= 0)
    close(fd);
  else if (NobodyListens(errno))
    unlink(path.c_str());
}

}  // namespace

QString InstanceChannel::DefaultName(QString* error) {
  const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
  return NameFor(qEnvironmentVariable("XDG_RUNTIME_DIR"), "/tmp",
                 wayland.isEmpty() ? qEnvironmentVariable("DISPLAY") : wayland, error);
}

QString InstanceChannel::NameFor(const QString& runtimeFolder, const QString& sharedFolder, const QString& display,
                                 QString* error) {
  // One recorder per graphical session: two sessions of one user share the runtime folder.
  const QString file = display.isEmpty() ? QString("tarnovox") : "tarnovox-" + DisplayPart(display);
  // A runtime folder that is not ours (kept by su from the other user) is passed over.
  if (!runtimeFolder.isEmpty() && CheckPrivateFolder(runtimeFolder.toStdString(), false).empty())
    return runtimeFolder + "/" + file;
  const QString own = QString("%1/tarnovox-%2").arg(sharedFolder).arg(getuid());
  RemoveEarlierSocket(own.toStdString());
  if (const std::string problem = CheckPrivateFolder(own.toStdString(), true); !problem.empty()) {
    *error = QString::fromStdString(problem);
    return {};
  }
  return own + "/" + file;
}

std::optional<int> InstanceChannel::HandOverToRunning(const QString& name, const std::vector<Command>& commands,
                                                      const TakeTiming& timing) {
  return Deliver(name, commands, timing);
}

InstanceChannel::InstanceChannel(QString name) : name_(std::move(name)) {}

InstanceChannel::~InstanceChannel() {
  while (!peers_.empty()) Drop(peers_.back().get());
  if (listener_ >= 0) {
    close(listener_);
    // A later recorder may have replaced the socket (after this one stalled): leave its socket alone.
    struct stat now {};
    const QByteArray path = name_.toLocal8Bit();
    if (lstat(path.constData(), &now) == 0 && now.st_dev == boundDevice_ && now.st_ino == boundInode_)
      unlink(path.constData());
  }
}

std::optional<int> InstanceChannel::Claim(const std::vector<Command>& commands, const TakeTiming& timing) {
  // Held for milliseconds only, and let go by the system when its holder dies.
  // The file stays; it is not "<name>.lock", where earlier versions kept a lock
  // file of another kind that they would take this one for.
  const std::string lockPath = (name_ + ".claim").toStdString();
  const int lock = LockFile(lockPath, kConfirm);
  if (lock < 0 && errno == EWOULDBLOCK) {
    std::fprintf(stderr, "tarnovox: %s is held by another start\n", lockPath.c_str());
    return 1;
  }
  if (lock < 0) {
    std::fprintf(stderr, "tarnovox: cannot open %s: %s\n", lockPath.c_str(), std::strerror(errno));
    return 1;
  }
  struct Unlock {
    int fd;
    ~Unlock() { close(fd); }
  } unlock{lock};
  if (auto status = Deliver(name_, commands, timing)) return status;
  // Nobody answers on the socket: it is left over from a recorder that was killed.
  const QByteArray path = name_.toLocal8Bit();
  unlink(path.constData());
  listener_ = ListenLocal(path.toStdString());
  struct stat bound {};
  if (listener_ >= 0 && lstat(path.constData(), &bound) == 0) {
    boundDevice_ = bound.st_dev;
    boundInode_ = bound.st_ino;
  }
  if (listener_ >= 0) {
    accepting_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
    connect(accepting_, &QSocketNotifier::activated, this, &InstanceChannel::Accept);
  } else {
    // The recorder still works; only later starts cannot reach it.
    std::fprintf(stderr, "tarnovox: cannot listen on %s: %s\n", path.constData(), std::strerror(errno));
  }
  Enqueue(commands, timing);
  return std::nullopt;
}

bool InstanceChannel::Listening() const { return listener_ >= 0; }

void InstanceChannel::SetRunner(Runner runner) {
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
    Enqueue(line.commands, line.timing);
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

void InstanceChannel::Enqueue(const std::vector<Command>& commands, const TakeTiming& timing) {
  // The timing belongs to the take that the line's Record starts.
  for (Command command : commands) queue_.emplace_back(command, command == Command::Record ? timing : TakeTiming{});
  if (runner_ && !commands.empty()) QMetaObject::invokeMethod(this, [this] { RunQueued(); }, Qt::QueuedConnection);
}

void InstanceChannel::RunQueued() {
  // A command may process events (a message box, pending input); commands that
  // arrive meanwhile wait for it instead of running inside it.
  if (running_) return;
  running_ = true;
  while (runner_ && !queue_.empty()) {
    const auto [command, timing] = queue_.front();
    queue_.pop_front();
    runner_(command, timing);
  }
  running_ = false;
}

}  // namespace tarnovox
