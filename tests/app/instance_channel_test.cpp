#include "app/instance_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "app/local_socket.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::TempFolder;

// That a socket left by a killed recorder is replaced, the program scenario
// "commands" shows: it kills the recorder, starts the next with --record and
// stops it with a later start.
class InstanceChannelTest : public ::testing::Test {
 protected:
  // Another start of the program: it blocks on its socket, so it runs beside
  // this thread's event loop.
  std::future<std::optional<int>> LaterStart(std::vector<Command> commands, TakeTiming timing = {}) {
    return std::async(std::launch::async, [this, commands, timing] {
      return InstanceChannel::HandOverToRunning(name, commands, timing);
    });
  }
  template <class T>
  T Await(std::future<T> result) {
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return result.get();
  }
  void RunPendingEvents() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }
  void Record(InstanceChannel& channel) {
    channel.SetRunner([this](Command command, const TakeTiming& timing) {
      ran.push_back(command);
      timings.push_back(timing);
    });
  }
  // A later start that finds the socket held by something it cannot hand
  // over to: it neither hands its commands over nor claims the socket and
  // ends with status 1. What it said.
  std::string RefusedLaterStart() {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(InstanceChannel::HandOverToRunning(name, {Command::Stop}), 1);
    {
      InstanceChannel late(name);
      EXPECT_EQ(late.Claim({Command::Record}), 1);
      EXPECT_FALSE(late.Listening());
    }
    return ::testing::internal::GetCapturedStderr();
  }

  TempFolder folder;
  QString name = QString::fromStdString(folder.File("tarnovox"));
  std::vector<Command> ran;
  std::vector<TakeTiming> timings;
};

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  return address;
}
int Bind(int fd, const sockaddr_un& address) {
  return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

// A socket bound at path that listens but never accepts: backlog 0 holds one
// connection, so the second one fills its queue.
int ListenerThatNeverAccepts(const std::string& path, int backlog = 0) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  return Bind(fd, AddressOf(path)) < 0 || listen(fd, backlog) < 0 ? -1 : fd;
}

ino_t InodeAt(const std::string& path) {
  struct stat at {};
  return lstat(path.c_str(), &at) == 0 ? at.st_ino : 0;
}

TEST_F(InstanceChannelTest, LaterStartsHandTheirCommandsOverToRunInOrderOnceStartUpIsComplete) {
  EXPECT_EQ(InstanceChannel::HandOverToRunning(name, {Command::Stop}), std::nullopt);
  {
    InstanceChannel recorder(name);
    ASSERT_EQ(recorder.Claim({Command::Record}), std::nullopt);
    ASSERT_TRUE(recorder.Listening());
    EXPECT_EQ(Await(LaterStart({Command::Pause, Command::Stop})), 0);
    EXPECT_EQ(Await(LaterStart({})), 0);
    // `--stop --record --for 1h30m --at 07:05`: the timing reaches the Record only.
    EXPECT_EQ(Await(LaterStart({Command::Stop, Command::Record}, {5400, 425})), 0);
    RunPendingEvents();
    EXPECT_TRUE(ran.empty());
    Record(recorder);
    RunPendingEvents();
    EXPECT_EQ(ran, (std::vector{Command::Record, Command::Pause, Command::Stop, Command::Show, Command::Stop,
                                Command::Record}));
    EXPECT_EQ(timings, (std::vector<TakeTiming>{{}, {}, {}, {}, {}, {5400, 425}}));
  }
  EXPECT_FALSE(std::filesystem::exists(name.toStdString()));
  EXPECT_EQ(InstanceChannel::HandOverToRunning(name, {Command::Stop}), std::nullopt);
}

TEST_F(InstanceChannelTest, StartThatLosesTheRaceHandsOverOnASocketOnlyTheUserReaches) {
  // Of two starts at once, the second waits until the first has claimed the socket.
  const std::string lockPath = name.toStdString() + ".claim";
  const int held = LockFile(lockPath, std::chrono::milliseconds(0));
  ASSERT_GE(held, 0);
  EXPECT_EQ(LockFile(lockPath, std::chrono::milliseconds(30)), -1);
  close(held);
  const int next = LockFile(lockPath, std::chrono::milliseconds(0));
  EXPECT_GE(next, 0);
  close(next);

  InstanceChannel recorder(name);
  ASSERT_EQ(recorder.Claim({}), std::nullopt);
  Record(recorder);
  std::future<std::optional<int>> loser = std::async(std::launch::async, [this] {
    InstanceChannel late(name);
    const std::optional<int> status = late.Claim({Command::Stop, Command::Show});
    return late.Listening() ? std::optional<int>(-1) : status;
  });
  EXPECT_EQ(Await(std::move(loser)), 0);
  RunPendingEvents();
  EXPECT_EQ(ran, (std::vector{Command::Stop, Command::Show}));
  using std::filesystem::perms;
  EXPECT_EQ(std::filesystem::status(name.toStdString()).permissions() & (perms::group_all | perms::others_all),
            perms::none);
}

