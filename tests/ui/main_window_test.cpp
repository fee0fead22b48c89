// The main window driven by mouse events as a user would: the picture buttons'
// guards, press offset and hover pictures, the labels of the status tick and
// the close query.
#include <gtest/gtest.h>

#include "tests/ui/ui_fixtures.h"
#include "ui/main_window.h"

namespace tarnovox {
namespace {

using testing::Click;

class TForm1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FillBank(bank);
    form.SetImageBank(&bank);
    form.hooks.record = [this] { ++records; };
    form.hooks.play = [this] { ++plays; };
    form.hooks.closeQuery = [] { return false; };  // every Close is refused
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }
  bool Shows(SkinButton* button, const char* picture) const {
    return button->pixmap().cacheKey() == bank.Picture(picture).cacheKey();
  }

  RecordSettings settings;
  RecorderState state;
  TForm4 bank;
  TForm1 form{settings, state};
  int records = 0;
  int plays = 0;
};

TEST_F(TForm1Test, RecordIgnoredWhilePlayingAndPlayWhileRecording) {
  for (SkinButton* button : {form.ImageRecord, form.ImagePlay}) {
    state.playing = button == form.ImageRecord;
    state.recording = !state.playing;
    const QPoint place = button->pos();
    QTest::mouseMove(button, button->rect().center());
    EXPECT_TRUE(Shows(button, button == form.ImageRecord ? "ImageRecord1" : "ImagePlay1"));
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place);
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place);
  }
  EXPECT_EQ(records + plays, 0);
  state.recording = false;
  Click(form.ImageRecord);
  Click(form.ImagePlay);
  EXPECT_EQ(records, 1);
  EXPECT_EQ(plays, 1);
}

TEST_F(TForm1Test, PressMovesOnePixelAndReleaseMovesBack) {
  for (SkinButton* button : {form.ImageFolder, form.ImageSetting, form.Imagehelp, form.ImageInfo,
                             form.ImageControl, form.ImageRecord, form.ImagePause, form.ImageStop,
                             form.ImagePlay, form.ImageShowHide}) {
    const QPoint place = button->pos();
    QTest::mousePress(button, Qt::RightButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place + QPoint(1, 1)) << button->objectName().toStdString();
    QTest::mouseRelease(button, Qt::RightButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place) << button->objectName().toStdString();
  }
  // A recording started between press and release must not leave Record displaced.
  const QPoint place = form.ImageRecord->pos();
  QTest::mousePress(form.ImageRecord, Qt::LeftButton, {}, form.ImageRecord->rect().center());
  state.recording = true;
  QTest::mouseRelease(form.ImageRecord, Qt::LeftButton, {}, form.ImageRecord->rect().center());
  EXPECT_EQ(form.ImageRecord->pos(), place);
  EXPECT_EQ(records, 1);
}

TEST_F(TForm1Test, HoverPicturesStayUntilThePointerCrossesTheBackground) {
  QTest::mouseMove(form.ImageSetting, form.ImageSetting->rect().center());
  QTest::mouseMove(form.ImageStop, form.ImageStop->rect().center());
  EXPECT_TRUE(Shows(form.ImageStop, "ImageStop2"));
  EXPECT_TRUE(Shows(form.ImageSetting, "ImageSetting2"));
  QTest::mouseMove(&form, QPoint(200, 150));
  EXPECT_TRUE(Shows(form.ImageSetting, "ImageSetting1"));
  EXPECT_TRUE(Shows(form.ImageStop, "ImageStop1"));

  Click(form.ImageShowHide);
  EXPECT_TRUE(form.ListShown);
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageHide2"));
  form.ResetButtonPictures();
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageHide1"));
  Click(form.ImageShowHide);
  EXPECT_FALSE(form.ListShown);
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageShow2"));
}

// That Close closes when the query allows it, the program scenario "close"
// shows; a refused Close is the companions test's.
TEST_F(TForm1Test, FolderButtonSwitchesOnlyOnARealChange) {
  int switches = 0;
  std::string chosen;
  form.hooks.outputFolder = [&] { settings.Folder = chosen; };
  form.hooks.changeOutputFolder = [&] { ++switches; };
  for (const char* choice : {"/music", "", "/Music"}) {
    chosen = choice;
    settings.Folder = "/music";
    Click(form.ImageFolder);
  }
  EXPECT_EQ(switches, 1);  // only the other letter case counts
  state.recording = true;
  chosen = "/elsewhere";
  Click(form.ImageFolder);
  EXPECT_EQ(settings.Folder, "/Music");
}

// Where the file list and the tag editor go with the main window, and that
// Close takes them along, the program scenario "companions" shows; here the
// Min button, a companion that was hidden, and a refused Close.
TEST_F(TForm1Test, CompanionsMinimizeAndRestoreWithTheMainWindowButAHiddenOneStaysHidden) {
  QWidget fileList(nullptr, Qt::Tool), hidden(nullptr, Qt::Tool);
  form.SetFileList(&fileList, nullptr);
  form.AddCompanion(&hidden);
  fileList.show();
  Click(form.ImageMin);
  EXPECT_TRUE(state.Minimized);
  EXPECT_FALSE(fileList.isVisible());
  form.showNormal();
  EXPECT_FALSE(state.Minimized);
  EXPECT_TRUE(fileList.isVisible());
  EXPECT_FALSE(hidden.isVisible());
  Click(form.ImageClose);  // refused: everything stays
  EXPECT_TRUE(fileList.isVisible() && form.isVisible());
}

// The texts and places themselves are StatusDisplay's; here only that the
// window shows them.
TEST_F(TForm1Test, StatusTickLabelsAndMinimizedTitle) {
  state.recording = true;
  state.CurrentBaseName = "record3";
  state.DisplayedMs = 65000;
  form.UpdateTimeDisplay();
  state.Minimized = true;
  form.StatusTick();
  EXPECT_EQ(form.windowTitle(), "record3-00:01:05");
  EXPECT_EQ(form.Labels.LabTime0->text(), "00:01:05");
  settings.Mode = 1;
  form.UpdateFormatLabels();
  EXPECT_EQ(form.Labels.LabStereo->text(), "joint stereo");
  EXPECT_EQ(form.Labels.LabStereo->pos(), QPoint(224, 48));
}

}  // namespace
}  // namespace tarnovox
