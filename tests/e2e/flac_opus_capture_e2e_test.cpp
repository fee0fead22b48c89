// FLAC and Opus takes made through the recorder controller on the real sound
// server, checked by FFmpeg and mutagen, and takes of every format whose
// program is killed.
#include <gtest/gtest.h>

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
    NullSink rateSink(sink, format.sampleRate);  // so sound reaches the take without resampling
    LiveRecorder rig(true, sink + ".monitor");
    rig.settings.format = OutputFormat::Flac;
    rig.settings.sampleRate = format.sampleRate;
    rig.settings.bitsPerSample = format.bitsPerSample;
    rig.settings.channels = format.channels;
    WriteNoise(format, 20, rig.dir.File("played.wav"), rig.dir.File("expected.wav"));
    auto player = PlayInto(sink, rig.dir.File("played.wav"), 1000);
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

// Started in a process of its own by the test below, which kills it (the
// sound server's client library does not work in a forked child).
TEST(FlacOpusCaptureE2E, DISABLED_RecordsUntilKilled) {
  LiveRecorder rig(true);
  rig.settings.folder = std::getenv("TARNOVOX_KILLED_TAKE_FOLDER");
  const std::string format = std::getenv("TARNOVOX_KILLED_TAKE_FORMAT");
  rig.settings.format =
      format == "opus" ? OutputFormat::Opus : format == "flac" ? OutputFormat::Flac : OutputFormat::Wav;
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording());
  rig.Ticks(600);
}

// A take of any format whose program is killed keeps the tone played up to
// shortly before: a WAV's header says that length (it is rewritten after every
// read), a FLAC or Opus take decodes to it. A WAV runs 10 s and keeps at least
// 8, FLAC and Opus run 5 s and keep at least 4.5.
TEST(FlacOpusCaptureE2E, AKilledTakeKeepsTheToneUpToShortlyBeforeTheKill) {
  if (!SoundServerAvailable()) GTEST_SKIP() << "needs the private sound server";
  TempFolder tones;
  RunCommand("sox -n -r 44100 -c 2 -b 16 " + tones.File("tone.wav") + " synth 60 sine 440 vol 0.5");
  BackgroundProcess player({"paplay", tones.File("tone.wav")});
  for (const auto& [format, held, kept] :
       {std::tuple<std::string, int, double>{"wav", 10, 8.0}, {"flac", 5, 4.5}, {"opus", 5, 4.5}}) {
    SCOPED_TRACE(format);
    TempFolder dir;
    setenv("TARNOVOX_KILLED_TAKE_FOLDER", dir.Path().c_str(), 1);
    setenv("TARNOVOX_KILLED_TAKE_FORMAT", format.c_str(), 1);
    BackgroundProcess recorder({std::filesystem::read_symlink("/proc/self/exe").string(),
                                "--gtest_also_run_disabled_tests",
                                "--gtest_filter=FlacOpusCaptureE2E.DISABLED_RecordsUntilKilled"});
    ASSERT_TRUE(recorder.Started());
    const std::string take = dir.File("record1." + format);
    for (int i = 0; i < 500 && !std::filesystem::exists(take); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(take));
    std::this_thread::sleep_for(std::chrono::seconds(held));
    recorder.Stop(SIGKILL);
    const std::string decoded = dir.File("decoded.wav");
    RunCommand("ffmpeg -v error -i '" + take + "' -c:a pcm_s16le '" + decoded + "'");
    const double seconds = std::stod(Probe("format=duration", format == "wav" ? take : decoded));
    EXPECT_GE(seconds, kept);
    const std::string stat = RunCommand("sox '" + decoded + "' -n stat 2>&1");
    const auto rms = stat.find("RMS     amplitude:");
    ASSERT_NE(rms, std::string::npos) << stat;
    EXPECT_GT(std::atof(stat.c_str() + rms + 18), 0.2);  // the tone, not silence
    std::cout << format << " take killed " << held << " s in: " << seconds << " s\n";
  }
}

}  // namespace
}  // namespace tarnovox
