#pragma once
// The file list's conversion with its collaborators as doubles, in a folder of
// its own, over whichever encoder library the test gives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "recordings/list_conversion.h"
#include "tests/support/fake_progress.h"
#include "tests/support/posted_calls.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/small_disk.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

// Bytes that differ at every position, so a shifted or partial copy shows.
inline std::string OldMp3() {
  std::string old(6000, '\0');
  for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<char>(i * 7 + i / 251);
  return old;
}

struct ConversionRig {
  RecordSettings settings;
  RecorderState state;
  ScriptedUiHooks ui;
  FakePlayback playback{state};
  FakeRecordings library;
  FakeProgress progress;
  TempFolder folder;
  std::optional<SmallDisk> disk;  // mounted over the folder when a case fills it
  PostedCalls posted;  // the window thread's share of the job
  ListConversion convert;
  explicit ConversionRig(DynamicLibraryLoader& loader)
      : convert(loader, settings, state, ui, playback, library, progress, posted.Deliver()) {}
  // The command, the job to its end, and what it hands back to the window thread.
  void Run(const std::string& name, ConversionTarget format = ConversionTarget::Mp3) {
    Convert({folder.File(name)}, format);
  }
  void Convert(const std::vector<std::string>& files, ConversionTarget format = ConversionTarget::Mp3) {
    convert.ConvertFiles(files, format);
    convert.Wait();
    posted.RunAll();
  }
  void StartRecording(const std::string& path) {
    state.mode = RecorderMode::Recording;
    state.CurrentFile = path;
  }
  // a.wav of four chunks and, when asked, an old a.mp3; the question is answered Yes.
  void WriteSource(bool oldMp3) {
    folder.WriteText("a.wav", WavBytes(2, 44100, 16, std::vector<int16_t>(2304 * 4, 9)));
    if (oldMp3) folder.WriteText("a.mp3", OldMp3());
    ui.answers = {true};
  }
  // The folder holds a.wav and, byte for byte, the old a.mp3 if there was one: no part file.
  void ExpectUntouched(bool oldMp3) const {
    EXPECT_EQ(Names(), oldMp3 ? std::set<std::string>({"a.wav", "a.mp3"}) : std::set<std::string>({"a.wav"}));
    if (oldMp3) {
      EXPECT_TRUE(folder.ReadText("a.mp3") == OldMp3());
    }
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
};

}  // namespace tarnovox::testing
