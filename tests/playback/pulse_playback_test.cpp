// Playback through a real sound server: the private PulseAudio of the e2e rig,
// whose null sink "test_sink" is captured from its monitor.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <sys/stat.h>

#include "recorder/recorder_state.h"
#include "recordings/playback.h"
#include "platform/pulse_connection.h"
#include "platform/pulse_output_volume.h"
#include "platform/pulse_player.h"
#include "tests/e2e/noise_signal.h"
#include "tests/playback/fake_playback_view.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/sink_capture.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using testing::FakePlaybackView;
using testing::RunCommand;
using testing::SinkCapture;

// Test sounds are sine sweeps rising 500 Hz per second from 300 Hz, so the
// pitch heard tells which moment of the file is playing.
double SweepHz(double seconds) { return 300 + 500 * seconds; }

long ElapsedMs(Clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

// The tone of the left channel of the sink's sound over `frames` frames from `firstFrame`.
testing::ToneMeasure ToneAt(const std::vector<int16_t>& sound, size_t firstFrame, size_t frames) {
  return testing::MeasureTone(sound, firstFrame, frames, 44100, 2);
}

// Index of the first frame with a sample louder than `threshold`, or -1.
long FirstLoudFrame(const std::vector<int16_t>& sound, int threshold) {
  for (size_t i = 0; i < sound.size(); ++i)
    if (std::abs(sound[i]) > threshold) return static_cast<long>(i / 2);
  return -1;
}

struct SoundRun {
  size_t firstFrame;
  size_t endFrame;
};
// Runs of sound separated by at least `minGapFrames` of near silence.
std::vector<SoundRun> SoundRuns(const std::vector<int16_t>& sound, size_t minGapFrames) {
  constexpr size_t kWindow = 441;  // 10 ms
  std::vector<SoundRun> runs;
  for (size_t f = 0; 2 * (f + kWindow) <= sound.size(); f += kWindow) {
    if (ToneAt(sound, f, kWindow).rms < 300) continue;
    if (runs.empty() || f - runs.back().endFrame >= minGapFrames)
      runs.push_back({f, f + kWindow});
    else
      runs.back().endFrame = f + kWindow;
  }
  return runs;
}

class PulseSound : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::SoundServerAvailable()) GTEST_SKIP() << "needs the e2e rig's sound server (PULSE_SERVER)";
    playback_.SetView(&view_);
  }

  std::string MakeSweep(const std::string& name, int seconds) {
    const std::string path = dir_ + "/" + name;
    RunCommand("sox -n -r 44100 -c 2 -b 16 " + path + " synth " + std::to_string(seconds) + " sine 300:" +
        std::to_string(static_cast<int>(SweepHz(seconds))) + " gain -6");
    return path;
  }
  std::string Encode(const std::string& wav, const std::string& extension) {
    const std::string path = wav.substr(0, wav.size() - 4) + extension;
    if (extension == ".mp3")
      RunCommand("lame --quiet -b 128 " + wav + " " + path);
    else
      RunCommand("ffmpeg -v error -y -i " + wav + " -c:a wmav2 -b:a 128k " + path);
    return path;
  }
  // The player's position in whole milliseconds.
  uint32_t Position() { return static_cast<uint32_t>(player_.Position().count()); }
  uint32_t Length() { return static_cast<uint32_t>(player_.Length().count()); }
  // Reads the position until it reaches `ms` (10 s at the most): it never goes
  // back, nor runs ahead of the time since it stood at `from`. How fast it
  // follows the clock is left to the sound heard, as a slow machine delays it.
  uint32_t WaitForPosition(uint32_t ms, uint32_t from, Clock::time_point since) {
    uint32_t position = from;
    while (position < ms && ElapsedMs(since) < 10000 + ms - from) {
      std::this_thread::sleep_for(50ms);
      const uint32_t now = Position();
      EXPECT_GE(now, position);
      EXPECT_LE(now, from + ElapsedMs(since) + 100) << "ahead of the clock";
      position = now;
    }
    EXPECT_GE(position, ms) << "stood still";
    return position;
  }

  testing::TempFolder folder_;
  const std::string dir_ = folder_.Path();
  PulseConnection connection_;
  PulseOutputVolume volume_{connection_};
  PulsePlayer player_{connection_, volume_};
  // The playback rules over the real player, for the tests that go through them.
  RecorderState state_;
  testing::ScriptedUiHooks hooks_;
  Playback playback_{player_, volume_, state_, hooks_};
  FakePlaybackView view_{playback_};
};

