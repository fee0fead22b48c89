// Takes that begin before their command or wait for sound, on the real sound
// server: the kept seconds and the live frames are one stretch of what the
// server delivered, and a start level with a silence pause keeps each onset.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "tests/e2e/live_recorder.h"
#include "tests/e2e/noise_signal.h"
#include "tests/support/mp3_probe.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;
using Clock = std::chrono::steady_clock;

// Frames the parallel capture of the sink holds so far: the sound the server
// has delivered up to now.
size_t HeardFrames(const std::string& path) {
  std::error_code error;
  return static_cast<size_t>(std::filesystem::file_size(path, error) / 4);
}

// Polls the parallel capture until it holds a frame of sound; false after 10 s.
bool WaitForSound(const std::string& heardPath) {
  for (int i = 0; i < 2000; ++i) {
    const auto bytes = ReadFileBytes(heardPath);
    const auto heard = FramesOf(bytes.data(), bytes.size());
    if (FirstSound(heard) < heard.size()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// The recorder with its settings as given, monitoring reopened to keep them.
void Reconfigure(LiveRecorder& rig, uint32_t preRecord, int32_t startLevel, uint32_t silencePause) {
  rig.settings.preRecordSeconds = preRecord;
  rig.settings.startLevelDb = startLevel;
  rig.settings.silencePauseSeconds = silencePause;
  rig.Ticks(1);
  ASSERT_TRUE(rig.engine.MonitoringOpen());
  ASSERT_GT(rig.engine.PreRecordFrames(), 0u);
}

// What the server heard while `file` played and the rig recorded from Record
// to Stop 40 ticks later, Record coming `ticksBefore` ticks after the sound
// reached the server.
struct PlayedTake {
  size_t heardAtCommand = 0;  // frames the server had delivered at Record
  double live = 0;            // seconds from Record to Stop
  std::vector<uint32_t> server;
};
void RecordWhilePlaying(LiveRecorder& rig, const std::string& file, int ticksBefore, PlayedTake& take) {
  const std::string heardPath = rig.dir.File("heard.raw");
  SinkCapture heard(heardPath);
  BackgroundProcess player({"paplay", file});
  ASSERT_TRUE(WaitForSound(heardPath));
  rig.Ticks(ticksBefore);
  take.heardAtCommand = HeardFrames(heardPath);
  const auto recordAt = Clock::now();
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  rig.Ticks(40);
  rig.controller.Execute(RecorderCommand::Stop);
  take.live = std::chrono::duration<double>(Clock::now() - recordAt).count();
  take.server = heard.Stop();
  player.Stop();
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
}

// PreRecord=3: noise plays, Record 6 s after it began, Stop 4 s later. The
// file is one stretch of the server's sound, 7 s long, and begins with the
// frame delivered 3 s before the command.
TEST(PreRecordE2E, AWavTakeBeginsThreeSecondsBeforeRecordAsOneExactStretch) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  Reconfigure(rig, 3, 0, 0);
  const auto played = WriteNoiseWav(rig.dir.File("noise.wav"), 20);
  PlayedTake take;
  ASSERT_NO_FATAL_FAILURE(RecordWhilePlaying(rig, rig.dir.File("noise.wav"), 60, take));
  const auto& [heardAtCommand, live, server] = take;

  const auto recorded = RecordedFrames(rig.dir.Read("record1.wav"));
  ASSERT_FALSE(recorded.empty());
  const auto [playedAt, playedRun] = MatchRun(recorded, 0, played);
  EXPECT_GE(playedAt, 0) << "the take does not begin with the played signal";
  const Stretch stretch = FollowHeard(recorded, 0, server);
  ASSERT_GE(stretch.heardAt, 0) << "the server's capture does not hold the take's first frame";
  EXPECT_EQ(stretch.length, recorded.size()) << DescribeBreak(recorded, stretch.length, stretch.heardEnd, server);
  EXPECT_LE(stretch.glitches, 2);
  const double seconds = recorded.size() / 44100.0;
  const double lead = (static_cast<double>(heardAtCommand) - stretch.heardAt) / 44100.0;
  EXPECT_NEAR(seconds, 3.0 + live, 0.1);  // a loaded machine may tick late: the 4 s as they passed
  EXPECT_NEAR(lead, 3.0, 0.1) << "the first frame is not the one delivered 3 s before Record";
  std::cout << "WAV take " << seconds << " s (Record to Stop " << live << " s), one stretch of " << stretch.length
            << " frames (" << playedRun << " of them the played file's from its frame " << playedAt
            << "), first frame delivered " << lead << " s before Record\n";
}

// The same for an MP3 take: Record just as a tone begins; the decoded take is
// 7 s long and the tone sets in 3 s into it.
TEST(PreRecordE2E, AnMp3TakeHoldsTheThreeSecondsBeforeRecordAndTheToneOnsetAtThree) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(false);
  Reconfigure(rig, 3, 0, 0);
  const std::string tone = rig.dir.File("tone.wav");
  ASSERT_EQ(std::system(("sox -D -n -r 44100 -c 2 -b 16 " + tone + " synth 20 sine 1000 vol 0.5 pad 5 0").c_str()), 0);
  PlayedTake take;
  ASSERT_NO_FATAL_FAILURE(RecordWhilePlaying(rig, tone, 0, take));
  const auto& [heardAtCommand, live, server] = take;
  // The tone began this long before Record (the poll for it is late on a loaded machine).
  const double late = (static_cast<double>(heardAtCommand) - FirstSound(server)) / 44100;

  const auto decoded = DecodeMp3(rig.state.CurrentFile);
  ASSERT_TRUE(decoded.ok);
  size_t onset = 0;
  while (onset < decoded.left.size() && std::fabs(decoded.left[onset]) < 0.1f) ++onset;
  const double onsetSeconds = onset / 44100.0;
  // A frame of 1152 and the encoder's delay and padding (at most another frame).
  EXPECT_NEAR(decoded.Seconds(), 3.0 + live, 0.1 + 2 * 1152 / 44100.0);
  EXPECT_NEAR(onsetSeconds, 3.0 - late, 0.02 + 1152 / 44100.0);
  std::cout << "MP3 take decodes to " << decoded.Seconds() << " s (Record to Stop " << live << " s), the tone sets in at "
            << onsetSeconds << " s (it began " << late << " s before Record)\n";
}

// The silent and sound runs of a recording, in frames, silent first and
// last: sound is a frame at or above -30 dBFS on either channel, and a run of
// sound goes on over gaps shorter than 10 ms (a tone's zero crossings).
std::vector<size_t> Runs(const std::vector<uint32_t>& frames) {
  std::vector<size_t> runs;
  size_t soundStart = 0, lastLoud = 0;
  bool inSound = false;
  for (size_t i = 0; i < frames.size(); ++i) {
    const int left = static_cast<int16_t>(frames[i]), right = static_cast<int16_t>(frames[i] >> 16);
    if (std::abs(left) < 1036 && std::abs(right) < 1036) continue;
    if (!inSound) {
      runs.push_back(i);
    } else if (i - lastLoud > 441) {
      runs.push_back(lastLoud + 1 - soundStart);
      runs.push_back(i - lastLoud - 1);
    }
    if (!inSound || i - lastLoud > 441) soundStart = i;
    inSound = true;
    lastLoud = i;
  }
  if (inSound) runs.push_back(lastLoud + 1 - soundStart);
  runs.push_back(inSound ? frames.size() - lastLoud - 1 : frames.size());
  return runs;
}

// StartLevel=-30, SilencePause=2: 3 s silence, 3 s tone, 4 s silence, 2 s
// tone. One file holds both tones, each after at least 0.4 s of its silence,
// and no silence in it is longer than 2.6 s.
TEST(PreRecordE2E, AStartLevelTakeKeepsBothTonesWithTheirOnsetsAndPausesOnSilence) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  Reconfigure(rig, 0, -30, 2);
  const std::string tones = rig.dir.File("tones.wav");
  RunCommand("cd " + rig.dir.Path() + " && sox -D -n -r 44100 -c 2 -b 16 a.wav synth 3 sine 1000 vol 0.5 pad 3 4 && "
             "sox -D -n -r 44100 -c 2 -b 16 b.wav synth 2 sine 1000 vol 0.5 pad 0 1 && sox a.wav b.wav tones.wav");
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  EXPECT_EQ(rig.state.wait, TakeWait::ForSound);
  rig.controller.Execute(RecorderCommand::Pause);  // ignored while waiting
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Recording);
  BackgroundProcess player({"paplay", tones});
  bool waited = false, pausedOnSilence = false;
  for (int i = 0; i < 150; ++i) {
    rig.Ticks(1);
    waited = waited || (i > 20 && rig.state.wait == TakeWait::ForSound && rig.state.DisplayedMs == 0);
    pausedOnSilence = pausedOnSilence || rig.state.wait == TakeWait::Silence;
  }
  rig.controller.Execute(RecorderCommand::Stop);
  player.Stop();
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
  EXPECT_TRUE(waited);
  EXPECT_TRUE(pausedOnSilence);

  const auto wav = rig.dir.Read("record1.wav");
  EXPECT_TRUE(ReadWav(wav).sizesMatch);
  const auto runs = Runs(RecordedFrames(wav));
  std::string seconds;
  for (size_t run : runs) seconds += " " + std::to_string(run / 44100.0);
  ASSERT_EQ(runs.size(), 5u) << "not two tones:" << seconds;
  EXPECT_GE(runs[0], 0.4 * 44100) << seconds;
  EXPECT_NEAR(runs[1] / 44100.0, 3.0, 0.05) << seconds;
  EXPECT_GE(runs[2], 0.4 * 44100) << seconds;
  EXPECT_NEAR(runs[3] / 44100.0, 2.0, 0.05) << seconds;
  for (size_t i = 0; i < runs.size(); i += 2) EXPECT_LE(runs[i], 2.6 * 44100) << seconds;
  std::cout << "silence and tone runs in seconds:" << seconds << "\n";
}

}  // namespace
}  // namespace tarnovox
