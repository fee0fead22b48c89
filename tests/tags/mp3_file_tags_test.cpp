#include "tags/mp3_file_tags.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tags/genre_names.h"
#include "tags/id3v1_tag.h"
#include "tags/mpeg_frame_header.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::PlainTagEditor;
using testing::ScriptedUiHooks;
using testing::TempFolder;

std::string TagBytes(const Id3v1Fields& fields) {
  const Id3v1Tag tag = BuildId3v1Tag(fields);
  return std::string(reinterpret_cast<const char*>(tag.data()), tag.size());
}

struct TagsFixture {
  RecorderState state;
  PlainTagEditor editor;
  ScriptedUiHooks ui;
  Mp3FileTags tags{state, editor, ui};
};

TEST(Mp3FileTags, WriteAppendsOnceThenOverwritesTheTag) {
  TempFolder folder;
  TagsFixture f;
  const std::string audio(2000, '\x55');
  folder.WriteText("a.mp3", audio);
  f.state.CurrentFile = (folder / "a.mp3").string();
  f.editor.texts = {{TagField::EditTitle, "First"}, {TagField::EditYear, "2024"}, {TagField::CmbBoxGenre, "Jazz"}};

  ASSERT_TRUE(f.tags.WriteId3v1Tag());
  EXPECT_EQ(folder.ReadText("a.mp3"), audio + TagBytes({"First", "", "", "2024", "", "Jazz"}));
  f.editor.texts[TagField::EditTitle] = "Second";
  f.editor.texts[TagField::CmbBoxGenre] = "jazz";
  ASSERT_TRUE(f.tags.WriteId3v1Tag());
  const std::string after = folder.ReadText("a.mp3");
  EXPECT_EQ(after, audio + TagBytes({"Second", "", "", "2024", "", ""}));
  EXPECT_EQ(static_cast<uint8_t>(after.back()), kNoGenre);

  // Shorter than a tag, empty included: appended at the end.
  for (size_t size : {0, 3, 127}) {
    folder.WriteText("short.mp3", std::string(size, 'T'));  // even a "TAG" prefix is no tag here
    f.state.CurrentFile = (folder / "short.mp3").string();
    ASSERT_TRUE(f.tags.WriteId3v1Tag());
    EXPECT_EQ(std::filesystem::file_size(folder / "short.mp3"), size + 128);
  }
  EXPECT_TRUE(f.ui.messages.empty());

  // A missing file is not created; the reason is the system's.
  f.state.CurrentFile = (folder / "gone.mp3").string();
  EXPECT_FALSE(f.tags.WriteId3v1Tag());
  EXPECT_FALSE(std::filesystem::exists(folder / "gone.mp3"));
  EXPECT_EQ(f.ui.messages,
            std::vector<std::string>{"Cannot open file \"" + f.state.CurrentFile + "\". No such file or directory"});
}

TEST(Mp3FileTags, DescribeReadsFrameAndTagOfDescribableFilesOnly) {
  TempFolder folder;
  TagsFixture f;
  Id3v1Fields fields{"Title", "Artist", "Album", "1999", std::string(30, 'c'), "Blues"};
  // Junk with a false sync (0xFF 0xDF) before an MPEG-2 mono frame header at
  // the last place a frame is looked for.
  const std::string frame = "\xFF\xF3\x90\xC0";
  std::string audio(3200, '\0');
  audio.replace(100, 2, "\xFF\xDF");
  audio.replace(3100, 4, frame);
  folder.WriteText("tagged.mp3", audio + TagBytes(fields));
  f.state.PickedFile = (folder / "tagged.mp3").string();
  f.tags.DescribeMp3File();
  EXPECT_EQ(f.state.FileSampleRate, 22050u);
  EXPECT_EQ(f.state.FileChannels, 1);
  EXPECT_EQ(f.editor.texts, (std::map<TagField, std::string>{
                                {TagField::EditTitle, "Title"}, {TagField::EditArtist, "Artist"},
                                {TagField::EditAlbum, "Album"}, {TagField::EditYear, "1999"},
                                {TagField::EditComment, std::string(29, 'c')}, {TagField::CmbBoxGenre, "Blues"}}));

  // Files under 1000 bytes and files without a sync where it is looked for are
  // not described at all.
  TagsFixture g;
  g.state.FileSampleRate = 12345;
  g.state.FileChannels = 7;
  folder.WriteText("small.mp3", audio.substr(2600, 999 - 128) + TagBytes(fields));
  folder.WriteText("nosync.mp3", std::string(3101, '\x7F') + frame + std::string(900, '\x7F') + TagBytes(fields));
  folder.WriteText("cut.mp3", std::string(1097, '\x7F') + frame.substr(0, 3));
  for (const char* name : {"small.mp3", "nosync.mp3", "cut.mp3"}) {
    g.state.PickedFile = (folder / name).string();
    g.tags.DescribeMp3File();
    EXPECT_EQ(g.state.FileSampleRate, 12345u) << name;
    EXPECT_EQ(g.state.FileChannels, 7) << name;
    EXPECT_TRUE(g.editor.texts.empty()) << name;
  }

  g.state.PickedFile = (folder / "gone.mp3").string();
  g.tags.DescribeMp3File();
  EXPECT_EQ(g.ui.messages.size(), 1u);
  // A FIFO is refused at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo((folder / "pipe.mp3").c_str(), 0600), 0);
  g.state.PickedFile = (folder / "pipe.mp3").string();
  g.tags.DescribeMp3File();
  EXPECT_EQ(g.ui.messages.back(), "Cannot open file \"" + g.state.PickedFile + "\". Operation not supported");

  g.tags.FillGenreList();
  ASSERT_EQ(g.editor.genreItems.size(), 148u);
  EXPECT_EQ(g.editor.genreItems[147], "Synthpop");
}

// The rates and channel modes lame writes are Mp3Tools' (checked against
// ffprobe); the values no encoder writes are read here.
TEST(MpegFrameHeader, ReservedRateIsZeroAndReservedVersionReadsAsMpeg1) {
  EXPECT_EQ(ReadFrameFormat(0xFB, 0x9C, 0x00).SampleRate, 0u);
  EXPECT_EQ(ReadFrameFormat(0xEB, 0x94, 0x00).SampleRate, 48000u);
}

}  // namespace
}  // namespace tarnovox
