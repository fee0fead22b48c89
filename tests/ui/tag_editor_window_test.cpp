// The tag editor window driven through its fields and buttons: filling from a
// file's tag, when Save turns on, what a save writes (read back by ffprobe),
// the refusals, a failed save that must leave the file alone, and closing.
#include <signal.h>
#include <sys/resource.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "tests/support/sound_check.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/skin_button.h"
#include "ui/tag_editor_window.h"

namespace tarnovox {
namespace {

class SettableDrive : public DriveInfo {
 public:
  bool IsCdRom(const std::string&) const override { return cdrom; }
  bool cdrom = false;
};

// 2000 bytes starting with an MPEG-1 joint-stereo frame header, optionally
// ending with a tag (title, then fixed artist, album, year, the comment, genre).
std::string Mp3Bytes(const std::string& title = {}, const std::string& comment = {}, uint8_t genre = 0) {
  std::string bytes(2000, '\0');
  bytes.replace(0, 4, "\xff\xfb\x90\x44", 4);
  if (title.empty()) return bytes;
  std::string tag = "TAG" + title;
  tag.resize(33, '\0');
  tag += std::string("Artist") + std::string(24, '\0') + "Album" + std::string(25, '\0') + "1999" + comment;
  tag.resize(127, '\0');
  return bytes.replace(bytes.size() - 128, 128, tag + static_cast<char>(genre));
}

class TagEditorWindowTest : public ::testing::Test, public testing::UiRig {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    temp.WriteText(name, bytes);
    return temp.File(name);
  }
  // What the file list does when a row is picked.
  void Pick(const std::string& file) {
    state.PickedFile = state.CurrentFile = file;
    editor.ClearFields();
    if (file.ends_with(".mp3")) editor.DescribePickedMp3();
    if (file.ends_with(".flac") || file.ends_with(".opus")) editor.DescribePickedVorbis();
    editor.DisableSave();
  }
  QLineEdit* Field(const char* name) const { return testing::Child<QLineEdit>(editor, name); }
  QComboBox* GenreBox() const { return testing::Child<QComboBox>(editor, "genreBox"); }
  SkinButton* Button(const char* name) const { return testing::Child<SkinButton>(editor, name); }
  QString Fields() const {
    return QStringList{Field("titleEdit")->text(), Field("artistEdit")->text(), Field("albumEdit")->text(),
                       Field("yearEdit")->text(), Field("commentEdit")->text(), GenreBox()->currentText()}
        .join("|");
  }

