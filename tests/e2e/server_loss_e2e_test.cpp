// The sound server crashes (SIGKILL) in the middle of a WAV and of an MP3
// recording on the real private server, and is started again: the take keeps
// everything that arrived, the user is told once, and monitoring and recording
// come back without restarting anything.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "tests/e2e/live_recorder.h"
#include "tests/e2e/noise_signal.h"
#include "tests/formats/mp3_probe.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

void RunRig(const char* command) {
  const std::string line =
      std::string(std::getenv("TARNOVOX_RIG")) + " " + command + " " + std::getenv("TARNOVOX_RIG_DIR");
  ASSERT_EQ(std::system(line.c_str()), 0) << line;
}

// The process that answers the program's connections: PulseAudio, or
// PipeWire's PulseAudio service. 0 when the rig does not say.
pid_t ServerProcess() {
  const std::string dir = std::getenv("TARNOVOX_RIG_DIR");
  for (const char* name : {"/pulse.pid", "/pipewire-pulse.pid"}) {
    pid_t pid = 0;
    if (std::ifstream(dir + name) >> pid) return pid;
  }
  return 0;
}

// Seconds `command` held the window thread.
double SecondsFor(LiveRecorder& rig, RecorderCommand command) {
  const auto begin = std::chrono::steady_clock::now();
  rig.controller.Execute(command);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// Ticks until monitoring hands a block of sound to the meters; the seconds
// that took, or a negative number after `limit` seconds.
double SecondsUntilTheMetersMove(LiveRecorder& rig, double limit) {
  const auto begin = std::chrono::steady_clock::now();
  const int before = rig.meters.blocks;
  for (;;) {
    rig.Ticks(1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (rig.engine.MonitoringOpen() && rig.meters.blocks > before) return seconds;
    if (seconds > limit) return -1;
  }
}

TEST(ServerLossE2E, ACrashEndsTheTakeWithItsSoundAndEverythingComesBack) {
  if (!std::getenv("TARNOVOX_RIG") || !SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server rig";
  for (const bool wav : {true, false}) {
    SCOPED_TRACE(wav ? "WAV" : "MP3");
    LiveRecorder rig(wav);
    const auto played = WriteNoiseWav(rig.dir.File("noise.wav"), 20);
    BackgroundProcess player({"paplay", rig.dir.File("noise.wav")});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    const std::string take = rig.state.CurrentFile;
    rig.Ticks(50);
    RunRig("pulse-kill");
    rig.Ticks(10);
    EXPECT_FALSE(rig.state.Recording());
    ASSERT_EQ(rig.messages.size(), 1u);
    std::cout << (wav ? "WAV" : "MP3") << ": told \"" << rig.messages[0] << "\"\n";

    if (wav) {
      const auto file = ReadFileBytes(take);
      EXPECT_TRUE(ReadWav(file).sizesMatch);
      const auto recorded = RecordedFrames(file);
      const size_t start = FirstSound(recorded);
      // Frame for frame the played signal, past a late server cycle or two
      // that the sink played as silence on a busy machine.
      const Stretch followed = FollowHeard(recorded, start, played);
      ASSERT_GE(followed.heardAt, 0) << "the take does not come from the played signal";
      EXPECT_EQ(start + followed.length, recorded.size())
          << DescribeBreak(recorded, start + followed.length, followed.heardEnd, played);
      EXPECT_LE(followed.glitches, 4) << "the server's cycles ran late too often to tell";
      std::cout << "WAV: " << recorded.size() / 44100.0 << " s kept, all equal to the played frames past "
                << followed.glitches << " silent server cycles\n";
    } else {
      const double seconds = DecodeMp3(take).Seconds();
      EXPECT_GE(seconds, 4.5);
      std::cout << "MP3: decodes to " << seconds << " s\n";
    }

    player.Stop();
    RunRig("pulse-start");
    const double back = SecondsUntilTheMetersMove(rig, 3.0);
    EXPECT_GE(back, 0) << "the meters did not move within 3 s of the server's return";
    std::cout << (wav ? "WAV" : "MP3") << ": meters moving " << back << " s after the server is back\n";

    BackgroundProcess again({"paplay", rig.dir.File("noise.wav")});
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    const std::string second = rig.state.CurrentFile;
    rig.Ticks(25);
    rig.controller.Execute(RecorderCommand::Stop);
    EXPECT_EQ(rig.messages.size(), 1u);
    EXPECT_NEAR(std::stod(Probe("format=duration", second)), 2.5, 0.6);
  }
}

// The server hangs (stopped, its connections open): Stop and Record come back
// within a few seconds with a message instead of freezing the window, and
// everything works again once the server goes on.
TEST(ServerLossE2E, AHangingServerHoldsStopAndRecordOnlyAFewSeconds) {
  if (!std::getenv("TARNOVOX_RIG") || !SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server rig";
  const pid_t server = ServerProcess();
  ASSERT_GT(server, 0);
  constexpr double kBound = 5.0;
  for (const bool wav : {true, false}) {
    SCOPED_TRACE(wav ? "WAV" : "MP3");
    LiveRecorder rig(wav);
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    rig.Ticks(10);
    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    const double stop = SecondsFor(rig, RecorderCommand::Stop);
    rig.Ticks(3);
    const double record = SecondsFor(rig, RecorderCommand::Record);
    const size_t told = rig.messages.size();
    ::kill(server, SIGCONT);
    std::cout << (wav ? "WAV" : "MP3") << ": Stop took " << stop << " s, Record " << record << " s; told:";
    for (const std::string& m : rig.messages) std::cout << " \"" << m << "\"";
    std::cout << "\n";
    EXPECT_LT(stop, kBound);
    EXPECT_LT(record, kBound);
    EXPECT_GE(told, 1u) << "the hanging server was not told";
    EXPECT_FALSE(rig.state.Recording());
    // The server goes on: the recorder records again.
    rig.controller.Execute(RecorderCommand::Stop);
    EXPECT_GE(SecondsUntilTheMetersMove(rig, 5.0), 0);
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    const std::string again = rig.state.CurrentFile;
    rig.Ticks(15);
    rig.controller.Execute(RecorderCommand::Stop);
    ASSERT_GT(std::filesystem::file_size(again), 10000u) << "the take after the hang holds no sound";
    EXPECT_NEAR(std::stod(Probe("format=duration", again)), 1.5, 0.5);
  }
}

}  // namespace
}  // namespace tarnovox
