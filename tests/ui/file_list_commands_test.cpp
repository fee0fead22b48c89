// Rename and delete from the file list while F5 starts a recording behind the
// open dialog: the real recorder, capture engine and recordings list on a
// virtual-time capture device, in a temporary output folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "recordings/recordings_list.h"
#include "platform/drive_info.h"
#include "tests/support/fake_capture_stream.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorder_rig.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/sound_check.h"
#include "ui/file_list_commands.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using namespace tarnovox::testing;

constexpr size_t kBufferBytes = 17640;  // 100 ms of 44100 Hz 16-bit stereo

// The output folder is the working folder, as in the program, so the list's
// bare names resolve there. voice.wav is picked in the list, music.wav is not.
struct TakeRig : RecorderRig<ManualClock, StatfsDriveInfo, RecordingsList> {
  TakeRig() {
    fs::create_directory(dir.File("out"));
    settings.folder = fs::canonical(dir.File("out")).string();
    settings.format = OutputFormat::Wav;
    fs::current_path(settings.folder);
    dir.Write("out/voice.wav", 3000);
    dir.Write("out/music.wav", 2000);
    engine.OpenMonitoring("");
    recordings.Rescan();
    recordings.ApplySort();
    for (int row = 1; row <= recordings.Count; ++row)
      if (recordings.RowFile(row) == "voice.wav") commands.PickRow(row);
  }
  ~TakeRig() { fs::current_path(previous); }

  // The take after Stop: a plain header that ffprobe reads and every frame
  // captured in 30 ticks, in order.
  void ExpectWholeTake() {
    const std::string take = settings.folder + "/record1.wav";
    const std::vector<uint8_t> file = dir.Read("out/record1.wav");
    ASSERT_EQ(file.size(), 44 + 30 * kBufferBytes);
    const std::string header = WavBytes(2, 44100, 16, std::vector<uint32_t>(30 * kBufferBytes / 4)).substr(0, 44);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 44), header);
    EXPECT_EQ(Probe("stream=sample_rate,channels,duration_ts", take), "44100,2,132300");
    EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(file, FakeCaptureStream::CounterOf16BitStereo(&file[44])), 30 * kBufferBytes / 4);
  }

  fs::path previous = fs::current_path();
  ScriptedUiHooks hooks;
  FileListCommands commands{state, recordings, playback, hooks};
};

// F5 handled while the question is open, or while the message is open that
// the file could not be deleted (another program removed it during the question).
TEST(FileListCommands, F5WhileDeleteWaitsKeepsTheTakeAndThePickedFile) {
  for (const std::string when : {"question", "failure message"}) {
    TakeRig rig;
    ASSERT_EQ(rig.state.CurrentFile, "voice.wav");
    auto f5 = [&rig] { rig.controller.Execute(RecorderCommand::Record); };
    std::vector<std::string> messages{"Cannot delete the file while recording"};
    std::string files = "music.wav:2000 record1.wav:529244 voice.wav:3000 ";
    if (when == "question") {
      rig.hooks.onAsk = f5;
    } else {
      rig.hooks.onAsk = [&rig] { fs::remove(rig.settings.folder + "/voice.wav"); };
      rig.hooks.onMessage = f5;
      messages = {"Cannot delete file \"voice.wav\". No such file or directory"};
      files = "music.wav:2000 record1.wav:529244 ";
    }
    rig.hooks.answers = {true};

    rig.commands.DeleteCurrentFile();

    EXPECT_EQ(rig.hooks.questions, std::vector<std::string>{"Delete File: Are you sure you want to delete voice.wav?"});
    EXPECT_EQ(rig.hooks.messages, messages) << when;
    EXPECT_EQ(rig.state.CurrentFile, rig.settings.folder + "/record1.wav") << when;
    EXPECT_EQ(rig.state.ActiveFileName, "record1.wav");
    rig.Ticks(30);
    rig.controller.StopAll();
    rig.ExpectWholeTake();
    EXPECT_EQ(rig.dir.Listing("out"), files) << when;
  }
}

// F5 handled while the rename box is open, the answer a new name ("final") or
// the name of the take it starts ("record1", which a replace would overwrite);
// or while the question whether to replace music.wav is open. The script
// answers Yes to any replace question.
TEST(FileListCommands, F5WhileRenameWaitsRenamesNothing) {
  for (const std::string answer : {"final", "record1", "music"}) {
    TakeRig rig;
    auto f5 = [&rig] { rig.controller.Execute(RecorderCommand::Record); };
    rig.commands.askText = [&rig, answer, f5](const std::string&, const std::string&) {
      if (answer != "music") f5();
      return std::optional<std::string>(answer);
    };
    if (answer == "music") rig.hooks.onAsk = f5;
    rig.hooks.answers = {true};

    rig.commands.RenameCurrentFile();

    EXPECT_EQ(rig.hooks.questions.size(), answer == "music" ? 1u : 0u) << answer;
    EXPECT_EQ(rig.hooks.messages, std::vector<std::string>{"Cannot rename the file while recording"}) << answer;
    EXPECT_EQ(rig.state.CurrentFile, rig.settings.folder + "/record1.wav") << answer;
    rig.Ticks(30);
    rig.controller.StopAll();
    rig.ExpectWholeTake();
    EXPECT_EQ(rig.dir.Listing("out"), "music.wav:2000 record1.wav:529244 voice.wav:3000 ") << answer;
  }
}

// The label file goes with its recording: a rename carries it (replacing the
// stale one of a replaced recording) or, when it cannot, leaves both where they
// were; a delete removes it unless the MP3 converted from the WAV still uses it.
TEST(FileListCommands, RenameAndDeleteCarryTheLabelFile) {
  TakeRig rig;
  const std::string marks = "1.000000\t1.000000\tMark 1\n";
  rig.dir.WriteText("out/voice.labels.txt", marks);
  rig.dir.WriteText("out/music.labels.txt", "9.000000\t9.000000\tstale\n");
  rig.hooks.answers = {true, true, true, true};
  rig.commands.askText = [](const std::string&, const std::string&) { return std::optional<std::string>("music"); };
  rig.commands.RenameCurrentFile();  // over music.wav, agreed
  EXPECT_EQ(rig.dir.Listing("out"), "music.labels.txt:25 music.wav:3000 ");
  EXPECT_EQ(rig.dir.ReadText("out/music.labels.txt"), marks);

  fs::create_directory(rig.dir.File("out/final.labels.txt"));  // the label file cannot go there
  rig.commands.askText = [](const std::string&, const std::string&) { return std::optional<std::string>("final"); };
  rig.commands.RenameCurrentFile();
  EXPECT_EQ(rig.hooks.messages, std::vector<std::string>{"Cannot rename file \"music.wav\". Is a directory"});
  EXPECT_EQ(rig.dir.ReadText("out/music.labels.txt"), marks);
  EXPECT_TRUE(fs::exists(rig.dir.File("out/music.wav")));
  EXPECT_FALSE(fs::exists(rig.dir.File("out/final.wav")));

  rig.dir.Write("out/music.mp3", 1000);  // converted from music.wav: the same label file
  rig.state.CurrentFile = "music.wav";
  rig.commands.DeleteCurrentFile();
  EXPECT_EQ(rig.dir.ReadText("out/music.labels.txt"), marks);
  rig.state.CurrentFile = "music.mp3";
  rig.commands.DeleteCurrentFile();
  EXPECT_FALSE(fs::exists(rig.dir.File("out/music.labels.txt")));
}

}  // namespace
}  // namespace tarnovox