  SettableDrive drive;
  TagEditorWindow editor{settings, state, drive, playback, recordings, ui};
};

TEST_F(TagEditorWindowTest, FieldsComeFromTheTagAndSaveTurnsOnOnlyForMp3Edits) {
  Pick(Write("a.mp3", Mp3Bytes("Caf\xe9 Song", std::string(30, 'c'), 17)));
  EXPECT_EQ(Fields(), QString::fromUtf8("Café Song|Artist|Album|1999|") + QString(29, 'c') + "|Rock");
  EXPECT_EQ(editor.Text(TagField::EditTitle), "Caf\xe9 Song");
  EXPECT_FALSE(Button("saveButton")->isEnabled());
  Field("yearEdit")->setText("2001");
  EXPECT_TRUE(Button("saveButton")->isEnabled());
  // A genre byte past the table leaves the box empty; the previous file's texts are gone.
  Pick(Write("b.mp3", Mp3Bytes("B", "", 148)));
  EXPECT_EQ(Fields(), "B|Artist|Album|1999||");
  Pick(Write("c.wav", std::string(2000, '\0')));
  EXPECT_EQ(Fields(), "|||||");
  Field("titleEdit")->setText("typed");
  EXPECT_FALSE(Button("saveButton")->isEnabled());
}

TEST_F(TagEditorWindowTest, SaveWritesCutFieldsThatFfprobeReads) {
  const std::string file = temp.File("tone.mp3");
  ASSERT_EQ(testing::RunCommand("sox -n -r 44100 -c 2 t.wav synth 0.5 sine 440 && lame --quiet t.wav " + file +
                                " && echo ok"), "ok\n");
  Pick(file);
  const auto size = std::filesystem::file_size(file);
  playback.deviceOpen = true;
  state.mode = RecorderMode::Playing;
  Field("titleEdit")->setText(QString(40, 'T'));
  Field("artistEdit")->setText("Tester");
  Field("yearEdit")->setText("20245");
  Field("commentEdit")->setText(QString(30, 'c'));
  GenreBox()->setEditText("Acid Jazz");
  QTest::mouseClick(Button("saveButton"), Qt::LeftButton);
  EXPECT_EQ(playback.Count("ClosePlayback"), 1);
  EXPECT_EQ(recordings.calls, (std::vector<std::string>{"Rescan", "ApplySort"}));
  EXPECT_EQ(std::filesystem::file_size(file), size + 128);
  EXPECT_EQ(testing::RunCommand("ffprobe -v error -show_entries format_tags=title,artist,date,comment,genre "
                                "-of default=noprint_wrappers=1 " + file),
            "TAG:title=" + std::string(30, 'T') + "\nTAG:artist=Tester\nTAG:date=2024\nTAG:comment=" +
                std::string(30, 'c') + "\nTAG:genre=Acid Jazz\n");
  EXPECT_TRUE(ui.messages.empty());
  Pick(file);  // read back: the comment's last byte is not, unused bytes are no text
  EXPECT_EQ(Fields(), QString(30, 'T') + "|Tester||2024|" + QString(29, 'c') + "|Acid Jazz");
}

// FLAC and Opus hold the six fields as Vorbis comments: what is typed is what
// mutagen reads, the FLAC's sound decodes bit for bit as before, and a file
// that only has the extension is refused with a message.
TEST_F(TagEditorWindowTest, FlacAndOpusCommentsTypedInTheEditorAreReadBackByMutagen) {
  const std::string reader =
      "/usr/bin/python3 -c 'import sys, mutagen; f = mutagen.File(sys.argv[1]); "
      "print(\"|\".join(f.get(k, [\"-\"])[0] for k in (\"title\", \"artist\", \"album\", \"date\", "
      "\"comment\", \"genre\")))' ";
  for (const std::string name : {"noise.flac", "noise.opus"}) {
    SCOPED_TRACE(name);
    const std::string file = temp.File(name);
    testing::RunCommand("ffmpeg -v error -f lavfi -i anoisesrc=d=2:r=48000 -ac 2 -metadata TITLE=Old '" + file + "'");
    const std::string soundBefore = testing::RunCommand("ffmpeg -v error -i '" + file + "' -f md5 -");
    Pick(file);
    EXPECT_EQ(Fields(), "Old|||||");
    EXPECT_EQ(state.FileSampleRate, 48000u);
    Field("titleEdit")->clear();
    QTest::keyClicks(Field("titleEdit"), "Caf");
    QKeyEvent eAcute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));  // not ASCII: no keyClicks
    QCoreApplication::sendEvent(Field("titleEdit"), &eAcute);
    QTest::keyClicks(Field("titleEdit"), " Title");
    QTest::keyClicks(Field("artistEdit"), "The Tester");
    QTest::keyClicks(Field("albumEdit"), "Album  Two");
    QTest::keyClicks(Field("yearEdit"), "2026");
    QTest::keyClicks(Field("commentEdit"), QString(300, 'c'));
    GenreBox()->setEditText("Acid Jazz");
    QTest::mouseClick(Button("saveButton"), Qt::LeftButton);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_EQ(testing::RunCommand(reader + "'" + file + "'"),
              "Caf\u00e9 Title|The Tester|Album  Two|2026|" + std::string(300, 'c') + "|Acid Jazz\n");
    if (name.ends_with(".flac")) {
      EXPECT_EQ(testing::RunCommand("ffmpeg -v error -i '" + file + "' -f md5 -"), soundBefore);
    }
    Pick(file);
    EXPECT_EQ(Fields(), QString::fromUtf8("Caf\u00e9 Title|The Tester|Album  Two|2026|") + QString(300, 'c') +
                            "|Acid Jazz");
    Field("albumEdit")->clear();  // an emptied field removes its comment
    QTest::mouseClick(Button("saveButton"), Qt::LeftButton);
    EXPECT_EQ(testing::RunCommand(reader + "'" + file + "'"),
              "Caf\u00e9 Title|The Tester|-|2026|" + std::string(300, 'c') + "|Acid Jazz\n");
  }
  Pick(Write("fake.flac", std::string(5000, 'x')));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Cannot open file \"" + temp.File("fake.flac") + "\". It is not a FLAC file.");
  EXPECT_EQ(Fields(), "|||||");
}

