// The tag editor window driven through its fields and buttons: filling from a
// file's tag, when Save turns on, what a save writes (read back by ffprobe),
// the refusals, a failed save that must leave the file alone, and closing.
#include <signal.h>
#include <sys/resource.h>

#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"
#include "ui/tform3.h"

namespace tarnovox {
namespace {

using testing::FakePlayback;
using testing::FakeRecordings;
using testing::ScriptedUiHooks;
using testing::TempFolder;

class SettableDrive : public DriveInfo {
 public:
  bool IsCdRom(const std::string&) const override { return cdrom; }
  bool cdrom = false;
};

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// 2000 bytes starting with an MPEG-1 joint-stereo frame header, optionally
// ending with a tag.
std::string Mp3Bytes(const std::string& tag = {}) {
  std::string bytes(2000, '\0');
  bytes.replace(0, 4, "\xff\xfb\x90\x44", 4);
  if (!tag.empty()) bytes.replace(bytes.size() - 128, 128, tag);
  return bytes;
}

std::string TagBytes(const std::string& title, const std::string& comment, uint8_t genre) {
  std::string tag(128, '\0');
  tag.replace(0, 3, "TAG");
  tag.replace(3, title.size(), title);
  tag.replace(33, 6, "Artist");
  tag.replace(63, 5, "Album");
  tag.replace(93, 4, "1999");
  tag.replace(97, comment.size(), comment);
  tag[127] = static_cast<char>(genre);
  return tag;
}

class TForm3Test : public ::testing::Test {
 protected:
  std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) {
    const auto file = folder / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }
  // What the file list does when a row is picked.
  void Pick(const std::filesystem::path& file) {
    state.PickedFile = state.CurrentFile = file.string();
    form.ClearFields();
    if (file.extension() == ".mp3") form.DescribePickedMp3();
    form.DisableSave();
  }

