#include "tags/id3v1_tag.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tags/genre_names.h"
#include "tags/mpeg_frame_header.h"

namespace tarnovox {
namespace {

std::string Bytes(const Id3v1Tag& tag, size_t offset, size_t count) {
  return std::string(reinterpret_cast<const char*>(tag.data() + offset), count);
}

TEST(Id3v1Tag, FieldsAreCutToTheirWidthsAndReadBackUpToTheFirstZero) {
  Id3v1Fields fields{std::string(30, 'T') + "cut", "Ann", "Caf\xe9", "99", "123456789012345678901234567890",
                     "Rock & Roll"};
  const Id3v1Tag tag = BuildId3v1Tag(fields);

  EXPECT_EQ(Bytes(tag, 0, 3), "TAG");
  EXPECT_EQ(Bytes(tag, 3, 30), std::string(30, 'T'));
  EXPECT_EQ(Bytes(tag, 33, 30), "Ann" + std::string(27, '\0'));
  EXPECT_EQ(Bytes(tag, 93, 4), std::string("99\0\0", 4));
  EXPECT_EQ(Bytes(tag, 97, 30), fields.Comment);
  EXPECT_EQ(tag[127], 78);

  const Id3v1Fields back = ReadId3v1Tag(tag);
  EXPECT_EQ(back.Title, std::string(30, 'T'));
  EXPECT_EQ(back.Album, "Caf\xe9");
  EXPECT_EQ(back.Year, "99");
  EXPECT_EQ(back.Comment, "12345678901234567890123456789");  // 29 of the 30 come back
  EXPECT_EQ(back.Genre, "Rock & Roll");

  // Genres match exactly, letter case included; unknown names store 255,
  // which reads back as no genre, like every byte from 148 on.
  for (const char* name : {"rock", "ROCK", "Rock ", ""}) {
    fields.Genre = name;
    EXPECT_EQ(BuildId3v1Tag(fields)[127], kNoGenre) << name;
  }
  Id3v1Tag other = tag;
  other[127] = 148;
  EXPECT_EQ(ReadId3v1Tag(other).Genre, "");
  other[127] = 147;
  EXPECT_EQ(ReadId3v1Tag(other).Genre, "Synthpop");

  ASSERT_EQ(GenreNames.size(), 148u);
  for (size_t i : {0, 14, 40, 67, 100, 127, 136}) EXPECT_EQ(GenreIndex(std::string(GenreNames[i])), i);
}

TEST(MpegFrameHeader, SyncVersionRateAndChannelMode) {
  std::vector<uint8_t> head(3104, 0);
  head[10] = 0xFF;  // 0xFF 0xDF is no sync
  head[11] = 0xDF;
  EXPECT_EQ(FindFrameSync(head.data(), head.size()), std::nullopt);
  head[3100] = 0xFF;
  head[3101] = 0xE0;
  EXPECT_EQ(FindFrameSync(head.data(), head.size()), 3100u);
  EXPECT_EQ(FindFrameSync(head.data(), 3103), std::nullopt);  // header would run past the bytes read
  head[3100] = 0;
  head[3101] = 0xFF;
  head[3102] = 0xFB;
  EXPECT_EQ(FindFrameSync(head.data(), head.size()), std::nullopt);  // 3101 is past the last position

  struct Case {
    uint8_t b1, b2, b3;
    uint32_t rate;
    uint16_t channels;
  } cases[] = {
      {0xFB, 0x90, 0x00, 44100, 2}, {0xFB, 0x94, 0x40, 48000, 2}, {0xFB, 0x98, 0x80, 32000, 2},
      {0xF3, 0x90, 0xC0, 22050, 1}, {0xE3, 0x90, 0xC4, 11025, 1}, {0xE3, 0x98, 0x00, 8000, 2},
      {0xFB, 0x9C, 0x00, 0, 2},     {0xEB, 0x94, 0x00, 48000, 2},  // reserved version: divisor 1
  };
  for (const Case& c : cases) {
    const MpegFrameFormat format = ReadFrameFormat(c.b1, c.b2, c.b3);
    EXPECT_EQ(format.SampleRate, c.rate) << std::hex << int(c.b1) << " " << int(c.b2);
    EXPECT_EQ(format.Channels, c.channels) << std::hex << int(c.b3);
  }
}

}  // namespace
}  // namespace tarnovox