// Our stream's entry in the server's list: its index and volume line.
struct SinkInput {
  int index = -1;
  std::string volume;
};

SinkInput FindOurSinkInput() {
  std::istringstream listing(RunCommand("pactl list sink-inputs"));
  SinkInput found, current;
  for (std::string line; std::getline(listing, line);) {
    if (line.rfind("Sink Input #", 0) == 0) current = SinkInput{std::stoi(line.substr(12)), ""};
    if (line.find("\tVolume:") == 0) current.volume = line;
    if (line.find("application.name = \"Tarnovox\"") != std::string::npos) found = current;
  }
  return found;
}

TEST_F(PulseSound, WavMp3AndWmaPlayTheirSoundToTheirLength) {
  const std::string wav = MakeSweep("sweep.wav", 3);
  for (const std::string& file : {wav, Encode(wav, ".mp3"), Encode(wav, ".wma")}) {
    SCOPED_TRACE(file);
    ASSERT_EQ(player_.Open(file), std::nullopt);
    const uint32_t length = Length();
    EXPECT_NEAR(length, 1000 * std::stod(testing::Probe("format=duration", file)), 50);

    SinkCapture capture(file + ".capture.raw");
    std::this_thread::sleep_for(300ms);
    const auto start = Clock::now();
    ASSERT_EQ(player_.Play(), std::nullopt);
    ASSERT_EQ(WaitForPosition(length, 0, start), length) << "never played out";
    const std::vector<int16_t> sound = capture.StopSamples(200ms);
    player_.Close();

    const long onset = FirstLoudFrame(sound, 2000);
    ASSERT_GE(onset, 0) << "nothing reached the sink";
    for (double t : {0.5, 1.5, 2.5})
      EXPECT_NEAR(ToneAt(sound, onset + size_t(t * 44100) - 1102, 2205).hz, SweepHz(t), 40) << t;
    if (file != wav) continue;

    // Uncompressed 44.1 kHz stereo at full volume reaches the sink frame for
    // frame, except that the server blanks the first milliseconds of any new
    // stream (it does the same to paplay's) and, on a busy machine, may play a
    // late cycle of ours as silence and go on where it was.
    RunCommand("sox " + wav + " -t raw " + dir_ + "/sweep.raw");
    const auto heard = testing::Frames(sound), played = testing::Frames(testing::ReadRawSamples(dir_ + "/sweep.raw"));
    const long found = testing::MatchRun(played, 4410, heard).first;  // the file's frames from 0.1 s on
    ASSERT_GE(found, 4410) << "the file's sound is not in the capture";
    const testing::Stretch followed = testing::FollowHeard(heard, size_t(found), played);
    EXPECT_EQ(followed.heardAt, 4410);
    EXPECT_EQ(size_t(followed.heardEnd), played.size())
        << testing::DescribeBreak(heard, size_t(found) + followed.length, followed.heardEnd, played);
    EXPECT_LE(followed.glitches, 4) << "the server's cycles ran late too often to tell";
  }
}

