// WAV recordings made through the recorder controller on the real sound
// server, with a known signal played into its null sink.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/pulse_capture_stream.h"
#include "tests/e2e/live_recorder.h"
#include "tests/e2e/noise_signal.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

// The recorder goes, as at the program's exit, while sound flows into its
// open streams (monitoring, a WAV or an MP3 take): under AddressSanitizer no
// thread of the server's library may write into a freed ring or stream.
TEST(WavCaptureE2E, TheRecorderGoesWhileSoundFlowsIntoItsStreams) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  TempFolder sounds;
  WriteNoiseWav(sounds.File("noise.wav"), 30);
  BackgroundProcess player({"paplay", sounds.File("noise.wav")});
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    auto rig = std::make_unique<LiveRecorder>(round % 2 == 0);
    ASSERT_TRUE(rig->engine.MonitoringOpen());
    if (round % 3 != 2) {
      rig->controller.Execute(RecorderCommand::Record);
      ASSERT_TRUE(rig->state.Recording());
    }
    rig->Ticks(2);
    rig.reset();
  }
}

// The window thread is held for 30 s in the middle of the take (a modal box,
// a slow paint): the capture thread writes on, so every frame the server
// delivered is in the file and nothing is reported lost. A pause of 2 s later
// joins two exact stretches of the server's sound and loses nothing else.
TEST(WavCaptureE2E, AWindowThreadHeldThirtySecondsLosesNoFrameAndAPauseJoinsTwoExactStretches) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  auto played = WriteNoiseWav(rig.dir.File("noise.wav"), 50);
  BackgroundProcess player({"paplay", rig.dir.File("noise.wav")});
  SinkCapture heard(rig.dir.File("heard.raw"));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  rig.Ticks(30);
  std::this_thread::sleep_for(std::chrono::seconds(30));  // no tick, no command: the window thread is held
  rig.Ticks(10);
  rig.controller.Execute(RecorderCommand::Pause);
  rig.Ticks(20);  // paused: 2 s
  rig.controller.Execute(RecorderCommand::Pause);
  rig.Ticks(30);
  const uint64_t overrun = rig.monitor.OverrunFrames();  // the stream is opened anew for monitoring
  rig.controller.Execute(RecorderCommand::Stop);
  const auto server = heard.Stop();
  player.Stop();
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
  EXPECT_EQ(rig.state.LostMs, 0u);

  auto recorded = RecordedFrames(rig.dir.Read("record1.wav"));
  size_t start = FirstSound(recorded);
  ASSERT_GE(MatchRun(recorded, start, played).first, 0) << "recording does not come from the played signal";
  const Stretch first = FollowHeard(recorded, start, server);
  ASSERT_GE(first.heardAt, 0) << "the server's capture does not hold the recording's start";
  EXPECT_GE(first.length, 33u * 44100)
      << "frames lost while the window thread was held: "
      << DescribeBreak(recorded, start + first.length, first.heardEnd, server);
  ASSERT_LT(start + first.length, recorded.size()) << "no pause in the file";
  const Stretch second = FollowHeard(recorded, start + first.length, server);
  ASSERT_GE(second.heardAt, 0) << "the sound after the pause is not the server's";
  EXPECT_EQ(start + first.length + second.length, recorded.size())
      << "a third stretch: "
      << DescribeBreak(recorded, start + first.length + second.length, second.heardEnd, server);
  const double gapSeconds = static_cast<double>(second.heardAt - first.heardEnd) / 44100;
  EXPECT_GE(gapSeconds, 1.5) << "sound of the pause was recorded";
  EXPECT_LE(first.glitches + second.glitches, 4) << "the server's cycles ran late too often to tell";
  EXPECT_EQ(overrun, 0u);
  std::cout << "overrun " << overrun << " frames; stretches of " << first.length << " and " << second.length
            << " frames, gap " << gapSeconds << " s, " << first.glitches + second.glitches
            << " silent server cycles only one of the two streams carried\n";
}

// A click heard just before Stop is in the file: Stop writes every frame the
// server delivered up to it, not only whole blocks of 100 ms. The server's own
// capture (parec) tells when the click has been delivered.
TEST(WavCaptureE2E, AClickHeardJustBeforeStopIsInTheTake) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  constexpr uint32_t kClick = 0x61A861A8;  // 25000 on both channels
  std::vector<int16_t> samples(2 * 44100 * 5, 0);
  std::fill_n(samples.begin() + 2 * 2 * 44100, 2 * 882, int16_t{25000});  // 20 ms, 2 s in
  const std::string file = rig.dir.File("click.wav");
  rig.dir.WriteText("click.wav", WavBytes(2, 44100, 16, samples));
  const std::string heardPath = rig.dir.File("heard.raw");
  SinkCapture heard(heardPath);
  BackgroundProcess player({"paplay", file});
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  bool clicked = false;
  for (int i = 0; i < 2000 && !clicked; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto bytes = ReadFileBytes(heardPath);
    const auto server = FramesOf(bytes.data(), bytes.size());
    clicked = std::find(server.begin(), server.end(), kClick) != server.end();
  }
  ASSERT_TRUE(clicked) << "the server never delivered the click";
  // The click's 20 ms and a fragment of the server: well inside the last block.
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  rig.controller.Execute(RecorderCommand::Stop);
  heard.Stop();
  player.Stop();
  const auto recorded = RecordedFrames(rig.dir.Read("record1.wav"));
  const auto first = std::find(recorded.begin(), recorded.end(), kClick);
  ASSERT_NE(first, recorded.end()) << "the click is not in the take";
  const long clickFrames = std::count(first, recorded.end(), kClick);
  EXPECT_EQ(clickFrames, 882);
  std::cout << "click at " << (first - recorded.begin()) / 44100.0 << " s of a " << recorded.size() / 44100.0
            << " s take, " << clickFrames << " of its 882 frames in it, " << recorded.end() - first - 882
            << " frames after it\n";
}

