// A folder of damaged, odd and unusable files: each is listed, selected and
// played on the real sound server, and every step answers: a file plays or the
// user is told why. Converting the listed ones is the program scenario's
// ("hostile", with the real encoder).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <random>

#include "formats/wave_format.h"
#include "recordings/playback.h"
#include "recordings/recordings_list.h"
#include "platform/pulse_connection.h"
#include "platform/pulse_output_volume.h"
#include "platform/pulse_player.h"
#include "tags/mp3_file_tags.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/sink_capture.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {


TEST(HostileFolder, EveryFileIsListedSelectedAndPlayedOrRefusedWithAMessage) {
  if (!testing::SoundServerAvailable()) GTEST_SKIP() << "needs the e2e rig's sound server (PULSE_SERVER)";
  testing::TempFolder dir;
  const std::string d = dir.Path() + "/";
  testing::RunCommand("cd " + d + " && sox -n -r 44100 -c 2 -b 16 good.wav synth 1 sine 440"
                      " && lame --quiet good.wav s.mp3"
                      " && sox -n -r 22050 -c 1 -b 16 m.wav synth 1 sine 900 && lame --quiet m.wav m.mp3"
                      " && cat s.mp3 m.mp3 > glued.mp3 && rm m.wav m.mp3");
  const std::string wav = dir.ReadText("good.wav"), mp3 = dir.ReadText("s.mp3");
  std::mt19937 random(7);
  std::string noise(6000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  for (const char* name : {"noise.mp3", "noise.wav", "noise.wma"}) dir.WriteText(name, noise);
  for (size_t n = 0; n <= 60; ++n) {
    dir.WriteText("cut" + std::to_string(n) + ".wav", wav.substr(0, n));
    dir.WriteText("cut" + std::to_string(n) + ".mp3", mp3.substr(0, n));
  }
  auto patched = [&](std::string bytes, size_t at, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes;
  };
  dir.WriteText("4gib.wav", patched(patched(wav, 4, 0xFFFFFFFFu, 4), 40, 0xFFFFFFFFu, 4));
  dir.WriteText("0ch.wav", patched(wav, 22, 0, 2));
  dir.WriteText("locked.wav", wav);
  ::chmod(dir.File("locked.wav").c_str(), 0);
  dir.WriteText("bad\xFF\xFE.wav", wav);
  dir.WriteText("new\nline.mp3", mp3);
  ASSERT_EQ(::mkfifo(dir.File("pipe.wav").c_str(), 0600), 0);

  RecordSettings settings;
  settings.folder = dir.Path();
  RecorderState state;
  testing::ScriptedUiHooks hooks;
  RecordingsList list(state, settings);
  list.Rescan();
  std::vector<std::string> rows;
  for (int row = 1; !list.RowFile(row).empty(); ++row) rows.push_back(list.RowFile(row));
  EXPECT_EQ(rows.size(), 3u + 122u + 8u) << "every regular file, none of them deleted";
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "pipe.wav"), 0) << "a FIFO is not a recording";
  rows.push_back("pipe.wav");  // reached by its name all the same

  PulseConnection connection;
  PulseOutputVolume volume(connection);
  PulsePlayer player(connection, volume);
  Playback playback(player, volume, state, hooks);
  testing::PlainTagEditor editor;
  Mp3FileTags tags(state, editor, hooks);

  // A step that hangs (a FIFO waited on) runs into the test's time limit.
  size_t played = 0, told = 0;
  for (const std::string& name : rows) {
    SCOPED_TRACE(name);
    state.PickedFile = state.CurrentFile = d + name;
    state.FileChannels = 2;
    const bool isMp3 = name.ends_with(".mp3");
    isMp3 ? tags.DescribeMp3File() : void(ReadWaveInfo(state));
    EXPECT_TRUE(state.FileChannels == 1 || state.FileChannels == 2);
    const size_t messages = hooks.messages.size();
    playback.StartPlayback();
    // Playing, or not playing and the user was told why.
    played += playback.PlaybackOpen();
    told += hooks.messages.size() > messages;
    EXPECT_NE(playback.PlaybackOpen(), hooks.messages.size() > messages);
    playback.PollPlayback();
    playback.ClosePlayback();
  }
  EXPECT_GE(played, 5u) << "the whole files play";
  std::cout << rows.size() << " files, " << played << " played, " << told << " refused with a message\n";
}

}  // namespace
}  // namespace tarnovox
