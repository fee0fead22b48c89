// Checks against independent tools: files made by sox and lame, tags read back
// by ffprobe and mutagen. Each test skips when its tools are missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tags/mp3_file_tags.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::PlainTagEditor;
using testing::RunCommand;
using testing::ScriptedUiHooks;
using testing::TempFolder;

bool HaveTools(const std::string& names) {
  return std::system(("for t in " + names + "; do command -v $t >/dev/null || exit 1; done").c_str()) == 0;
}

// The system's python with mutagen, which a user-installed python may lack.
std::string MutagenPython() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    if (std::system((std::string(python) + " -c 'import mutagen' 2>/dev/null").c_str()) == 0) return python;
  }
  return {};
}

// A two-second tone encoded by lame at the given rate and channel mode.
std::filesystem::path MakeMp3(const TempFolder& folder, int rate, int channels, const char* mode) {
  const std::string stem = std::to_string(rate) + mode;
  const auto wav = folder / (stem + ".wav");
  const auto mp3 = folder / (stem + ".mp3");
  char khz[16];
  std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
  const std::string command = "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " +
                              wav.string() + " synth 2 sine 440 && lame --quiet -m " + mode + " --resample " + khz +
                              " -b 32 " + wav.string() + " " + mp3.string() + " && echo ok";
  return RunCommand(command) == "ok\n" ? mp3 : std::filesystem::path();
}

TEST(Mp3Tools, RateAndChannelsOfLameFiles) {
  if (!HaveTools("sox lame ffprobe")) GTEST_SKIP() << "sox, lame or ffprobe missing";
  TempFolder folder;
  struct Case {
    int rate, inputChannels;
    const char* mode;
    uint16_t channels;
  } cases[] = {{44100, 2, "s", 2}, {48000, 2, "j", 2}, {32000, 1, "m", 1}, {22050, 2, "j", 2},
               {24000, 1, "m", 1}, {16000, 2, "s", 2}, {11025, 2, "s", 2}, {12000, 2, "j", 2}, {8000, 1, "m", 1}};
  for (const Case& c : cases) {
    const auto mp3 = MakeMp3(folder, c.rate, c.inputChannels, c.mode);
    ASSERT_FALSE(mp3.empty()) << c.rate;
    RecorderState state;
    PlainTagEditor editor;
    ScriptedUiHooks ui;
    state.PickedFile = mp3.string();
    Mp3FileTags(state, editor, ui).DescribeMp3File();
    EXPECT_EQ(state.FileSampleRate, static_cast<uint32_t>(c.rate)) << mp3;
    EXPECT_EQ(state.FileChannels, c.channels) << mp3;
    // ffprobe agrees on what lame made.
    EXPECT_EQ(testing::Probe("stream=sample_rate,channels", mp3.string()),
              std::to_string(c.rate) + "," + std::to_string(c.channels));
  }
}

TEST(Mp3Tools, WrittenTagsReadBackByFfprobeAndMutagen) {
  if (!HaveTools("sox lame ffprobe")) GTEST_SKIP() << "sox, lame or ffprobe missing";
  const std::string python = MutagenPython();
  if (python.empty()) GTEST_SKIP() << "python3-mutagen missing";
  TempFolder folder;
  const auto mp3 = MakeMp3(folder, 44100, 2, "j");
  ASSERT_FALSE(mp3.empty());
  RecorderState state;
  PlainTagEditor editor;
  ScriptedUiHooks ui;
  Mp3FileTags tags(state, editor, ui);
  state.CurrentFile = mp3.string();
  editor.texts = {{TagField::EditTitle, "Night Tone"},        {TagField::EditArtist, "The Testers"},
                  {TagField::EditAlbum, "Tones"},               {TagField::EditYear, "2023"},
                  {TagField::EditComment, "made by the tests"}, {TagField::CmbBoxGenre, "Acid Jazz"}};
  ASSERT_TRUE(tags.WriteId3v1Tag());
  EXPECT_EQ(RunCommand("ffprobe -v error -show_entries format_tags=title,artist,album,date,comment,genre "
                       "-of default=noprint_wrappers=1 " + mp3.string()),
            "TAG:title=Night Tone\nTAG:artist=The Testers\nTAG:album=Tones\nTAG:date=2023\n"
            "TAG:comment=made by the tests\nTAG:genre=Acid Jazz\n");

  // Saved again with a Latin-1 title: the tag is replaced, not added, and
  // mutagen (which reads the tag as Latin-1) gets the accented letter back.
  const auto size = std::filesystem::file_size(mp3);
  editor.texts[TagField::EditTitle] = "Caf\xe9 Night";
  ASSERT_TRUE(tags.WriteId3v1Tag());
  EXPECT_EQ(std::filesystem::file_size(mp3), size);
  const std::string script =
      "import sys, mutagen.mp3\n"
      "t = mutagen.mp3.MP3(sys.argv[1]).tags\n"
      "print(t['TIT2'], t['TPE1'], t['TALB'], t['TDRC'], t.getall('COMM')[0], t['TCON'].genres[0], sep='|')\n";
  EXPECT_EQ(RunCommand(python + " -c \"" + script + "\" " + mp3.string()),
            "Caf\xc3\xa9 Night|The Testers|Tones|2023|made by the tests|Acid Jazz\n");
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tarnovox
