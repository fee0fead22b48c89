// The sound-server connection on the e2e rig's server, which dies and comes back.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/pulse_connection.h"
#include "tests/support/sound_check.h"

namespace tarnovox {
namespace {

using namespace std::chrono_literals;

struct CountingClient : PulseConnection::Client {
  void ConnectionLost() override { ++lost; }
  void ConnectionRestored() override { ++restored; }
  int lost = 0;
  int restored = 0;
};

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