TEST_F(PulseSound, SeekPauseAndResumeAreHeard) {
  const std::string wav = MakeSweep("long.wav", 5);
  ASSERT_EQ(player_.Open(wav), std::nullopt);
  SinkCapture capture(dir_ + "/capture.raw");
  std::this_thread::sleep_for(300ms);
  auto since = Clock::now();
  player_.Play();
  const uint32_t beforeSeek = WaitForPosition(1000, 0, since);
  player_.Seek(3000ms);
  EXPECT_EQ(Position(), 3000u);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Position(), 3000u) << "a seek waits for play";
  since = Clock::now();
  player_.Play();
  WaitForPosition(3600, 3000, since);
  player_.Pause();
  std::this_thread::sleep_for(300ms);
  const uint32_t paused = Position();
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Position(), paused) << "the position went on while paused";
  since = Clock::now();
  player_.Resume();
  WaitForPosition(paused + 400, paused, since);
  player_.Pause();  // a seek while paused is played from there on resume
  player_.Seek(2000ms);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Position(), 2000u);
  since = Clock::now();
  player_.Resume();
  EXPECT_EQ(WaitForPosition(5000, 2000, since), 5000u) << "never played out";
  player_.Seek(99999ms);  // past the end: stands at the end and plays out at once
  EXPECT_EQ(Position(), 5000u);
  player_.Play();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Position(), 5000u);
  player_.Close();
  const std::vector<int16_t> sound = capture.StopSamples(200ms);

  // Four runs of sound: the file from 0 until the seek, from 3 s until the
  // pause, on from there after the resume, and from 2 s to the end. The pause
  // is heard where the position stood; the seek came after the position was
  // last read.
  const auto runs = SoundRuns(sound, 11025);
  ASSERT_EQ(runs.size(), 4u);
  auto startHz = [&](const SoundRun& run) { return ToneAt(sound, run.firstFrame + 441, 2205).hz; };
  auto endHz = [&](const SoundRun& run) { return ToneAt(sound, run.endFrame - 2646, 2205).hz; };
  const double firstRunSeconds = (runs[0].endFrame - runs[0].firstFrame) / 44100.0;
  EXPECT_GE(firstRunSeconds * 1000 + 50, beforeSeek);
  EXPECT_NEAR(startHz(runs[0]), SweepHz(0.035), 60);
  EXPECT_NEAR(endHz(runs[0]), SweepHz(firstRunSeconds - 0.035), 60);
  EXPECT_NEAR(endHz(runs[1]), SweepHz(paused / 1000.0 - 0.035), 60);
  EXPECT_GE(runs[1].firstFrame - runs[0].endFrame, 15000u) << "sound went on after the seek";
  EXPECT_NEAR(startHz(runs[1]), SweepHz(3.035), 60);
  EXPECT_GE(runs[2].firstFrame - runs[1].endFrame, 20000u) << "sound went on while paused";
  EXPECT_NEAR(startHz(runs[2]), endHz(runs[1]), 60);
  EXPECT_NEAR(startHz(runs[3]), SweepHz(2.035), 60);
  EXPECT_NEAR((runs[3].endFrame - runs[3].firstFrame) / 44.1, 3000, 100);
}

// The label file's marks tick the position bar; Ctrl+Right and Ctrl+Left go on
// playing from the next mark and, from half a second past a mark, from the one
// before it. The pitch heard after each jump says where it landed.
TEST_F(PulseSound, JumpsBetweenMarksAreHeardAtTheMarks) {
  const std::string wav = MakeSweep("marked.wav", 6);
  std::ofstream(dir_ + "/marked.labels.txt") << "1.500000\t1.500000\tMark 1\n2.500000\t2.500000\tMark 2\n"
                                                "4.000000\t4.000000\tMark 3\n";
  state_.CurrentFile = wav;
  SinkCapture capture(dir_ + "/capture.raw");
  std::this_thread::sleep_for(300ms);
  playback_.StartPlayback();
  ASSERT_TRUE(state_.Playing());
  EXPECT_EQ(view_.marks, (std::vector<int>{250, 417, 667}));
  // Each jump holds still until the status tick a second later resumes it.
  auto jump = [&](bool forward) {
    playback_.JumpToMark(forward);
    std::this_thread::sleep_for(500ms);
    playback_.PollPlayback();
    std::this_thread::sleep_for(500ms);
  };
  std::this_thread::sleep_for(500ms);
  jump(true);   // from about 0.5 s to 1.5 s
  jump(true);   // from about 2 s to 2.5 s
  jump(true);   // to 4 s
  jump(false);  // at about 4.5 s: Mark 3 counts as here, so back to 2.5 s
  playback_.ClosePlayback();
  EXPECT_TRUE(view_.marks.empty());
  const std::vector<int16_t> sound = capture.StopSamples(200ms);

  const auto runs = SoundRuns(sound, 11025);
  ASSERT_EQ(runs.size(), 5u);
  // A pitch 50 Hz off is 0.1 s off in the sweep.
  const double landed[] = {1.5, 2.5, 4.0, 2.5};
  for (int i = 0; i < 4; ++i) {
    const double hz = ToneAt(sound, runs[i + 1].firstFrame + 441, 2205).hz;
    EXPECT_NEAR(hz, SweepHz(landed[i] + 0.035), 50) << i;
    std::cout << "jump " << i + 1 << " to " << landed[i] << " s heard at " << (hz - 300) / 500 - 0.035 << " s\n";
  }
}

