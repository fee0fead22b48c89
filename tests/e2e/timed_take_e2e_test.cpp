// Takes that end by themselves and takes cut into files, recorded through the
// recorder on the real sound server from a known noise played into its sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <utility>

#include "tests/e2e/live_recorder.h"
#include "tests/e2e/noise_signal.h"
#include "tests/support/mp3_probe.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;
using Clock = std::chrono::steady_clock;

// Ticks every 100 ms until the take has ended, at most `limitMs`; the seconds
// from `from` to the tick that saw it end.
double TickUntilStopped(LiveRecorder& rig, Clock::time_point from, int limitMs) {
  for (int waited = 0; waited < limitMs && rig.state.Recording(); waited += 100) rig.Ticks(1);
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// StopAfter=5 and F5, nothing else: the take holds 5 s of the played noise,
// every frame once, ends on the tick after its last frame, and the recorder
// monitors again with the list told of the file.
TEST(TimedTakeE2E, StopAfterFiveSecondsEndsTheTakeByItselfAndMonitoringGoesOn) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  rig.settings.stopAfterSeconds = 5;
  const auto played = WriteNoiseWav(rig.dir.File("noise.wav"), 12);
  BackgroundProcess player({"paplay", rig.dir.File("noise.wav")});
  SinkCapture heard(rig.dir.File("heard.raw"));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  int listChanges = 0;
  QObject::connect(&rig.controller, &RecorderController::recordingsChanged, [&] { ++listChanges; });
  const auto pressed = Clock::now();
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  const double took = TickUntilStopped(rig, pressed, 8000);
  const int blocks = rig.meters.blocks;
  rig.Ticks(5);
  const auto server = heard.Stop();
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_TRUE(rig.engine.MonitoringOpen());
  EXPECT_GT(rig.meters.blocks, blocks) << "the meters do not move after the take";
  EXPECT_EQ(listChanges, 1);
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];

  const auto recorded = RecordedFrames(rig.dir.Read("record1.wav"));
  EXPECT_EQ(recorded.size(), 5u * 44100);
  const size_t start = FirstSound(recorded);
  ASSERT_GE(MatchRun(recorded, start, played).first, 0) << "the take is not the played noise";
  const Stretch stretch = FollowHeard(recorded, start, server);
  EXPECT_EQ(start + stretch.length, recorded.size())
      << DescribeBreak(recorded, start + stretch.length, stretch.heardEnd, server);
  // The last frame is read within 40 ms and the next tick comes within 100 ms.
  EXPECT_NEAR(took, 5.0, 0.25);
  std::cout << "StopAfter=5: " << recorded.size() << " frames, the take ended " << took << " s after Record\n";
}

// SplitEvery=4 over 10 s of noise: record1..3 hold 4, 4 and about 2 s, each a
// true WAV, and joined they are one exact stretch of the played noise.
TEST(TimedTakeE2E, SplitEveryFourSecondsCutsTenSecondsIntoThreeWavFilesWithoutAGap) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  rig.settings.splitEverySeconds = 4;
  const auto played = WriteNoiseWav(rig.dir.File("noise.wav"), 15);
  BackgroundProcess player({"paplay", rig.dir.File("noise.wav")});
  SinkCapture heard(rig.dir.File("heard.raw"));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto pressed = Clock::now();
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  rig.Ticks(50);
  EXPECT_EQ(rig.state.ActiveFileName, "record2.wav");
  rig.Ticks(50);
  rig.controller.Execute(RecorderCommand::Stop);
  const double recordedFor = std::chrono::duration<double>(Clock::now() - pressed).count();
  const auto server = heard.Stop();
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("record4.wav")));

  std::vector<uint32_t> joined;
  std::vector<size_t> lengths;
  for (const char* name : {"record1.wav", "record2.wav", "record3.wav"}) {
    const auto file = rig.dir.Read(name);
    EXPECT_TRUE(ReadWav(file).sizesMatch) << name;
    EXPECT_EQ(Probe("stream=duration_ts", rig.dir.File(name)), std::to_string((file.size() - 44) / 4)) << name;
    const auto frames = RecordedFrames(file);
    lengths.push_back(frames.size());
    joined.insert(joined.end(), frames.begin(), frames.end());
  }
  EXPECT_EQ(lengths[0], 4u * 44100);
  EXPECT_EQ(lengths[1], 4u * 44100);
  // Ten seconds of ticks; on a busy machine Record and Stop add a little.
  EXPECT_NEAR(joined.size() / 44100.0, recordedFor, 0.3);
  EXPECT_GE(lengths[2], 2u * 44100 - 4410);
  const size_t start = FirstSound(joined);
  ASSERT_GE(MatchRun(joined, start, played).first, 0) << "the take is not the played noise";
  const Stretch stretch = FollowHeard(joined, start, server);
  EXPECT_EQ(start + stretch.length, joined.size())
      << DescribeBreak(joined, start + stretch.length, stretch.heardEnd, server);
  std::cout << "SplitEvery=4 WAV: parts of " << lengths[0] << ", " << lengths[1] << " and " << lengths[2] << " frames ("
            << recordedFor << " s from Record to Stop), " << stretch.glitches << " server glitches\n";
}

// SplitEvery=4 with StopAfter=10, MP3: exactly 4, 4 and 2 s of frames go to
// the encoder; each of the three files decodes on its own and ends on a whole
// frame. Each part is a stream of its own, so each carries the encoder's
// delay (576 frames) and the decoder's (529) before its last frame is padded
// whole: a part of n frames holds ceil((n + 1105) / 1152) MP3 frames, one
// less when a chunk of it was lost.
TEST(TimedTakeE2E, SplitEveryFourSecondsGivesThreeMp3FilesThatEachPlay) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(false);
  rig.settings.splitEverySeconds = 4;
  rig.settings.stopAfterSeconds = 10;
  WriteNoiseWav(rig.dir.File("noise.wav"), 15);
  BackgroundProcess player({"paplay", rig.dir.File("noise.wav")});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording()) << (rig.messages.empty() ? "" : rig.messages[0]);
  TickUntilStopped(rig, Clock::now(), 13000);
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("record4.mp3")));

  size_t decodedFrames = 0;
  const std::pair<const char*, size_t> parts[] = {{"record1.mp3", 176400}, {"record2.mp3", 176400}, {"record3.mp3", 88200}};
  for (const auto& [name, frames] : parts) {
    const std::string path = rig.dir.File(name);
    const auto headers = ReadFrameHeaders(path);
    ASSERT_FALSE(headers.empty()) << name;
    EXPECT_EQ(headers.back().end, std::filesystem::file_size(path)) << name << " does not end on a whole frame";
    const DecodedMp3 decoded = DecodeMp3(path);
    ASSERT_TRUE(decoded.ok) << name;
    EXPECT_EQ(decoded.codec, "mp3");
    EXPECT_EQ(decoded.left.size(), headers.size() * 1152) << name;
    EXPECT_EQ(headers.size(), (frames + 1105 + 1151) / 1152) << name;
    decodedFrames += decoded.left.size();
    std::cout << name << ": " << headers.size() << " MP3 frames, " << decoded.Seconds() << " s decoded\n";
  }
  const double overMp3Frames = (static_cast<double>(decodedFrames) - 441000) / 1152;
  std::cout << "SplitEvery=4 MP3: " << overMp3Frames << " MP3 frames over the 441000 frames recorded\n";
  EXPECT_GT(overMp3Frames, 0);
  EXPECT_LT(overMp3Frames, 3 * 2) << "more than each stream's delay and padding";
}

}  // namespace
}  // namespace tarnovox
