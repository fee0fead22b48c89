// Checks against independent tools: files made by sox and lame, described as
// ffprobe describes them. Skips when the tools are missing.
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
    int rate, channels;
    const char* mode;
  } cases[] = {{44100, 2, "s"}, {48000, 2, "j"}, {32000, 1, "m"}, {22050, 2, "j"}, {24000, 1, "m"},
               {16000, 2, "s"}, {11025, 2, "s"}, {12000, 2, "j"}, {8000, 1, "m"}};
  RecorderState state;
  PlainTagEditor editor;
  ScriptedUiHooks ui;
  for (const Case& c : cases) {
    const auto mp3 = MakeMp3(folder, c.rate, c.channels, c.mode);
    ASSERT_FALSE(mp3.empty()) << c.rate;
    state.PickedFile = mp3.string();
    state.FileSampleRate = 0;
    state.FileChannels = 0;
    Mp3FileTags(state, editor, ui).DescribeMp3File();
    EXPECT_EQ(state.FileSampleRate, static_cast<uint32_t>(c.rate)) << mp3;
    EXPECT_EQ(state.FileChannels, c.channels) << mp3;
    // ffprobe agrees on what lame made.
    EXPECT_EQ(testing::Probe("stream=sample_rate,channels", mp3.string()),
              std::to_string(c.rate) + "," + std::to_string(c.channels));
  }
}

}  // namespace
}  // namespace tarnovox
