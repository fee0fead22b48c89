// Two outputs on the private sound server, a 440 Hz tone playing into the
// default one (A) and a 1 kHz tone into a second one (B). With the monitor of
// B chosen in the settings, monitoring, a WAV and an MP3 take carry B's tone at
// the level it was played and nothing of A's; the sound the computer plays is
// A's, also when B's monitor is the default input. When B is gone, Record
// takes the default input, says so once and keeps the take; when B is back,
// monitoring returns to it. When B goes during a WAV or an MP3 take, the take
// ends with what it captured, the user is told once, naming B, and monitoring
// goes on from the default input until B is back. The input list hears of B coming and going over
// the program's one server connection.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <iostream>
#include <numbers>
#include <thread>

#include "platform/input_sources_pulse.h"
#include "tests/e2e/live_recorder.h"
#include "tests/formats/mp3_probe.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

constexpr const char* kSinkB = "tarnovox_input_b";
constexpr double kPlayed = 0.5 * 32767;  // the tones' amplitude in 16-bit steps
constexpr size_t kRate = 44100;

// Amplitude of the `hz` part of `count` samples from `from` on, every `step`th
// (one channel of interleaved frames). A whole number of periods in the window
// makes the figure exact for a pure tone.
template <typename Samples>
double Amplitude(const Samples& s, size_t from, size_t count, size_t step, double hz) {
  const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / kRate);
  double s1 = 0, s2 = 0;
  for (size_t i = 0; i < count; ++i) {
    const double s0 = static_cast<double>(s[from + i * step]) + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2)) / static_cast<double>(count);
}

struct Tones {
  double khz = 0, a440 = 0;
};

// A busy player's stutter spoils a window or two, not the median.
Tones Median(std::vector<Tones> windows) {
  if (windows.empty()) return {};
  const auto middle = windows.begin() + static_cast<long>(windows.size() / 2);
  std::nth_element(windows.begin(), middle, windows.end(), [](auto& a, auto& b) { return a.khz < b.khz; });
  const double khz = middle->khz;
  std::nth_element(windows.begin(), middle, windows.end(), [](auto& a, auto& b) { return a.a440 < b.a440; });
  return {khz, middle->a440};
}

// The median tones over windows of 0.1 s (a whole number of periods of both)
// of one channel, `frames` long, from `from` on.
template <typename Samples>
Tones TonesOf(const Samples& s, size_t from, size_t frames, size_t step, double scale = 1) {
  std::vector<Tones> windows;
  for (size_t at = from; at + kRate / 10 <= from + frames; at += kRate / 10)
    windows.push_back({Amplitude(s, at * step, kRate / 10, step, 1000) * scale,
                       Amplitude(s, at * step, kRate / 10, step, 440) * scale});
  return Median(std::move(windows));
}

// The median tones of a whole WAV take of at least 1.5 s, past its first 0.2 s.
Tones TakeTones(const std::string& path) {
  const auto bytes = ReadFileBytes(path);
  EXPECT_TRUE(ReadWav(bytes).sizesMatch) << path;
  std::vector<int16_t> s(bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0);
  if (!s.empty()) std::memcpy(s.data(), bytes.data() + 44, s.size() * 2);
  if (s.size() / 2 < kRate * 3 / 2) {
    ADD_FAILURE() << path << " holds " << s.size() / 2 << " frames";
    return {};
  }
  return TonesOf(s, kRate / 5, s.size() / 2 - kRate / 5, 2);
}

// The median tones of five blocks monitoring handed to the meters, once it
// has run a while.
Tones MonitoredTones(LiveRecorder& rig) {
  rig.Ticks(5);
  std::vector<Tones> blocks;
  for (int i = 0; i < 100 && blocks.size() < 5; ++i) {
    const int before = rig.meters.blocks;
    rig.Ticks(1);
    if (rig.meters.blocks == before || rig.meters.last.pcm.size() < 4410 * 4) continue;
    std::vector<int16_t> samples(4410 * 2);
    std::memcpy(samples.data(), rig.meters.last.pcm.data(), samples.size() * 2);
    blocks.push_back(TonesOf(samples, 0, 4410, 2));
  }
  return Median(std::move(blocks));
}