TEST_F(TagEditorWindowTest, RefusedOrFailedSavesLeaveTheFilesAsTheyWere) {
  Pick(Write("a.mp3", Mp3Bytes()));
  Field("titleEdit")->setText("x");
  state.mode = RecorderMode::Recording;
  EXPECT_FALSE(editor.SaveTag());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Cannot save the tag while recording"}));
  state.mode = RecorderMode::Monitoring;
  drive.cdrom = true;
  EXPECT_FALSE(editor.SaveTag());
  EXPECT_EQ(ui.messages.back(), "Cannot save to CDROM drive");
  drive.cdrom = false;
  // Save still on from the MP3 while the current file became a WAV.
  state.CurrentFile = Write("b.wav", std::string(2000, 'w'));
  EXPECT_FALSE(editor.SaveTag());
  EXPECT_TRUE(temp.ReadText("a.mp3") == Mp3Bytes()) << "the MP3 changed";
  EXPECT_TRUE(temp.ReadText("b.wav") == std::string(2000, 'w')) << "the WAV changed";

  // A failed save shows why and leaves the file as it was: the size limit
  // lets 50 of the 128 tag bytes through.
  Pick(Write("full.mp3", Mp3Bytes()));
  Field("titleEdit")->setText("x");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limited{Mp3Bytes().size() + 50, saved.rlim_max};
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  const bool savedOk = editor.SaveTag();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(savedOk);
  EXPECT_EQ(ui.messages.back(), "Stream write error");
  EXPECT_TRUE(temp.ReadText("full.mp3") == Mp3Bytes()) << "the file's bytes changed";
  EXPECT_TRUE(recordings.calls.empty());
}

TEST_F(TagEditorWindowTest, CloseButtonHidesAndOneToggleShowsAgain) {
  editor.ToggleAt(QPoint(300, 40));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  QTest::mouseClick(Button("closeButton"), Qt::LeftButton);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(editor.Shown());
  editor.ToggleAt(QPoint(310, 50));
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(editor.pos(), QPoint(310, 50));
  editor.ToggleAt(QPoint(310, 50));
  EXPECT_FALSE(editor.isVisible());
  // Escape in a field closes it too.
  editor.ToggleAt(QPoint(310, 50));
  QTest::keyClick(Field("yearEdit"), Qt::Key_Escape);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(Field("yearEdit")->accessibleName(), "Year");
}

TEST_F(TagEditorWindowTest, TabGoesDownTheSixFieldsThenSaveAndCloseMarkingEachField) {
  editor.ToggleAt(QPoint(300, 40));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  Pick(Write("a.mp3", Mp3Bytes()));
  Field("yearEdit")->setText("2001");  // Save takes the keyboard only while it can save
  const QStringList visited = testing::TabVisits(editor, Field("titleEdit"), 8);
  EXPECT_EQ(visited.join(" ").toStdString(),
            "titleEdit albumEdit genreBox artistEdit commentEdit yearEdit saveButton closeButton titleEdit");
  // The mark runs along the genre box's slot, two pixels outside it, after Tab only.
  GenreBox()->setFocus(Qt::TabFocusReason);
  EXPECT_GE(testing::SilverPixels(editor.grab().toImage(), 119, 13, 237), 70);
  Field("titleEdit")->setFocus(Qt::MouseFocusReason);
  GenreBox()->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(testing::SilverPixels(editor.grab().toImage(), 119, 13, 237), 0);
}

}  // namespace
}  // namespace tarnovox