// A stream whose buffer (1 s) is too short for a reader held up 3.8 s keeps
// the oldest second, in order, and counts exactly the rest as lost.
TEST(WavCaptureE2E, AReaderHeldPastTheStreamBufferKeepsTheOldestFramesAndCountsTheRest) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  TempFolder dir;
  auto played = WriteNoiseWav(dir.File("noise.wav"), 10);
  BackgroundProcess player({"paplay", dir.File("noise.wav")});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  PulseCaptureStream stream("Stall test", 1000);
  ASSERT_EQ(stream.Open(PcmFormat{}), 0u);
  auto begin = std::chrono::steady_clock::now();
  stream.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(3800));
  stream.Stop();
  double held = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::vector<uint32_t> recorded(3 * 44100);
  const size_t kept = stream.Read(reinterpret_cast<uint8_t*>(recorded.data()), recorded.size() * 4) / 4;
  const uint64_t lostFrames = stream.OverrunFrames();
  const double lost = static_cast<double>(lostFrames) / 44100;
  EXPECT_EQ(kept, 44100u) << "a full buffer";
  EXPECT_NEAR(lost, held - 1.0, 0.2);
  recorded.resize(kept);
  size_t start = FirstSound(recorded);
  ASSERT_LT(start, 4410u);
  auto [offset, length] = MatchRun(recorded, start, played);
  ASSERT_GE(offset, 0);
  EXPECT_EQ(start + length, recorded.size()) << "frame " << start + length << " differs from what was played";
  stream.Close();
  std::cout << "held " << held << " s: kept " << kept << " frames, lost " << lostFrames << " (" << lost
            << " s, expected " << held - 1.0 << " s)\n";
}

// The first channel of a recorded file as signed values (8-bit is centred on 128).
std::vector<int> FirstChannel(const std::vector<uint8_t>& file, int bits, int channels) {
  std::vector<int> out;
  for (size_t at = 44; at + bits / 8 * channels <= file.size(); at += bits / 8 * channels)
    out.push_back(bits == 8 ? file[at] - 128 : static_cast<int16_t>(file[at] | file[at + 1] << 8));
  return out;
}

TEST(WavCaptureE2E, AllTwelveFormatsHaveTrueHeadersAndCarryTheToneAtOneKilohertz) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(true);
  const std::string tone = rig.dir.File("tone.wav");
  ASSERT_EQ(std::system(("sox -D -n -r 44100 -c 2 -b 16 " + tone + " synth 90 sine 1000 gain -0.01").c_str()), 0);
  BackgroundProcess player({"paplay", tone});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  int n = 0;
  for (uint32_t rate : {44100u, 22050u, 11025u}) {
    for (uint16_t bits : {16, 8}) {
      for (uint16_t channels : {2, 1}) {
        rig.settings.sampleRate = rate;
        rig.settings.bitsPerSample = bits;
        rig.settings.channels = channels;
        rig.controller.StartRecording();
        ASSERT_TRUE(rig.state.Recording());
        rig.Ticks(25);
        rig.controller.StopAll();
        const std::string name = "record" + std::to_string(++n) + ".wav";
        auto file = rig.dir.Read(name);
        ASSERT_GT(file.size(), 44u);
        auto probe = RunCommand("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels "
                                "-of default=nw=1 " + rig.dir.File(name));
        const std::string codec = bits == 8 ? "pcm_u8" : "pcm_s16le";
        EXPECT_EQ(probe, "codec_name=" + codec + "\nsample_rate=" + std::to_string(rate) +
                             "\nchannels=" + std::to_string(channels) + "\n");
        EXPECT_TRUE(ReadWav(file).sizesMatch);
        EXPECT_EQ(ReadWav(file).dataBytes % (bits / 8 * channels), 0u);  // whole frames
        const auto samples = FirstChannel(file, bits, channels);
        EXPECT_NEAR(ToneHz(samples, rate), 1000.0, 10.0) << rate << " Hz " << bits << " bit " << channels << " ch";
        // The tone plays 0.01 dB under full scale on both channels. Mono is
        // their mean, made here from a stereo capture, so it keeps that level and
        // does not clip whichever server runs (PipeWire mixes 0.7071 (L+R) itself).
        // Other rates go through the server's resampler, whose edges overshoot.
        if (rate == 44100) {
          const double scale = bits == 8 ? 128.0 : 32768.0;
          int peak = 0;
          size_t clipped = 0;
          for (int v : samples) {
            peak = std::max(peak, std::abs(v));
            clipped += v >= scale - 1 || v <= -scale;
          }
          const double db = 20 * std::log10(peak / scale);
          EXPECT_NEAR(db, 0.0, 0.1) << bits << " bit " << channels << " ch";
          if (bits == 16) {
            EXPECT_EQ(clipped, 0u) << channels << " ch";
          }
          std::cout << bits << " bit " << channels << " ch: peak " << db << " dB, " << clipped << " at full scale\n";
        }
      }
    }
  }
}

}  // namespace
}  // namespace tarnovox