// Prints what `what` carried and expects the tone `heard` at the level it was
// played (within `tolerance`) and the other below `leak`.
void ExpectTone(const char* what, const Tones& t, double Tones::*heard, double tolerance = 0.01, double leak = 0.001) {
  std::cout << what << ": 1 kHz " << t.khz << ", 440 Hz " << t.a440 << " (played " << kPlayed << ")\n";
  EXPECT_NEAR(t.*heard, kPlayed, kPlayed * tolerance) << what;
  EXPECT_LT(heard == &Tones::khz ? t.a440 : t.khz, kPlayed * leak) << what;
}

bool Listed(InputSources& sources, const std::string& name) {
  for (const InputSource& source : sources.List())
    if (source.name == name && !source.description.empty()) return true;
  return false;
}

// Waits until `done` holds; false after 5 s.
bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 250; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST(InputChoiceE2E, TheChosenMonitorIsRecordedAndAMissingOneFallsBackKeepingTheTake) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server rig";
  const std::string monitorB = std::string(kSinkB) + ".monitor";
  PulseConnection server;
  PulseInputSources inputs(server);
  std::atomic<int> news{0};
  inputs.Follow([&] { ++news; });
  ASSERT_FALSE(Listed(inputs, monitorB));

  auto sinkB = std::make_unique<NullSink>(kSinkB);
  EXPECT_TRUE(WaitFor([&] { return news > 0 && Listed(inputs, monitorB); })) << "the list missed the new sink";
  TempFolder tones;
  tones.WriteText("a.wav", WavBytes(2, kRate, 16, Tone(440, kRate, 2, 30)));
  tones.WriteText("b.wav", WavBytes(2, kRate, 16, Tone(1000, kRate, 2, 30)));
  const auto playA = PlayInto("test_sink", tones.File("a.wav"), 100);
  auto playB = PlayInto(kSinkB, tones.File("b.wav"), 100);
  // Both players run before anything is measured.
  WaitFor([] {
    return RunCommand("pactl list sink-inputs | grep -c 'application.name = \"paplay\"' || true").starts_with("2");
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  LiveRecorder wav(true, monitorB);
  ExpectTone("monitoring", MonitoredTones(wav), &Tones::khz);

  wav.controller.Execute(RecorderCommand::Record);
  const std::string take = wav.state.CurrentFile;
  wav.Ticks(35);
  wav.controller.Execute(RecorderCommand::Stop);
  ExpectTone("WAV", TakeTones(take), &Tones::khz);

  {
    LiveRecorder mp3(false, monitorB);
    mp3.controller.Execute(RecorderCommand::Record);
    const std::string mp3Take = mp3.state.CurrentFile;
    mp3.Ticks(30);
    mp3.controller.Execute(RecorderCommand::Stop);
    const DecodedMp3 decoded = DecodeMp3(mp3Take);
    ASSERT_GE(decoded.left.size(), kRate * 2);
    // The encoder itself gives this tone back 0.45 dB lower at 128 kbit/s
    // (the lame command line too: 15564 of 16383).
    ExpectTone("MP3", TonesOf(decoded.left, kRate / 5, decoded.left.size() - kRate / 5, 1, 32767), &Tones::khz,
               0.07, 0.003);
    EXPECT_TRUE(mp3.messages.empty());
  }
  EXPECT_TRUE(wav.messages.empty());

  {
    // The sound the computer plays is the default output's monitor (A's),
    // also while the default input is another (B's monitor).
    RunCommand(std::string("pactl set-default-source ") + monitorB);
    LiveRecorder plays(true, kDefaultOutputMonitor);
    ExpectTone("what this computer plays (default input B)", MonitoredTones(plays), &Tones::a440);
    RunCommand("pactl set-default-source test_sink.monitor");
    EXPECT_TRUE(plays.messages.empty());
  }

  // B goes (its player first, or the server would move the 1 kHz tone to A).
  playB.reset();
  const int before = news;
  sinkB->Unload();
  EXPECT_TRUE(WaitFor([&] { return news > before && !Listed(inputs, monitorB); })) << "the list kept the sink";
  inputs.Follow(nullptr);
  wav.Ticks(3);
  wav.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(wav.state.Recording());
  const std::string fallback = wav.state.CurrentFile;
  wav.Ticks(25);
  wav.controller.Execute(RecorderCommand::Stop);
  const std::vector<std::string> told = {
      "The input \"tarnovox_input_b.monitor\" is not available. Recording from the default input."};
  EXPECT_EQ(wav.messages, told);  // once: reopening monitoring at Stop says nothing more
  ExpectTone("fallback WAV", TakeTones(fallback), &Tones::a440);

  // B comes back: monitoring returns to it by itself, without a word.
  sinkB = std::make_unique<NullSink>(kSinkB);
  playB = PlayInto(kSinkB, tones.File("b.wav"), 100);
  wav.Ticks(10);
  ExpectTone("B back, monitoring", MonitoredTones(wav), &Tones::khz);
  EXPECT_EQ(wav.messages, told);
}

TEST(InputChoiceE2E, TheChosenInputGoingAwayEndsTheTakeAndMonitoringGoesOnFromTheDefault) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server rig";
  const std::string monitorB = std::string(kSinkB) + ".monitor";
  TempFolder tones;
  tones.WriteText("a.wav", WavBytes(2, kRate, 16, Tone(440, kRate, 2, 30)));
  tones.WriteText("b.wav", WavBytes(2, kRate, 16, Tone(1000, kRate, 2, 30)));
  const auto playA = PlayInto("test_sink", tones.File("a.wav"), 100);
  const std::vector<std::string> told = {"The input \"tarnovox_input_b.monitor\" was disconnected. "
                                         "The recording was ended; it keeps what was recorded."};
  for (const bool wav : {true, false}) {
    SCOPED_TRACE(wav ? "WAV" : "MP3");
    auto sinkB = std::make_unique<NullSink>(kSinkB);
    auto playB = PlayInto(kSinkB, tones.File("b.wav"), 100);
    LiveRecorder rig(wav, monitorB);
    ExpectTone("B monitored", MonitoredTones(rig), &Tones::khz);
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    const std::string take = rig.state.CurrentFile;
    rig.Ticks(30);
    playB.reset();  // or the server would move the 1 kHz tone to A
    sinkB->Unload();  // unplugged 3 s into the take
    rig.Ticks(10);
    EXPECT_FALSE(rig.state.Recording());
    EXPECT_EQ(rig.messages, told);
    if (wav) {
      ExpectTone("WAV up to the unplugging", TakeTones(take), &Tones::khz);
    } else {
      const auto frames = ReadFrameHeaders(take);
      ASSERT_FALSE(frames.empty());
      EXPECT_EQ(frames.back().end, std::filesystem::file_size(take));  // whole frames only
      EXPECT_GE(std::stod(Probe("format=duration", take)), 2.5);
      const DecodedMp3 decoded = DecodeMp3(take);
      ExpectTone("MP3 up to the unplugging",
                 TonesOf(decoded.left, kRate / 5, kRate * 2, 1, 32767), &Tones::khz, 0.07, 0.003);
    }
    // Monitoring goes on from the default input, without another word; the
    // choice stays for when B returns, and monitoring goes back to it.
    EXPECT_TRUE(rig.engine.MonitoringOpen());
    ExpectTone("default input monitored", MonitoredTones(rig), &Tones::a440);
    EXPECT_EQ(rig.settings.inputSource, monitorB);
    sinkB = std::make_unique<NullSink>(kSinkB);
    playB = PlayInto(kSinkB, tones.File("b.wav"), 100);
    rig.Ticks(10);
    ExpectTone("B back, monitoring", MonitoredTones(rig), &Tones::khz);
    EXPECT_EQ(rig.messages, told);
  }
}

}  // namespace
}  // namespace tarnovox
