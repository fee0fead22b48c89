#include "app/instance_channel.h"

#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <cstdio>

namespace tarnovox {
namespace {

// A message is one option per line, ended by an empty line; the recorder
// confirms it with "ok" once it has queued the commands.
constexpr char kConfirmation[] = "ok\n";
constexpr int kMaxMessageBytes = 4096;
constexpr int kConnectMs = 1000;
// Long enough for a recorder still starting up (its event loop not yet running).
constexpr int kConfirmMs = 10000;

QByteArray Message(const std::vector<Command>& commands) {
  QByteArray message;
  for (Command command : commands.empty() ? std::vector<Command>{Command::Show} : commands) {
    message += OptionFor(command);
    message += '\n';
  }
  return message + '\n';
}

enum class Delivery { NoRecorder, Confirmed, Unconfirmed };

Delivery Deliver(const QString& name, const std::vector<Command>& commands) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(kConnectMs)) return Delivery::NoRecorder;
  socket.write(Message(commands));
  if (!socket.waitForBytesWritten(kConnectMs)) return Delivery::Unconfirmed;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kConfirmMs)) return Delivery::Unconfirmed;
  }
  return socket.readLine() == kConfirmation ? Delivery::Confirmed : Delivery::Unconfirmed;
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
  if (server_ != nullptr) server_->close();  // removes the socket file
}

std::optional<int> InstanceChannel::Claim(const std::vector<Command>& commands) {
  QLockFile lock(name_ + ".lock");
  // Held for milliseconds only; a holder that died is detected by its process id.
  lock.setStaleLockTime(0);
  if (!lock.tryLock(kConfirmMs)) {
    std::fprintf(stderr, "tarnovox: %s is held by another start\n", qPrintable(lock.fileName()));
    return 1;
  }
  if (auto status = ExitStatusFor(Deliver(name_, commands))) return status;
  // Nobody answers on the socket: it is left over from a recorder that was killed.
  QLocalServer::removeServer(name_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (server_->listen(name_)) {
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
  } else {
    // The recorder still works; only later starts cannot reach it.
    std::fprintf(stderr, "tarnovox: cannot listen on %s: %s\n", qPrintable(name_), qPrintable(server_->errorString()));
  }
  Enqueue(commands);
  return std::nullopt;
}

bool InstanceChannel::Listening() const { return server_ != nullptr && server_->isListening(); }

void InstanceChannel::SetRunner(std::function<void(Command)> runner) {
  runner_ = std::move(runner);
  if (runner_ && !queue_.empty()) QMetaObject::invokeMethod(this, [this] { RunQueued(); }, Qt::QueuedConnection);
}

void InstanceChannel::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
    Read(socket);  // data may have arrived with the connection
  }
}

void InstanceChannel::Read(QLocalSocket* socket) {
  const QByteArray pending = socket->peek(kMaxMessageBytes + 1);
  const qsizetype end = pending.indexOf("\n\n");
  if (end < 0) {
    if (pending.size() > kMaxMessageBytes) socket->abort();
    return;
  }
  const QByteArray message = socket->read(end + 2);
  std::vector<std::string> arguments;
  for (const QByteArray& line : message.split('\n')) {
    if (!line.isEmpty()) arguments.push_back(line.toStdString());
  }
  const CommandLine line = ParseCommandLine(arguments);
  if (line.outcome != CommandLine::Outcome::Run) {
    socket->abort();  // not from a start of this program: the sender reports it
    return;
  }
  Enqueue(line.commands);
  socket->write(kConfirmation);
  socket->disconnectFromServer();
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
