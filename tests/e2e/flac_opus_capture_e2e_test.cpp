// FLAC and Opus takes made through the recorder controller on the real sound
// server, checked by FFmpeg and mutagen.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/e2e/live_recorder.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

std::string Tool(const std::string& name) { return std::string(TARNOVOX_E2E_TOOLS) + "/" + name; }

// A null sink of its own at `rate`, so sound reaches the take without resampling.
class RateSink {
 public:
  RateSink(const std::string& name, uint32_t rate) : name_(name) {
    module_ = RunCommand("pactl load-module module-null-sink channels=2 rate=" + std::to_string(rate) +
                         " sink_name=" + name);
    module_ = module_.substr(0, module_.find('\n'));
  }
  ~RateSink() {
    if (!module_.empty()) RunCommand("pactl unload-module " + module_);
  }
  // A long latency keeps a busy machine's player from running dry.
  std::unique_ptr<BackgroundProcess> Play(const std::string& file) const {
    return std::make_unique<BackgroundProcess>(
        std::vector<std::string>{"paplay", "--latency-msec=1000", "--device=" + name_, file});
  }

 private:
  std::string name_;
  std::string module_;
};

// Noise to play (16-bit stereo at `format`'s rate) and the same noise as the
// take's format holds it: for mono both channels are equal, for 8 bits each
// sample is a multiple of 256, so the capture's own conversion is exact.
void WriteNoise(const PcmFormat& format, int seconds, const std::string& played, const std::string& expected) {
  std::mt19937 random(777);
  std::vector<int16_t> stereo;
  std::vector<uint8_t> take;
  for (uint32_t i = 0; i < format.sampleRate * seconds; ++i) {
    int16_t left = static_cast<int16_t>(random()), right = static_cast<int16_t>(random());
    if (format.bitsPerSample == 8) left = static_cast<int16_t>(left & ~0xFF), right = static_cast<int16_t>(right & ~0xFF);
    if (format.channels == 1) right = left;
    stereo.insert(stereo.end(), {left, right});
    for (int16_t v : format.channels == 1 ? std::vector<int16_t>{left} : std::vector<int16_t>{left, right}) {
      if (format.bitsPerSample == 8) take.push_back(static_cast<uint8_t>((v >> 8) + 128));
      else take.insert(take.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    }
  }
  std::ofstream(played, std::ios::binary) << WavBytes(2, format.sampleRate, 16, stereo);
  std::ofstream(expected, std::ios::binary) << WavBytes(format.channels, format.sampleRate, format.bitsPerSample, take);
}

// How the stretches of exact_stretches.py join: a jump skips played frames
// (only the pause may), silence is what a late server played between two
// stretches that join without a gap.
struct Joins {
  int jumps = 0;
  long jumpedFrames = 0;
  long silentFrames = 0;
};
Joins JoinsOf(const std::string& stretches) {
  Joins joins;
  std::istringstream lines(stretches);
  long end = -1;
  for (std::string first, second; lines >> first >> second;) {
    if (first == "SILENT") {
      joins.silentFrames += std::stol(second);
      continue;
    }
    const long frames = std::stol(first), at = std::stol(second);
    if (end >= 0 && at != end) {
      ++joins.jumps;
      joins.jumpedFrames += at - end;
    }
    end = at + frames;
  }
  return joins;
}

// The take with a pause of 2 s: lossless, it decodes to exactly two stretches
// of the played noise (and, under load, silence the server played late
// between them); a finished file has its length and MD5 in STREAMINFO.
TEST(FlacOpusCaptureE2E, AFlacTakeWithAPauseDecodesToTwoExactStretchesOfThePlayedNoise) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  for (const PcmFormat format : {PcmFormat{44100, 2, 16}, PcmFormat{22050, 1, 8}}) {
    SCOPED_TRACE(std::to_string(format.sampleRate) + " Hz " + std::to_string(format.bitsPerSample) + " bit");
    const std::string sink = "flac_sink_" + std::to_string(format.sampleRate);
    RateSink rateSink(sink, format.sampleRate);
    LiveRecorder rig(true, sink + ".monitor");
    rig.settings.format = OutputFormat::Flac;
    rig.settings.sampleRate = format.sampleRate;
    rig.settings.bitsPerSample = format.bitsPerSample;
    rig.settings.channels = format.channels;
    WriteNoise(format, 20, rig.dir.File("played.wav"), rig.dir.File("expected.wav"));
    auto player = rateSink.Play(rig.dir.File("played.wav"));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    rig.Ticks(30);
    rig.controller.Execute(RecorderCommand::Pause);
    rig.Ticks(20);
    rig.controller.Execute(RecorderCommand::Pause);
    rig.Ticks(30);
    rig.controller.Execute(RecorderCommand::Stop);
    player->Stop();
    EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];

    const std::string take = rig.dir.File("record1.flac");
    EXPECT_EQ(Probe("stream=codec_name,sample_rate,channels", take),
              "flac," + std::to_string(format.sampleRate) + "," + std::to_string(format.channels));
    const std::string decoded = rig.dir.File("decoded.wav");
    RunCommand("ffmpeg -v error -i '" + take + "' -c:a " + (format.bitsPerSample == 8 ? "pcm_u8" : "pcm_s16le") +
               " '" + decoded + "'");
    const std::string stretches =
        RunCommand("python3 " + Tool("exact_stretches.py") + " --any-format --underruns '" +
                   rig.dir.File("expected.wav") + "' '" + decoded + "'");
    const Joins joins = JoinsOf(stretches);
    EXPECT_EQ(joins.jumps, 1) << stretches;
    EXPECT_GE(joins.jumpedFrames, format.sampleRate * 3 / 2) << "sound of the pause was recorded";
    EXPECT_LE(joins.silentFrames, format.sampleRate / 2) << "the server ran late too often to tell";
    const std::string info = RunCommand(
        "/usr/bin/python3 -c 'import sys, wave, mutagen.flac; i = mutagen.flac.FLAC(sys.argv[1]).info; "
        "print(i.total_samples - wave.open(sys.argv[2]).getnframes(), i.md5_signature != 0)' '" + take + "' '" +
        decoded + "'");
    EXPECT_EQ(info, "0 True\n") << "STREAMINFO's length differs from the sound's, or it has no MD5";
    std::cout << "stretches (frames, offset):\n" << stretches;
  }
}

