#include <gtest/gtest.h>

#include <tuple>

#include "formats/label_file.h"
#include "formats/wav_source.h"
#include "formats/wave_format.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::TempFolder;

TEST(WaveFormat, HeaderBytesAreExactlyTheCanonicalLayout) {
  const uint8_t expected[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                16, 0, 0, 0, 1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0,
                                1, 0, 8, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
  const auto header = MakeWaveHeader(WaveHeaderFields{1, 22050, 22050, 1, 8, 0});
  EXPECT_TRUE(std::equal(header.begin(), header.end(), expected));
}

TEST(WaveFormat, ReadWaveInfoDescribesOnlyPcmFilesOfFiftyBytesOrMore) {
  TempFolder dir;
  const auto header = MakeWaveHeader(WaveHeaderFields{.channels = 1, .sampleRate = 11025, .dataBytes = 6});
  const std::string canonical(header.begin(), header.end());
  // The canonical header with `bytes` written at `at`, and six bytes of sound.
  auto changed = [&](size_t at, const std::string& bytes) {
    return std::string(canonical).replace(at, bytes.size(), bytes) + std::string(6, 0);
  };
  // The format chunk is found wherever it lies, also in the extensible form;
  // its fields count only inside the chunk. A file not described keeps the
  // format of the file picked before (2 channels, 48000 Hz here).
  using testing::Chunk, testing::Fmt, testing::Wave;
  const std::string sound = Chunk("data", std::string(8, 0));
  const std::tuple<const char*, std::string, int, uint32_t> files[] = {
      {"mono.wav", canonical + std::string(6, '\x80'), 1, 11025},
      {"empty.wav", canonical, 2, 48000},  // 44 bytes: not described
      {"list.wav", changed(12, "LIST"), 2, 48000},
      {"adpcm.wav", changed(20, "\x02"), 2, 48000},
      {"none.wav", changed(22, std::string(1, 0)), 2, 48000},
      {"three.wav", changed(22, "\x03"), 2, 48000},
      {"0hz.wav", changed(24, std::string(2, 0)), 2, 48000},
      {"after.wav", Wave({Chunk("LIST", "INFOtitle"), Chunk("fmt ", Fmt(1, 1, 8000, 16)), sound}), 1, 8000},
      {"data first.wav", Wave({sound, Chunk("fmt ", Fmt(1, 1, 8000, 16))}), 1, 8000},
      {"extensible.wav", Wave({Chunk("fmt ", Fmt(1, 1, 8000, 16, 40)), sound}), 1, 8000},
      {"float.wav", Wave({Chunk("fmt ", Fmt(3, 1, 8000, 32, 40)), sound}), 2, 48000},
      {"short fmt.wav", Wave({Chunk("fmt ", Fmt(1, 1, 8000, 16).substr(0, 6)), Chunk("LIST", std::string(40, 'x'))}),
       2, 48000},
      {"cut fmt.wav", Wave({Chunk("LIST", std::string(30, 'x'))}) + "fmt " + testing::Le(16, 4) + "\x01", 2, 48000},
  };
  RecorderState state;
  for (const auto& [name, bytes, channels, rate] : files) {
    dir.WriteText(name, bytes);
    state.FileChannels = 2;
    state.FileSampleRate = 48000;
    state.PickedFile = dir.File(name);
    EXPECT_EQ(ReadWaveInfo(state), "") << name;
    EXPECT_EQ(state.FileChannels, channels) << name;
    EXPECT_EQ(state.FileSampleRate, rate) << name;
  }

  state.PickedFile = dir.File("missing.wav");
  EXPECT_EQ(ReadWaveInfo(state),
            "Cannot open file \"" + dir.File("missing.wav") + "\". No such file or directory");
  // A FIFO named like a recording is refused at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo(dir.File("pipe.wav").c_str(), 0600), 0);
  state.PickedFile = dir.File("pipe.wav");
  EXPECT_EQ(ReadWaveInfo(state), "Cannot open file \"" + state.PickedFile + "\". Operation not supported");
}

// The file list's description and the conversion read through one chunk
// reader: a file the conversion takes is described with the same format.
TEST(WaveFormat, ReadWaveInfoAgreesWithTheConversionOnEveryFileItTakes) {
  TempFolder dir;
  using testing::Chunk, testing::Fmt, testing::Le, testing::Wave;
  const std::string sound = Chunk("data", std::string(4000, 1));
  const std::string files[] = {
      Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), sound}),
      Wave({Chunk("JUNK", std::string(28, 0)), Chunk("fmt ", Fmt(1, 1, 22050, 8, 18)), sound}),
      Wave({Chunk("fmt ", Fmt(1, 2, 32000, 16, 40)), Chunk("fact", Le(1000, 4)), sound, Chunk("LIST", "x")}),
      Wave({sound, Chunk("fmt ", Fmt(1, 1, 11025, 16))}),
  };
  for (const std::string& bytes : files) {
    dir.WriteText("x.wav", bytes);
    WavSourceFormat format;
    std::string error;
    ASSERT_TRUE(ReadWavSourceFormat(dir.File("x.wav"), format, error)) << error;
    RecorderState state;
    state.PickedFile = dir.File("x.wav");
    state.FileChannels = 7;
    ReadWaveInfo(state);
    EXPECT_EQ(state.FileChannels, format.channels);
    EXPECT_EQ(state.FileSampleRate, format.sampleRate);
  }
}

// Label lines are the frame's time rounded to the microsecond, written without
// the locale; a reader skips every line it cannot take whole and keeps the rest
// in time order.
TEST(LabelFile, LinesHoldSixDecimalsAndBadLinesAreSkippedOneByOne) {
  EXPECT_EQ(LabelLine(88200, 44100, "Mark 1"), "2.000000\t2.000000\tMark 1\n");
  EXPECT_EQ(LabelLine(1, 44100, "a"), "0.000023\t0.000023\ta\n");
  EXPECT_EQ(LabelLine(5999999, 3000000, ""), "2.000000\t2.000000\t\n");  // rounds up into the next second
  EXPECT_EQ(LabelFilePath("/a/b.c/record3.wav"), "/a/b.c/record3.labels.txt");
  const std::string bytes = std::string("5.5\t5.5\tlater\t440\r\n") +
                            "1.250000\t2\tregion\r\r\tx\n"  // a region counts from its start
                            "3\t2\tbackwards\n"          // end before start
                            "-1\t-1\tnegative\nnan\tnan\tnan\n1e3\t1e3\texponent\n"
                            "4\t4\t\xc3\x28\n"         // not UTF-8
                            "4\t4\t\xed\xa0\x80\n"     // a surrogate
                            "4.5\t4.5\t" + std::string(kMaxLabelLineBytes, 'x') + "\n"
                            "no tabs\n\n0\t0\n";
  const std::vector<Label> labels = ParseLabels(bytes);
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[0].seconds, 0);
  EXPECT_EQ(labels[0].text, "");
  EXPECT_EQ(labels[1].seconds, 1.25);
  EXPECT_EQ(labels[1].text, "region");
  EXPECT_EQ(labels[2].seconds, 5.5);
  EXPECT_EQ(labels[2].text, "later");
  std::string many;
  for (size_t i = 0; i <= kMaxLabels; ++i) many += "1\t1\tm\n";
  EXPECT_EQ(ParseLabels(many).size(), kMaxLabels);
}

}  // namespace
}  // namespace tarnovox