TEST_F(InstanceChannelTest, OnlyWellFormedMessagesRun) {
  InstanceChannel recorder(name);
  ASSERT_EQ(recorder.Claim({}), std::nullopt);
  Record(recorder);
  // What a peer hears back for a message; the connection is closed either way.
  auto Answer = [this](const std::string& message) {
    return Await(std::async(std::launch::async, [this, message] {
      const int fd = ConnectLocal(name.toStdString(), std::chrono::seconds(1));
      std::string answer = "no connection";
      if (fd >= 0 && SendAll(fd, message, std::chrono::seconds(1)) && shutdown(fd, SHUT_WR) == 0 &&
          !ReceiveLine(fd, answer, std::chrono::seconds(5)))
        answer.clear();
      if (fd >= 0) close(fd);
      return answer;
    }));
  };
  EXPECT_EQ(Answer("--format-disk\n\n"), "");
  EXPECT_EQ(Answer(std::string(5000, 'x')), "");
  EXPECT_EQ(Answer("--stop\n--rec"), "");  // never finished
  EXPECT_EQ(Answer("--stop\n\n"), "ok\n");
  RunPendingEvents();
  EXPECT_EQ(ran, std::vector{Command::Stop});
}

TEST_F(InstanceChannelTest, CommandArrivingWhileOneRunsWaitsForIt) {
  InstanceChannel recorder(name);
  ASSERT_EQ(recorder.Claim({Command::Record}), std::nullopt);
  recorder.SetRunner([this](Command command, const TakeTiming&) {
    ran.push_back(command);
    // Record processes pending events, as starting a recording does.
    if (command == Command::Record) {
      EXPECT_EQ(Await(LaterStart({Command::Stop})), 0);
      RunPendingEvents();
      EXPECT_EQ(ran, std::vector{Command::Record});
    }
  });
  RunPendingEvents();
  EXPECT_EQ(ran, (std::vector{Command::Record, Command::Stop}));
}

TEST_F(InstanceChannelTest, ChannelLivesInAPrivateFolderOfThisUserNamedAfterTheDisplay) {
  const QString shared = QString::fromStdString(folder.Path());
  const QString own = shared + QString("/tarnovox-%1").arg(getuid());
  QString error;
  const QString first = InstanceChannel::NameFor("", shared, ":1.0", &error);
  EXPECT_EQ(error.toStdString(), "");
  EXPECT_EQ(first.toStdString(), (own + "/tarnovox-:1").toStdString());
  struct stat made {};
  ASSERT_EQ(lstat(own.toLocal8Bit().constData(), &made), 0);
  EXPECT_TRUE(S_ISDIR(made.st_mode));
  EXPECT_EQ(made.st_mode & 07777, 0700u);
  EXPECT_EQ(InstanceChannel::NameFor("", shared, ":1", &error), first);
  EXPECT_EQ(InstanceChannel::NameFor("", shared, ":2", &error), own + "/tarnovox-:2");
  EXPECT_EQ(InstanceChannel::NameFor("", shared, "", &error), own + "/tarnovox");
  // A runtime folder that is ours is used as it is; another user's (left by su) is not.
  const std::string runtime = folder.File("run");
  std::filesystem::create_directory(runtime);
  chmod(runtime.c_str(), 0700);
  EXPECT_EQ(InstanceChannel::NameFor(QString::fromStdString(runtime), shared, "wayland-0", &error),
            QString::fromStdString(runtime) + "/tarnovox-wayland-0");
  if (getuid() == 0) {
    ASSERT_EQ(chown(runtime.c_str(), 65534, 65534), 0);
    EXPECT_EQ(InstanceChannel::NameFor(QString::fromStdString(runtime), shared, "wayland-0", &error),
              own + "/tarnovox-wayland-0");
  }

  // A socket an earlier version left at the folder's path gives way to the folder.
  std::filesystem::remove_all(own.toStdString());
  close(ListenerThatNeverAccepts(own.toStdString()));
  EXPECT_EQ(InstanceChannel::NameFor("", shared, ":1", &error), first);

  // What another user could have put in the shared folder beforehand is refused.
  auto Refusal = [&] {
    error.clear();
    const QString refusedName = InstanceChannel::NameFor("", shared, ":1", &error);
    return refusedName.isEmpty() ? error.toStdString() : "accepted " + refusedName.toStdString();
  };
  std::filesystem::remove(own.toStdString());
  std::filesystem::create_directory(folder.File("elsewhere"));
  std::filesystem::create_directory_symlink(folder.File("elsewhere"), own.toStdString());
  EXPECT_EQ(Refusal(), own.toStdString() + " is a symbolic link, not a private folder");
  std::filesystem::remove(own.toStdString());
  folder.WriteText("tarnovox-" + std::to_string(getuid()), "");
  EXPECT_EQ(Refusal(), own.toStdString() + " is not a folder");
  std::filesystem::remove(own.toStdString());
  mkdir(own.toLocal8Bit().constData(), 0777);
  chmod(own.toLocal8Bit().constData(), 0777);
  EXPECT_EQ(Refusal(), own.toStdString() + " is open to other users");
  if (getuid() == 0) {
    chmod(own.toLocal8Bit().constData(), 0700);
    ASSERT_EQ(chown(own.toLocal8Bit().constData(), 65534, 65534), 0);
    EXPECT_EQ(Refusal(), own.toStdString() + " belongs to another user");
  }
}