TEST(FlacOpusCaptureE2E, AnOpusTakeOfAToneHasItsLengthPitchAndLevel) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  LiveRecorder rig(false);
  rig.settings.format = OutputFormat::Opus;
  rig.settings.channels = 2;
  const std::string tone = rig.dir.File("tone.wav");
  RunCommand("sox -D -n -r 44100 -c 2 -b 16 '" + tone + "' synth 30 sine 1000 gain -6");
  BackgroundProcess player({"paplay", tone});
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  const auto began = std::chrono::steady_clock::now();
  rig.Ticks(50);
  rig.controller.Execute(RecorderCommand::Stop);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  player.Stop();
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];

  const std::string take = rig.dir.File("record1.opus");
  EXPECT_EQ(Probe("stream=codec_name,sample_rate,channels", take), "opus,48000,2");
  const double length = std::stod(Probe("format=duration", take));
  EXPECT_NEAR(length, seconds, 0.1);
  const std::string decoded = rig.dir.File("decoded.wav");
  RunCommand("ffmpeg -v error -i '" + take + "' -c:a pcm_s16le '" + decoded + "'");
  const auto bytes = rig.dir.Read("decoded.wav");
  std::vector<int16_t> samples((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  const size_t frames = samples.size() / 2;
  const ToneMeasure measured = MeasureTone(samples, frames / 4, frames / 2, 48000, 2);
  const double playedRms = 32767 * std::pow(10, -6 / 20.0) / std::sqrt(2);
  EXPECT_NEAR(measured.hz, 1000, 10);
  EXPECT_NEAR(20 * std::log10(measured.rms / playedRms), 0, 1);
  std::cout << "Opus take " << length << " s of " << seconds << " s recorded, tone " << measured.hz << " Hz at "
            << 20 * std::log10(measured.rms / playedRms) << " dB of the played level\n";
}

// Started in a process of its own by the test below, which kills it.
TEST(FlacOpusCaptureE2E, DISABLED_RecordsUntilKilled) {
  LiveRecorder rig(true);
  rig.settings.folder = std::getenv("TARNOVOX_KILLED_TAKE_FOLDER");
  rig.settings.format = std::string(std::getenv("TARNOVOX_KILLED_TAKE_FORMAT")) == "opus" ? OutputFormat::Opus
                                                                                            : OutputFormat::Flac;
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  rig.Ticks(600);
}

// A take whose program is killed 5 s in decodes up to within a second of it.
TEST(FlacOpusCaptureE2E, ATakeKilledFiveSecondsInDecodesToItsLastSecond) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  for (const std::string format : {"flac", "opus"}) {
    SCOPED_TRACE(format);
    TempFolder dir;
    setenv("TARNOVOX_KILLED_TAKE_FOLDER", dir.Path().c_str(), 1);
    setenv("TARNOVOX_KILLED_TAKE_FORMAT", format.c_str(), 1);
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> args = {self, "--gtest_also_run_disabled_tests",
                                     "--gtest_filter=FlacOpusCaptureE2E.DISABLED_RecordsUntilKilled"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    const std::string take = dir.File("record1." + format);
    for (int i = 0; i < 500 && !std::filesystem::exists(take); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(take));
    std::this_thread::sleep_for(std::chrono::seconds(5));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    const std::string decoded = dir.File("decoded.wav");
    RunCommand("ffmpeg -v error -i '" + take + "' -c:a pcm_s16le '" + decoded + "'");
    const double seconds = std::stod(Probe("format=duration", decoded));
    EXPECT_GE(seconds, 4.5);
    std::cout << format << " take killed 5 s in decodes to " << seconds << " s\n";
  }
}

}  // namespace
}  // namespace tarnovox
