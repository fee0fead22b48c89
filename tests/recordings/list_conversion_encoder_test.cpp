// The file list's conversion over the real encoders, the targets decoded by
// FFmpeg.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "tests/recordings/list_conversion_rig.h"
#include "tests/support/mp3_probe.h"
#include "tests/support/small_disk.h"
#include "tests/support/sound_check.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

// What LAME puts before the first sample: 576 samples of look-ahead plus the
// 529 of its filter bank; the decoder gives them back as leading silence.
constexpr size_t kEncoderDelay = 1105;

// Where the chunks lie is list_conversion_test.cpp's; here the real encoder gets a
// mono and an 8-bit stereo source in their own rates.
TEST(ListConversion, RealLibraryKeepsTheSourceFormat) {
  DlopenLoader loader;
  ConversionRig rig(loader);
  rig.settings.channelMode = ChannelMode::JointStereo;  // joint stereo is not used by the conversion
  const auto mono = testing::Tone(1000, 22050, 1, 0.7);
  std::vector<uint8_t> eightBit;
  for (int16_t v : testing::Tone(500, 11025, 2, 1.5)) eightBit.push_back(static_cast<uint8_t>((v >> 8) + 128));
  rig.folder.WriteText("mono.wav", Wave({Chunk("fmt ", Fmt(1, 1, 22050, 16, 40)),
                                         Chunk("fact", Le(static_cast<uint32_t>(mono.size()), 4)),
                                         Chunk("data", Bytes(mono))}));
  rig.folder.WriteText("eight.wav", testing::WavBytes(2, 11025, 8, eightBit));
  // A header whose data size was never filled in: the sound runs to the end of the file.
  const auto unsized = testing::Tone(2000, 44100, 2, 0.5);
  rig.folder.WriteText("unsized.wav", Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(0, 4) + Bytes(unsized)}));
  struct Expect {
    const char* name;
    size_t frames;
    int rate, channels, mode;
    double hz;
  };
  for (const Expect& e : {Expect{"mono", mono.size(), 22050, 1, 3, 1000},
                          Expect{"eight", eightBit.size() / 2, 11025, 2, 0, 500},
                          Expect{"unsized", unsized.size() / 2, 44100, 2, 0, 2000}}) {
    SCOPED_TRACE(e.name);
    const std::string mp3 = rig.folder.File(std::string(e.name) + ".mp3");
    rig.Run(std::string(e.name) + ".wav");
    EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];
    const auto decoded = testing::DecodeMp3(mp3);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, e.rate);
    EXPECT_EQ(decoded.channels, e.channels);
    EXPECT_EQ(testing::ReadFrameHeaders(mp3).at(0).mode, e.mode);
    const size_t length = decoded.left.size();
    RecordProperty(std::string(e.name) + "_frames", std::to_string(e.frames) + " -> " + std::to_string(length));
    EXPECT_GE(length, e.frames + kEncoderDelay);         // no sample lost
    EXPECT_LT(length, e.frames + kEncoderDelay + 1152);  // nothing but the last frame's padding added
    EXPECT_NEAR(testing::ToneHz(e.channels == 2 ? decoded.right : decoded.left, e.rate), e.hz, 5);
  }
}

// Three sources of their own rates and channels, each lasting `seconds` times
// its number plus one; what FLAC must give back sample for sample.
struct FlacSources {
  struct Source {
    std::string name;
    std::string samples;  // 16-bit interleaved, as the WAV holds them
  };
  std::vector<Source> sources;
  FlacSources(ConversionRig& rig, double seconds) {
    const std::vector<std::pair<int, int>> formats = {{44100, 2}, {22050, 1}, {48000, 2}};
    for (size_t i = 0; i < formats.size(); ++i) {
      const auto [rate, channels] = formats[i];
      const auto tone = testing::Tone(300.0 * (i + 1), rate, channels, seconds * (i + 1));
      sources.push_back({"t" + std::to_string(i), Bytes(tone)});
      rig.folder.WriteText(sources.back().name + ".wav", testing::WavBytes(channels, rate, 16, tone));
    }
  }
  // FFmpeg decodes the FLAC file to exactly the source's samples.
  static bool Exact(const ConversionRig& rig, const Source& source) {
    const std::string flac = rig.folder.File(source.name + ".flac");
    return testing::RunCommand("ffmpeg -nostdin -v error -i '" + flac + "' -f s16le -") == source.samples;
  }
};

std::vector<std::string> PartFiles(const std::string& folder) {
  std::vector<std::string> parts;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().ends_with(".part")) parts.push_back(entry.path().string());
  }
  return parts;
}