TEST_F(InstanceChannelTest, CommandsAreNotHandedToAListenerOfAnotherUser) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to listen as another user";
  int received[2], ready[2];
  ASSERT_EQ(pipe(received), 0);
  ASSERT_EQ(pipe(ready), 0);
  // The other user binds where the recorder would (here as root, before it
  // changes its user), then listens, confirms and tells what it got.
  const pid_t other = fork();
  if (other == 0) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (Bind(fd, AddressOf(name.toStdString())) < 0 || setuid(65534) < 0 || listen(fd, 4) < 0 ||
        write(ready[1], "l", 1) != 1)
      _exit(2);
    for (;;) {
      const int peer = accept(fd, nullptr, nullptr);
      char buffer[256];
      const ssize_t n = read(peer, buffer, sizeof buffer);
      if (n > 0 && write(received[1], buffer, n) < 0) _exit(3);
      send(peer, "ok\n", 3, MSG_NOSIGNAL);  // a start that refused us has closed already
      close(peer);
    }
  }
  close(received[1]);
  close(ready[1]);
  char listening = 0;  // the socket's file is there before it listens: wait for the listen
  ASSERT_EQ(read(ready[0], &listening, 1), 1) << "the other user's listener did not start";
  close(ready[0]);
  const std::string said = RefusedLaterStart();
  kill(other, SIGKILL);
  waitpid(other, nullptr, 0);
  char buffer[256];
  const ssize_t leaked = read(received[0], buffer, sizeof buffer);
  close(received[0]);
  EXPECT_EQ(leaked, 0) << std::string(buffer, std::max<ssize_t>(leaked, 0));
  EXPECT_NE(said.find(name.toStdString() + " is held by another user (uid 65534)"), std::string::npos) << said;
}

TEST_F(InstanceChannelTest, RecorderWithAFullQueueIsBusyNotGone) {
  const int busy = ListenerThatNeverAccepts(name.toStdString());
  ASSERT_GE(busy, 0);
  std::vector<int> waiting;
  const sockaddr_un address = AddressOf(name.toStdString());
  for (int i = 0; i < 8; ++i) {
    waiting.push_back(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
    if (connect(waiting.back(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) break;
  }
  const ino_t bound = InodeAt(name.toStdString());
  const std::string said = RefusedLaterStart();
  for (int fd : waiting) close(fd);
  close(busy);
  EXPECT_EQ(InodeAt(name.toStdString()), bound);
  EXPECT_NE(said.find("the running recorder is busy"), std::string::npos) << said;
}

TEST_F(InstanceChannelTest, RecorderRemovesOnlyTheSocketItBound) {
  ino_t replaced = 0;
  int other = -1;
  {
    InstanceChannel recorder(name);
    ASSERT_EQ(recorder.Claim({}), std::nullopt);
    unlink(name.toLocal8Bit().constData());
    other = ListenerThatNeverAccepts(name.toStdString(), 4);
    ASSERT_GE(other, 0);
    replaced = InodeAt(name.toStdString());
  }
  EXPECT_EQ(InodeAt(name.toStdString()), replaced);
  close(other);
}

TEST_F(InstanceChannelTest, ClaimFileThatCannotBeOpenedIsNamedWithItsError) {
  std::filesystem::create_directory(name.toStdString() + ".claim");
  InstanceChannel recorder(name);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(recorder.Claim({}), 1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(recorder.Listening());
  EXPECT_EQ(said, "tarnovox: cannot open " + name.toStdString() + ".claim: Is a directory\n");
}

}  // namespace
}  // namespace tarnovox

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
