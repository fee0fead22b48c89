// The sound-server connection against no server, a server that never
// answers, and (with the e2e rig) a server that dies and comes back.
#include "platform/pulse_connection.h"

#include <gtest/gtest.h>
#include <pulse/def.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using namespace std::chrono_literals;

// PULSE_SERVER names `server` for the scope, then what it named before.
class ServerOverride {
 public:
  explicit ServerOverride(const std::string& server) {
    if (const char* old = std::getenv("PULSE_SERVER")) old_ = old;
    ::setenv("PULSE_SERVER", server.c_str(), 1);
  }
  ~ServerOverride() {
    if (old_) ::setenv("PULSE_SERVER", old_->c_str(), 1);
    else ::unsetenv("PULSE_SERVER");
  }

 private:
  std::optional<std::string> old_;
};

// A socket that takes connections and never says a word.
class SilentServer {
 public:
  explicit SilentServer(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 4) == 0;
  }
  ~SilentServer() { ::close(fd_); }
  bool Listening() const { return bound_; }

 private:
  int fd_;
  bool bound_ = false;
};

struct CountingClient : PulseConnection::Client {
  void ConnectionLost() override { ++lost; }
  void ConnectionRestored() override { ++restored; }
  int lost = 0;
  int restored = 0;
};

TEST(PulseConnection, NoServerIsRefusedWithoutWaiting) {
  testing::TempFolder folder;
  const ServerOverride none("unix:" + folder.File("none"));
  PulseConnection connection("Tarnovox", 60s);
  const int error = connection.Connect();
  EXPECT_NE(error, 0);
  EXPECT_NE(error, PA_ERR_TIMEOUT) << "a missing server must not be waited for";
  EXPECT_FALSE(connection.Connected());
  EXPECT_EQ(connection.Context(), nullptr);
  EXPECT_FALSE(PulseConnection::ErrorText(error).empty());
}

TEST(PulseConnection, AServerThatNeverAnswersFailsWhenTheWaitRunsOut) {
  testing::TempFolder folder;
  const SilentServer silent(folder.File("silent"));
  ASSERT_TRUE(silent.Listening());
  const ServerOverride named("unix:" + folder.File("silent"));
  PulseConnection connection("Tarnovox", 300ms);
  EXPECT_EQ(connection.Connect(), PA_ERR_TIMEOUT);
  EXPECT_FALSE(connection.Connected());
  EXPECT_EQ(connection.Context(), nullptr);
  EXPECT_EQ(connection.Connect(), PA_ERR_TIMEOUT) << "each use tries again";
}

// The rig's server is killed and started again while the connection lives.
TEST(PulseConnectionE2E, ALostServerIsToldAtOnceAndTheNextConnectAfterItsReturnStands) {
  const char* rig = std::getenv("TARNOVOX_RIG");
  const char* rigDir = std::getenv("TARNOVOX_RIG_DIR");
  if (rig == nullptr || rigDir == nullptr) GTEST_SKIP() << "needs tests/e2e/rig.sh to restart the server";
  PulseConnection connection;
  CountingClient client;
  connection.AddClient(client);
  std::atomic<int> lostError{0};
  connection.OnLost([&](int error) { lostError = error; });
  ASSERT_EQ(connection.Connect(), 0);
  ASSERT_TRUE(connection.Connected());

  testing::RunCommand(std::string(rig) + " pulse-kill " + rigDir);
  for (int i = 0; i < 250 && lostError == 0; ++i) std::this_thread::sleep_for(20ms);
  EXPECT_NE(lostError.load(), 0) << "the loss was not told";
  EXPECT_FALSE(connection.Connected());
  EXPECT_NE(connection.Connect(), 0);
  EXPECT_EQ(client.lost, 1);
  EXPECT_EQ(client.restored, 0);

  testing::RunCommand(std::string(rig) + " pulse-start " + rigDir);
  EXPECT_EQ(connection.Connect(), 0);
  EXPECT_TRUE(connection.Connected());
  EXPECT_EQ(client.lost, 1);
  EXPECT_EQ(client.restored, 1);
  connection.RemoveClient(client);
}

}  // namespace
}  // namespace tarnovox