  TempFolder folder;
  RecordSettings settings;
  RecorderState state;
  SettableDrive drive;
  FakePlayback playback{state};
  FakeRecordings recordings;
  ScriptedUiHooks ui;
  TForm3 form{settings, state, drive, playback, recordings, ui};
};

TEST_F(TForm3Test, FieldsComeFromTheTagAndSaveTurnsOnOnlyForMp3Edits) {
  Pick(WriteFile("a.mp3", Mp3Bytes(TagBytes("Caf\xe9 Song", std::string(30, 'c'), 17))));
  EXPECT_EQ(form.EditTitle->text(), QString::fromUtf8("Café Song"));
  EXPECT_EQ(form.Text(TagField::EditTitle), "Caf\xe9 Song");
  EXPECT_EQ(form.EditArtist->text(), "Artist");
  EXPECT_EQ(form.EditAlbum->text(), "Album");
  EXPECT_EQ(form.EditYear->text(), "1999");
  EXPECT_EQ(form.EditComment->text(), QString(29, 'c'));
  EXPECT_EQ(form.CmbBoxGenre->currentText(), "Rock");
  EXPECT_FALSE(form.ImageSave->isEnabled());
  form.EditYear->setText("2001");
  EXPECT_TRUE(form.ImageSave->isEnabled());

  // A genre byte past the table leaves the box empty; the previous file's
  // texts are gone.
  Pick(WriteFile("b.mp3", Mp3Bytes(TagBytes("B", "", 148))));
  EXPECT_EQ(form.CmbBoxGenre->currentText(), "");
  EXPECT_EQ(form.EditTitle->text(), "B");

  Pick(WriteFile("c.wav", std::string(2000, '\0')));
  EXPECT_EQ(form.EditTitle->text(), "");
  form.EditTitle->setText("typed");
  form.CmbBoxGenre->setEditText("Rock");
  EXPECT_FALSE(form.ImageSave->isEnabled());
}

TEST_F(TForm3Test, GenreListHoldsEveryNameSorted) {
  QStringList items;
  for (int i = 0; i < form.CmbBoxGenre->count(); ++i) items << form.CmbBoxGenre->itemText(i);
  ASSERT_EQ(items.size(), 148);
  EXPECT_TRUE(items.contains("Blues") && items.contains("Synthpop") && items.contains("Rock & Roll"));
  QStringList sorted = items;
  sorted.sort();
  EXPECT_EQ(items, sorted);
  EXPECT_EQ(form.CmbBoxGenre->currentText(), "");
}

TEST_F(TForm3Test, SaveWritesCutFieldsThatFfprobeReads) {
  const auto file = folder / "tone.mp3";
  ASSERT_EQ(testing::RunCommand("sox -n -r 44100 -c 2 " + (folder / "t.wav").string() + " synth 0.5 sine 440 && lame "
                                "--quiet " + (folder / "t.wav").string() + " " + file.string() + " && echo ok"),
            "ok\n");
  Pick(file);
  const auto size = std::filesystem::file_size(file);
  playback.deviceOpen = true;
  state.playing = true;
  ui.onProcessMessages = [this] { EXPECT_FALSE(state.playing); };
  form.EditTitle->setText(QString(40, 'T'));
  form.EditArtist->setText("Tester");
  form.EditYear->setText("20245");
  form.CmbBoxGenre->setEditText("Acid Jazz");
  QTest::mouseClick(form.ImageSave, Qt::LeftButton);

  EXPECT_EQ(playback.Count("ClosePlayback"), 1);
  EXPECT_EQ(recordings.calls, (std::vector<std::string>{"Rescan", "ApplySort"}));
  EXPECT_EQ(std::filesystem::file_size(file), size + 128);
  EXPECT_EQ(testing::RunCommand("ffprobe -v error -show_entries format_tags=title,artist,date,genre "
                                "-of default=noprint_wrappers=1 " + file.string()),
            "TAG:title=" + std::string(30, 'T') + "\nTAG:artist=Tester\nTAG:date=2024\nTAG:genre=Acid Jazz\n");
  EXPECT_TRUE(form.ImageSave->isEnabled());

  // Saved again with a genre in other letter case: same size, genre byte 255.
  form.CmbBoxGenre->setEditText("acid jazz");
  EXPECT_TRUE(form.SaveTag());
  const std::string bytes = ReadAll(file);
  ASSERT_EQ(bytes.size(), size + 128);
  EXPECT_EQ(static_cast<uint8_t>(bytes.back()), 255);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TForm3Test, SaveRefusedWhileRecordingOnCdRomAndForWav) {
  const auto file = WriteFile("a.mp3", Mp3Bytes());
  Pick(file);
  form.EditTitle->setText("x");
  state.recording = true;
  EXPECT_FALSE(form.SaveTag());
  // A recording started by a hot key while pending messages run.
  state.recording = false;
  ui.onProcessMessages = [this] { state.recording = true; };
  EXPECT_FALSE(form.SaveTag());
  EXPECT_EQ(ui.messages, (std::vector<std::string>(2, "Cannot save the tag while recording")));
  ui.onProcessMessages = nullptr;
  state.recording = false;
  drive.cdrom = true;
  EXPECT_FALSE(form.SaveTag());
  EXPECT_EQ(ui.messages.back(), "Cannot save to CDROM drive");
  drive.cdrom = false;
  // Save still on from the MP3 while the current file became a WAV.
  const auto wav = WriteFile("b.wav", std::string(2000, 'w'));
  state.CurrentFile = wav.string();
  EXPECT_FALSE(form.SaveTag());
  EXPECT_TRUE(ReadAll(file) == Mp3Bytes()) << "the MP3 changed";
  EXPECT_TRUE(ReadAll(wav) == std::string(2000, 'w')) << "the WAV changed";
  EXPECT_TRUE(recordings.calls.empty());
}

TEST_F(TForm3Test, FailedSaveShowsWhyAndLeavesTheFileAsItWas) {
  state.CurrentFile = (folder / "gone.mp3").string();
  form.EditTitle->setText("x");
  EXPECT_FALSE(form.SaveTag());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].find("Cannot open file \""), std::string::npos);
  EXPECT_NE(ui.messages[0].find("No such file or directory"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "gone.mp3"));

  // The size limit lets 50 of the 128 tag bytes through.
  const std::string original = Mp3Bytes();
  const auto file = WriteFile("full.mp3", original);
  Pick(file);
  form.EditTitle->setText("x");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = original.size() + 50;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  const bool saved_ok = form.SaveTag();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(ui.messages.back(), "Stream write error");
  const std::string after = ReadAll(file);
  EXPECT_EQ(after.size(), original.size());
  EXPECT_TRUE(after == original) << "the file's bytes changed";
  EXPECT_TRUE(recordings.calls.empty());
}

TEST_F(TForm3Test, CloseButtonHidesAndOneToggleShowsAgain) {
  form.ToggleAt(QPoint(300, 40));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_TRUE(form.Shown());
  EXPECT_EQ(form.pos(), QPoint(300, 40));
  QTest::mouseClick(form.ImageClose, Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Shown());
  form.ToggleAt(QPoint(310, 50));
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.pos(), QPoint(310, 50));
  // Right-button pressing on the background does not drag.
  QTest::mousePress(&form, Qt::RightButton, {}, QPoint(100, 5));
  QTest::mouseMove(&form, QPoint(150, 60));
  QTest::mouseRelease(&form, Qt::RightButton, {}, QPoint(150, 60));
  EXPECT_EQ(form.pos(), QPoint(310, 50));
  form.ToggleAt(QPoint(310, 50));
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace tarnovox
