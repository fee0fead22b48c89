#include <gtest/gtest.h>

#include <tuple>

#include "formats/wav_source.h"
#include "formats/wave_format.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::TempFolder;

TEST(WaveFormat, HeaderBytesAreExactlyTheCanonicalLayout) {
  WaveHeaderFields fields;
  fields.channels = 1;
  fields.sampleRate = 22050;
  fields.bytesPerSecond = 22050;
  fields.blockAlign = 1;
  fields.bitsPerSample = 8;
  fields.dataBytes = 0;
  const uint8_t expected[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                16, 0, 0, 0, 1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0,
                                1, 0, 8, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
  const auto header = MakeWaveHeader(fields);
  EXPECT_TRUE(std::equal(header.begin(), header.end(), expected));
}

TEST(WaveFormat, ReadWaveInfoDescribesOnlyPcmFilesOfFiftyBytesOrMore) {
  TempFolder dir;
  WaveHeaderFields mono;
  mono.channels = 1;
  mono.sampleRate = 11025;
  mono.dataBytes = 6;
  auto header = MakeWaveHeader(mono);
  std::string canonical(header.begin(), header.end());
  dir.WriteText("mono.wav", canonical + std::string(6, '\x80'));
  dir.WriteText("empty.wav", canonical);  // 44 bytes: not described
  std::string listFirst = canonical;
  listFirst.replace(12, 4, "LIST");
  dir.WriteText("list.wav", listFirst + std::string(6, 0));
  std::string compressed = canonical;
  compressed[20] = 2;
  dir.WriteText("adpcm.wav", compressed + std::string(6, 0));
  for (auto [name, at, value] : {std::tuple{"none.wav", 22, 0}, {"three.wav", 22, 3}, {"0hz.wav", 25, 0}}) {
    std::string odd = canonical;
    odd[at] = static_cast<char>(value);
    if (at == 25) odd[24] = 0;
    dir.WriteText(name, odd + std::string(6, 0));
  }

  RecorderState state;
  state.FileSampleRate = 48000;
  for (const char* name : {"empty.wav", "list.wav", "adpcm.wav", "none.wav", "three.wav", "0hz.wav"}) {
    state.FileChannels = 2;
    state.PickedFile = dir.File(name);
    EXPECT_EQ(ReadWaveInfo(state), "");
    EXPECT_EQ(state.FileChannels, 2) << name;
    EXPECT_EQ(state.FileSampleRate, 48000u) << name;
  }
  state.PickedFile = dir.File("mono.wav");
  ReadWaveInfo(state);
  EXPECT_EQ(state.FileChannels, 1);
  EXPECT_EQ(state.FileSampleRate, 11025u);

  // The format chunk is found wherever it lies, also in the extensible form;
  // its fields count only inside the chunk.
  using testing::Chunk, testing::Fmt, testing::Wave;
  const std::string sound = Chunk("data", std::string(8, 0));
  const std::pair<const char*, std::string> described[] = {
      {"after.wav", Wave({Chunk("LIST", "INFOtitle"), Chunk("fmt ", Fmt(1, 1, 8000, 16)), sound})},
      {"data first.wav", Wave({sound, Chunk("fmt ", Fmt(1, 1, 8000, 16))})},
      {"extensible.wav", Wave({Chunk("fmt ", Fmt(1, 1, 8000, 16, 40)), sound})},
  };
  for (const auto& [name, bytes] : described) {
    state.FileChannels = 2;
    state.FileSampleRate = 48000;
    state.PickedFile = dir.File(name);
    dir.WriteText(name, bytes);
    EXPECT_EQ(ReadWaveInfo(state), "");
    EXPECT_EQ(state.FileChannels, 1) << name;
    EXPECT_EQ(state.FileSampleRate, 8000u) << name;
  }
  const std::pair<const char*, std::string> ignored[] = {
      {"float.wav", Wave({Chunk("fmt ", Fmt(3, 1, 8000, 32, 40)), sound})},
      {"short fmt.wav", Wave({Chunk("fmt ", Fmt(1, 1, 8000, 16).substr(0, 6)), Chunk("LIST", std::string(40, 'x'))})},
      {"cut fmt.wav", Wave({Chunk("LIST", std::string(30, 'x'))}) + "fmt " + testing::Le(16, 4) + "\x01"},
  };
  for (const auto& [name, bytes] : ignored) {
    state.FileChannels = 2;
    state.FileSampleRate = 48000;
    state.PickedFile = dir.File(name);
    dir.WriteText(name, bytes);
    EXPECT_EQ(ReadWaveInfo(state), "");
    EXPECT_EQ(state.FileChannels, 2) << name;
    EXPECT_EQ(state.FileSampleRate, 48000u) << name;
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

}  // namespace
}  // namespace tarnovox
