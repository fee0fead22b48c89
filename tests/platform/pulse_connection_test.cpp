// The sound-server connection against no server and a server that never
// answers. (A server that dies and comes back: pulse_connection_e2e_test.cpp.)
#include "platform/pulse_connection.h"

#include <gtest/gtest.h>
#include <pulse/def.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

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

}  // namespace
}  // namespace tarnovox