// Four rows to FLAC, one of them on a disk that takes no file: one question
// for the existing target, one dialog, the other three exact, no part file,
// one message naming the failed file, one rescan; the sources as they were.
TEST(ListConversion, SeveralFilesOneFailingLeaveTheOthersCompleteAndTellTheFailureOnce) {
  DlopenLoader loader;
  ConversionRig rig(loader);
  SmallDisk disk("256k");
  if (!disk.Available()) GTEST_SKIP() << "no small disk (needs root)";
  const FlacSources flac(rig, 0.6);
  const std::string stuck = disk.File("stuck.wav");
  std::ofstream(stuck, std::ios::binary) << testing::WavBytes(1, 8000, 16, testing::Tone(200, 8000, 1, 1.0));
  ASSERT_TRUE(disk.RemountReadOnly());
  rig.folder.WriteText("t1.flac", "old");
  rig.ui.answers = {true};
  std::vector<std::string> wavs;
  for (const auto& source : flac.sources) wavs.push_back(rig.folder.ReadText(source.name + ".wav"));

  rig.Convert({rig.folder.File("t0.wav"), rig.folder.File("t1.wav"), stuck, rig.folder.File("t2.wav"),
               rig.folder.File("t0.mp3")},
              ConversionTarget::Flac);

  EXPECT_EQ(rig.ui.questions, std::vector<std::string>{"Confirm: " + rig.folder.File("t1.flac") +
                                                       " already exists.\rDo you want to overwrite it?"});
  EXPECT_EQ(rig.progress.format, ConversionTarget::Flac);
  EXPECT_EQ(rig.progress.shown, "4 WAV files in " + rig.folder.Path() + " -> 4 FLAC files");
  for (const auto& source : flac.sources) EXPECT_TRUE(FlacSources::Exact(rig, source)) << source.name;
  ASSERT_EQ(rig.ui.messages.size(), 1u);
  EXPECT_TRUE(rig.ui.messages[0].starts_with("Can not convert \"" + stuck + "\": ")) << rig.ui.messages[0];
  EXPECT_EQ(rig.ui.messages[0].find('\n'), std::string::npos) << rig.ui.messages[0];
  EXPECT_EQ(rig.library.calls, std::vector<std::string>({"Rescan", "ApplySort"}));
  EXPECT_EQ(rig.progress.grid, std::vector<bool>({false, true}));
  EXPECT_EQ(rig.Names(), std::set<std::string>({"t0.wav", "t1.wav", "t2.wav", "t0.flac", "t1.flac", "t2.flac"}));
  EXPECT_TRUE(PartFiles(disk.Path()).empty());
  for (size_t i = 0; i < wavs.size(); ++i) EXPECT_TRUE(rig.folder.ReadText(flac.sources[i].name + ".wav") == wavs[i]);
}

// Cancel while the first files are encoded stops all: every target is either
// absent or complete and exact, and no part file stays.
TEST(ListConversion, CancelOfSeveralFilesLeavesEachTargetCompleteOrAbsent) {
  DlopenLoader loader;
  ConversionRig rig(loader);
  FlacSources flac(rig, 8.0);
  rig.folder.WriteText("t3.wav", testing::WavBytes(2, 44100, 16, testing::Tone(700, 44100, 2, 20.0)));
  rig.convert.ConvertFiles({rig.folder.File("t0.wav"), rig.folder.File("t1.wav"), rig.folder.File("t2.wav"),
                            rig.folder.File("t3.wav")},
                           ConversionTarget::Flac);
  while (rig.progress.last <= 0 && rig.convert.Running()) {
    rig.posted.RunAll();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(rig.progress.cancel);
  rig.progress.cancel();  // Cancel clicked
  rig.convert.Wait();
  rig.posted.RunAll();

  EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];
  EXPECT_TRUE(PartFiles(rig.folder.Path()).empty());
  flac.sources.push_back({"t3", Bytes(testing::Tone(700, 44100, 2, 20.0))});
  int complete = 0;
  for (const auto& source : flac.sources) {
    if (!std::filesystem::exists(rig.folder.File(source.name + ".flac"))) continue;
    EXPECT_TRUE(FlacSources::Exact(rig, source)) << source.name;
    ++complete;
  }
  RecordProperty("complete_after_cancel", complete);
  EXPECT_LT(complete, 4);  // the cancel stopped what ran
  EXPECT_EQ(rig.library.calls, std::vector<std::string>({"Rescan", "ApplySort"}));
}

}  // namespace
}  // namespace tarnovox