TEST_F(PulseSound, VolumeBarAndMixerMeetOnOurStream) {
  ASSERT_TRUE(playback_.OpenVolume());
  view_.SetVolumeBar(32768);

  // PipeWire starts a new stream at full volume whatever volume it was
  // connected with: the bar's volume must be on the stream once it plays.
  state_.CurrentFile = MakeSweep("short.wav", 2);
  playback_.StartPlayback();
  ASSERT_TRUE(state_.Playing());
  SinkInput ours = FindOurSinkInput();
  ASSERT_GE(ours.index, 0);
  EXPECT_NE(ours.volume.find("front-left: 32768 /"), std::string::npos) << ours.volume;
  EXPECT_NE(ours.volume.find("front-right: 32768 /"), std::string::npos) << ours.volume;

  // The mixer's changes come back.
  RunCommand("pactl set-sink-input-volume " + std::to_string(ours.index) + " 40000 20000");
  for (int i = 0; i < 100 && playback_.CurrentVolume() != StereoVolume{40000, 20000}; ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_EQ(playback_.CurrentVolume(), (StereoVolume{40000, 20000}));
  view_.mixerOpen = true;
  playback_.PollPlayback();
  EXPECT_EQ(view_.volume, 20000);
  const std::string followed = FindOurSinkInput().volume;
  EXPECT_NE(followed.find("front-left: 20000 /"), std::string::npos) << followed;
  playback_.ClosePlayback();
}

// Status ticks every 500 ms find the end; the stream goes with the playback.
// (What the bar and the labels do then is the Playback tests'; that the
// position reaches the length, the other tests here show.)
TEST_F(PulseSound, TheEndFoundByStatusTicksClosesOurStream) {
  state_.CurrentFile = MakeSweep("short.wav", 2);
  playback_.StartPlayback();
  ASSERT_TRUE(state_.Playing());
  ASSERT_GE(FindOurSinkInput().index, 0);

  for (int tick = 0; tick < 12 && state_.Playing(); ++tick) {
    std::this_thread::sleep_for(500ms);
    playback_.PollPlayback();
  }
  ASSERT_FALSE(state_.Playing());
  EXPECT_FALSE(playback_.PlaybackOpen());
  EXPECT_EQ(FindOurSinkInput().index, -1) << "the file was not closed";
}

TEST_F(PulseSound, FilesThatCannotBeDecodedDoNotOpen) {
  std::ofstream(dir_ + "/notes.mp3") << "these are not the sounds you are looking for\n";
  const auto failure = [this](const std::string& file) {
    const PlayerResult result = player_.Open(file);
    return result ? result->kind : PlayerError::Kind::NothingOpen;
  };
  EXPECT_EQ(failure(dir_ + "/notes.mp3"), PlayerError::Kind::CannotOpenFile);
  EXPECT_EQ(failure(dir_ + "/missing.wav"), PlayerError::Kind::CannotOpenFile);
  ASSERT_EQ(::mkfifo((dir_ + "/pipe.wav").c_str(), 0600), 0);  // refused at once, not waited on
  const PlayerResult pipe = player_.Open(dir_ + "/pipe.wav");
  ASSERT_TRUE(pipe.has_value());
  EXPECT_EQ(pipe->kind, PlayerError::Kind::CannotOpenFile);
  EXPECT_EQ(pipe->Text(), "Operation not supported");
  EXPECT_FALSE(player_.IsOpen());
  MakeSweep("ok.wav", 1);

  // A WAV declaring 4 MHz opens, but no stream starts: the playback ends and says why.
  std::string header = folder_.ReadText("ok.wav").substr(0, 44);
  header.replace(24, 4, testing::Le(4000000, 4));
  std::ofstream(dir_ + "/fast.wav", std::ios::binary) << header << std::string(4000, '\0');
  state_.CurrentFile = dir_ + "/fast.wav";
  playback_.StartPlayback();
  EXPECT_FALSE(state_.Playing());
  EXPECT_FALSE(playback_.PlaybackOpen());
  EXPECT_EQ(hooks_.messages, std::vector<std::string>{"Cannot play file \"fast.wav\". Invalid argument"});
}

// The sound server crashes and comes back while the objects live on: without
// recreating them, playback and volume work again. (Capture after a crash is
// ServerLossE2E's.)
TEST_F(PulseSound, AfterTheServerCameBackPlaybackAndVolumeWorkAgain) {
  const char* rig = std::getenv("TARNOVOX_RIG");
  const char* rigDir = std::getenv("TARNOVOX_RIG_DIR");
  if (rig == nullptr || rigDir == nullptr) GTEST_SKIP() << "needs tests/e2e/rig.sh to restart the server";
  const std::string server = std::string(rig) + " ";
  const std::string folder = std::string(" ") + rigDir;
  ASSERT_EQ(volume_.Open(), std::nullopt);
  const std::string wav = MakeSweep("sweep.wav", 3);
  ASSERT_EQ(player_.Open(wav), std::nullopt);
  ASSERT_EQ(player_.Play(), std::nullopt);
  std::this_thread::sleep_for(300ms);

  RunCommand(server + "pulse-kill" + folder);
  volume_.Set(StereoVolume{0x8000, 0x8000});  // kept for the streams to come
  ASSERT_GT(Length(), 0u);
  EXPECT_EQ(Position(), Length()) << "a playback the server lost ends";
  const PlayerResult refused = player_.Open(wav);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->kind, PlayerError::Kind::NoSoundServer);

  RunCommand(server + "pulse-start" + folder);
  volume_.Set(StereoVolume{0x8000, 0x8000});
  ASSERT_EQ(player_.Open(wav), std::nullopt);
  SinkCapture heard(dir_ + "/after.raw");
  std::this_thread::sleep_for(300ms);
  ASSERT_EQ(player_.Play(), std::nullopt);
  std::this_thread::sleep_for(200ms);
  SinkInput ours = FindOurSinkInput();
  ASSERT_GE(ours.index, 0);
  EXPECT_NE(ours.volume.find("front-left: 32768 /"), std::string::npos) << "kept volume not applied: " << ours.volume;
  volume_.Set(StereoVolume{0x6000, 0x4000});
  EXPECT_NE(FindOurSinkInput().volume.find("front-left: 24576 /"), std::string::npos) << FindOurSinkInput().volume;
  // The mixer's changes are followed again: the subscription was renewed.
  RunCommand("pactl set-sink-input-volume " + std::to_string(ours.index) + " 65535 65535");
  for (int i = 0; i < 100 && volume_.Get() != kFullVolume; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(volume_.Get(), kFullVolume);
  const std::vector<int16_t> sound = heard.StopSamples(1500ms);
  player_.Close();
  const long onset = FirstLoudFrame(sound, 500);
  ASSERT_GE(onset, 0) << "nothing reached the sink after the restart";
  // The file's start is heard; how evenly it goes on is another test's.
  EXPECT_NEAR(ToneAt(sound, onset + 441, 2205).hz, SweepHz(0.035), 40);
}

}  // namespace
}  // namespace tarnovox
