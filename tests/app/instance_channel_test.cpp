#include "app/instance_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
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
  std::future<std::optional<int>> LaterStart(std::vector<Command> commands) {
    return std::async(std::launch::async,
                      [this, commands] { return InstanceChannel::HandOverToRunning(name, commands); });
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
    channel.SetRunner([this](Command command) { ran.push_back(command); });
  }

  TempFolder folder;
  QString name = QString::fromStdString(folder.File("tarnovox"));
  std::vector<Command> ran;
};

TEST_F(InstanceChannelTest, LaterStartsHandTheirCommandsOverToRunInOrderOnceStartUpIsComplete) {
  EXPECT_EQ(InstanceChannel::HandOverToRunning(name, {Command::Stop}), std::nullopt);
  {
    InstanceChannel recorder(name);
    ASSERT_EQ(recorder.Claim({Command::Record}), std::nullopt);
    ASSERT_TRUE(recorder.Listening());
    EXPECT_EQ(Await(LaterStart({Command::Pause, Command::Stop})), 0);
    EXPECT_EQ(Await(LaterStart({})), 0);
    RunPendingEvents();
    EXPECT_TRUE(ran.empty());
    Record(recorder);
    RunPendingEvents();
    EXPECT_EQ(ran, (std::vector{Command::Record, Command::Pause, Command::Stop, Command::Show}));
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
  recorder.SetRunner([this](Command command) {
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

}  // namespace
}  // namespace tarnovox

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
