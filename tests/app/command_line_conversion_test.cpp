#include "app/command_line_conversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "tests/support/mp3_probe.h"
#include "tests/support/small_disk.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Four WAV files on two workers, one of them on a disk too small for its MP3:
// the other three are complete and decode to their sources' length, the
// fourth leaves no part file, and the exit status and the lines name it.
TEST(CommandLineConversion, EachFileIsConvertedOrAbsentAndEveryFailureIsNamed) {
  TempFolder folder;
  SmallDisk disk("64k");
  if (!disk.Available()) GTEST_SKIP() << "no small disk (needs root)";
  const std::vector<double> seconds = {1.0, 2.5, 0.4};
  for (size_t i = 0; i < seconds.size(); ++i)
    folder.WriteText("t" + std::to_string(i) + ".wav", WavBytes(2, 44100, 16, Tone(440, 44100, 2, seconds[i])));
  const std::string tight = disk.File("big.wav");
  std::ofstream(tight, std::ios::binary) << WavBytes(1, 22050, 8, std::vector<uint8_t>(22050, 128));
  disk.Leave(4096);
  DlopenLoader loader;
  std::ostringstream err;
  const int status = ConvertFromCommandLine(
      "mp3", {folder.File("t0.wav"), folder.File("t1.wav"), tight, folder.File("t2.wav")}, {}, loader, err, 2);
  EXPECT_EQ(status, 1) << err.str();
  for (size_t i = 0; i < seconds.size(); ++i) {
    const DecodedMp3 decoded = DecodeMp3(folder.File("t" + std::to_string(i) + ".mp3"));
    // The encoder's delay and padding: at most two frames more than the source.
    EXPECT_NEAR(decoded.Seconds(), seconds[i] + 0.026, 0.03) << i;
  }
  EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"t0.mp3", "t0.wav", "t1.mp3", "t1.wav", "t2.mp3", "t2.wav"}));
  for (const std::string& name : Names(disk.Path())) EXPECT_TRUE(name == "big.wav" || name.starts_with(".fill")) << name;
  EXPECT_NE(err.str().find("tarnovox: cannot convert " + tight + ": "), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("3 of 4 files converted to mp3"), std::string::npos) << err.str();

  // A target that exists is kept and named; a source that is no WAV is named.
  folder.WriteText("x.wav", "not a wave file");
  std::ostringstream again;
  EXPECT_EQ(ConvertFromCommandLine("mp3", {folder.File("t0.wav"), folder.File("x.wav")}, {}, loader, again), 1);
  EXPECT_NE(again.str().find(folder.File("t0.mp3") + "\" already exists and is kept"), std::string::npos);
  EXPECT_NE(again.str().find("cannot convert " + folder.File("x.wav")), std::string::npos) << again.str();
  EXPECT_FALSE(fs::exists(folder.File("x.mp3")));

  // FLAC is lossless: FFmpeg decodes exactly the source's samples.
  std::ostringstream flac;
  EXPECT_EQ(ConvertFromCommandLine("flac", {folder.File("t1.wav")}, {}, loader, flac), 0) << flac.str();
  const std::vector<int16_t> tone = Tone(440, 44100, 2, seconds[1]);
  std::string decoded;
  if (FILE* pipe = ::popen(("ffmpeg -v error -i '" + folder.File("t1.flac") + "' -f s16le -").c_str(), "r")) {
    char buffer[65536];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) decoded.append(buffer, got);
    ::pclose(pipe);
  }
  EXPECT_TRUE(decoded == std::string(reinterpret_cast<const char*>(tone.data()), tone.size() * 2))
      << decoded.size() << " bytes decoded";

  // Opus from 8-bit mono at 22050 Hz: resampled to 48 kHz, the same length and pitch.
  std::vector<uint8_t> narrow;
  for (int16_t sample : Tone(440, 22050, 1, 1.0)) narrow.push_back(static_cast<uint8_t>((sample >> 8) + 128));
  folder.WriteText("t3.wav", WavBytes(1, 22050, 8, narrow));
  std::ostringstream opus;
  EXPECT_EQ(ConvertFromCommandLine("opus", {folder.File("t3.wav")}, {}, loader, opus), 0) << opus.str();
  const DecodedMp3 opusSound = DecodeMp3(folder.File("t3.opus"));
  EXPECT_EQ(opusSound.codec, "opus");
  EXPECT_EQ(opusSound.sampleRate, 48000);
  EXPECT_NEAR(opusSound.Seconds(), 1.0, 0.01);
  EXPECT_NEAR(ToneHz(opusSound.left, 48000), 440, 3);
  for (const std::string& name : Names(folder.Path())) EXPECT_FALSE(name.ends_with(".part")) << name;
}

}  // namespace
}  // namespace tarnovox::testing
