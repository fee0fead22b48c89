// The sound server crashes (SIGKILL) in the middle of a WAV and of an MP3
// recording on the real private server, and is started again: the take keeps
// everything that arrived, the user is told once, and monitoring and recording
// come back without restarting anything.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "core/recorder_controller.h"
#include "mp3/mp3_recorder.h"
#include "platform/dynamic_library.h"
#include "platform/pulse_wave_in.h"
#include "tests/e2e/noise_signal.h"
#include "tests/e2e/sound_rig.h"
#include "tests/mp3/mp3_probe.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

// The recorder as the program wires it, with both capture streams and the
// real encoder library; playback and the file list are doubles.
struct LiveRecorder {
  TempFolder dir;
  PulseWaveIn monitor{"Monitor"};
  PulseWaveIn mp3Device{"MP3 recording"};
  RecordSettings settings;
  SettingsStore store{settings, dir.File("tarnovox.INI")};
  RecorderState state;
  ScriptedUiHooks hooks;
  MessageGate gate{hooks};
  CaptureEngine engine{monitor, settings, state, gate};
  DlopenLoader loader;
  Mp3Recorder mp3{mp3Device, loader, settings, state, gate};
  FakePlayback playback{state};
  FakeRecordings recordings;
  FakeShell shell;
  SystemClock clock;
  StatfsDriveInfo drive;
  RecorderController controller{
      {settings, store, state, engine, mp3, playback, recordings, shell, gate, clock, drive, &gate}};

  explicit LiveRecorder(bool wav) {
    settings.Folder = dir.Path();
    settings.Wav = wav;
    settings.MP3 = !wav;
    engine.OpenMonitorDevice();
  }
  ~LiveRecorder() { engine.CloseCaptureDevice(); }
  void Ticks(int n) { TickFor(n, [this] { controller.RecordTick(); }); }
};

void RunRig(const char* command) {
  const std::string line =
      std::string(std::getenv("TARNOVOX_RIG")) + " " + command + " " + std::getenv("TARNOVOX_RIG_DIR");
  ASSERT_EQ(std::system(line.c_str()), 0) << line;
}

// Ticks until the monitoring device hands a buffer to the meters; the seconds
// that took, or a negative number after `limit` seconds.
double SecondsUntilTheMetersMove(LiveRecorder& rig, double limit) {
  const auto begin = std::chrono::steady_clock::now();
  for (;;) {
    rig.Ticks(1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (rig.engine.DeviceOpen && rig.engine.CurrentBufferIndex >= 0) return seconds;
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
    rig.controller.HotKey(RecorderController::kHotKeyRecord);
    ASSERT_TRUE(rig.state.recording);
    const std::string take = rig.state.CurrentFile;
    rig.Ticks(50);
    RunRig("pulse-kill");
    rig.Ticks(10);
    EXPECT_FALSE(rig.state.recording);
    ASSERT_EQ(rig.hooks.messages.size(), 1u);
    std::cout << (wav ? "WAV" : "MP3") << ": told \"" << rig.hooks.messages[0] << "\"\n";

    if (wav) {
      const auto file = ReadFileBytes(take);
      ASSERT_GE(file.size(), 44u);
      const uint32_t dataBytes = file[40] | file[41] << 8 | file[42] << 16 | uint32_t(file[43]) << 24;
      EXPECT_EQ(dataBytes, file.size() - 44);
      const auto recorded = RecordedFrames(file);
      const size_t start = FirstSound(recorded);
      const auto [offset, length] = MatchRun(recorded, start, played);
      ASSERT_GE(offset, 0) << "the take does not come from the played signal";
      EXPECT_EQ(start + length, recorded.size()) << "frame " << start + length << " differs from what was played";
      std::cout << "WAV: " << recorded.size() / 44100.0 << " s kept, all equal to the played frames\n";
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
    rig.controller.HotKey(RecorderController::kHotKeyRecord);
    ASSERT_TRUE(rig.state.recording);
    const std::string second = rig.state.CurrentFile;
    rig.Ticks(25);
    rig.controller.HotKey(RecorderController::kHotKeyStop);
    EXPECT_EQ(rig.hooks.messages.size(), 1u);
    EXPECT_NEAR(std::stod(Probe("format=duration", second)), 2.5, 0.6);
  }
}

}  // namespace
}  // namespace tarnovox
