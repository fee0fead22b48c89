// The main window driven by mouse events as a user would: the picture buttons'
// guards, press offset and hover pictures, the labels of the status tick and
// the close query.
#include <QTest>
#include <gtest/gtest.h>

#include "ui/image_bank.h"
#include "ui/tform1.h"

namespace tarnovox {
namespace {

class TForm1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every bank picture its own colour, so a shown picture names itself.
    int shade = 0;
    for (const char* pair : {"ImageFolder", "ImageSetting", "ImageHelp", "ImageInfo", "ImageMin", "ImageClose",
                             "ImageControl", "ImageRecord", "ImagePause", "ImageStop", "ImagePlay", "ImageShow",
                             "ImageHide"}) {
      for (const char* suffix : {"1", "2"}) {
        QPixmap picture(27, 27);
        picture.fill(QColor(shade, 255 - shade, 7));
        shade += 9;
        bank.SetPicture(QString(pair) + suffix, picture);
      }
    }
    form.SetImageBank(&bank);
    form.hooks.record = [this] { ++records; };
    form.hooks.play = [this] { ++plays; };
    form.hooks.closeQuery = [this] { return allowClose; };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  bool Shows(SkinButton* button, const char* picture) const {
    return button->pixmap().cacheKey() == bank.Picture(picture).cacheKey();
  }
  static QPoint Middle(QWidget* widget) { return widget->rect().center(); }

  RecordSettings settings;
  RecorderState state;
  TForm4 bank;
  TForm1 form{settings, state};
  int records = 0;
  int plays = 0;
  bool allowClose = false;
};

TEST_F(TForm1Test, RecordIgnoredWhilePlayingAndPlayWhileRecording) {
  state.playing = true;
  const QPoint recordPlace = form.ImageRecord->pos();
  QTest::mouseMove(form.ImageRecord, Middle(form.ImageRecord));
  EXPECT_TRUE(Shows(form.ImageRecord, "ImageRecord1"));
  QTest::mousePress(form.ImageRecord, Qt::LeftButton, {}, Middle(form.ImageRecord));
  EXPECT_EQ(form.ImageRecord->pos(), recordPlace);
  QTest::mouseRelease(form.ImageRecord, Qt::LeftButton, {}, Middle(form.ImageRecord));
  EXPECT_EQ(form.ImageRecord->pos(), recordPlace);
  EXPECT_EQ(records, 0);

  state.playing = false;
  state.recording = true;
  const QPoint playPlace = form.ImagePlay->pos();
  QTest::mouseMove(form.ImagePlay, Middle(form.ImagePlay));
  EXPECT_TRUE(Shows(form.ImagePlay, "ImagePlay1"));
  QTest::mouseClick(form.ImagePlay, Qt::LeftButton, {}, Middle(form.ImagePlay));
  EXPECT_EQ(form.ImagePlay->pos(), playPlace);
  EXPECT_EQ(plays, 0);

  state.recording = false;
  QTest::mouseClick(form.ImageRecord, Qt::LeftButton, {}, Middle(form.ImageRecord));
  QTest::mouseClick(form.ImagePlay, Qt::LeftButton, {}, Middle(form.ImagePlay));
  EXPECT_EQ(records, 1);
  EXPECT_EQ(plays, 1);
}

TEST_F(TForm1Test, PressMovesOnePixelAndReleaseMovesBack) {
  for (SkinButton* button : {form.ImageFolder, form.ImageSetting, form.Imagehelp, form.ImageInfo,
                             form.ImageControl, form.ImageRecord, form.ImagePause, form.ImageStop,
                             form.ImagePlay, form.ImageShowHide}) {
    const QPoint place = button->pos();
    QTest::mousePress(button, Qt::RightButton, {}, Middle(button));
    EXPECT_EQ(button->pos(), place + QPoint(1, 1)) << button->objectName().toStdString();
    QTest::mouseRelease(button, Qt::RightButton, {}, Middle(button));
    EXPECT_EQ(button->pos(), place) << button->objectName().toStdString();
  }
  // A recording started between press and release must not leave Record displaced.
  const QPoint place = form.ImageRecord->pos();
  QTest::mousePress(form.ImageRecord, Qt::LeftButton, {}, Middle(form.ImageRecord));
  state.recording = true;
  QTest::mouseRelease(form.ImageRecord, Qt::LeftButton, {}, Middle(form.ImageRecord));
  EXPECT_EQ(form.ImageRecord->pos(), place);
  EXPECT_EQ(records, 1);  // the click before: ImageRecord's press of the loop
}

TEST_F(TForm1Test, HoverPicturesStayUntilThePointerCrossesTheBackground) {
  QTest::mouseMove(form.ImageSetting, Middle(form.ImageSetting));
  EXPECT_TRUE(Shows(form.ImageSetting, "ImageSetting2"));
  QTest::mouseMove(form.ImageStop, Middle(form.ImageStop));
  EXPECT_TRUE(Shows(form.ImageStop, "ImageStop2"));
  EXPECT_TRUE(Shows(form.ImageSetting, "ImageSetting2"));
  QTest::mouseMove(&form, QPoint(200, 150));
  EXPECT_TRUE(Shows(form.ImageSetting, "ImageSetting1"));
  EXPECT_TRUE(Shows(form.ImageStop, "ImageStop1"));

  QTest::mouseMove(form.ImageShowHide, Middle(form.ImageShowHide));
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageShow2"));
  QTest::mouseClick(form.ImageShowHide, Qt::LeftButton, {}, Middle(form.ImageShowHide));
  EXPECT_TRUE(form.ListShown);
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageHide2"));
  form.ResetButtonPictures();
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageHide1"));
  QTest::mouseClick(form.ImageShowHide, Qt::LeftButton, {}, Middle(form.ImageShowHide));
  EXPECT_FALSE(form.ListShown);
  EXPECT_TRUE(Shows(form.ImageShowHide, "ImageShow2"));
}

TEST_F(TForm1Test, OutputFolderButtonSwitchesOnlyOnARealChange) {
  int switches = 0;
  std::string chosen;
  form.hooks.outputFolder = [&] { settings.Folder = chosen; };
  form.hooks.changeOutputFolder = [&] { ++switches; };
  settings.Folder = "/music";
  for (const char* choice : {"/music", "", "/Music"}) {
    chosen = choice;
    settings.Folder = "/music";
    QTest::mouseClick(form.ImageFolder, Qt::LeftButton, {}, Middle(form.ImageFolder));
  }
  EXPECT_EQ(switches, 1);  // only the other letter case counts
  state.recording = true;
  chosen = "/elsewhere";
  QTest::mouseClick(form.ImageFolder, Qt::LeftButton, {}, Middle(form.ImageFolder));
  EXPECT_EQ(settings.Folder, "/Music");
}

TEST_F(TForm1Test, StatusTickLabelsAndMinimizedTitle) {
  settings.Folder = "/" + std::string(55, 'f');
  state.recording = true;
  state.CurrentBaseName = "record3";
  state.ActiveFileName = "record3.wav";
  state.DisplayedMs = 65000;
  form.UpdateTimeDisplay();
  state.Minimized = true;
  form.StatusTick();
  EXPECT_EQ(form.windowTitle(), "record3-00:01:05");
  EXPECT_EQ(form.Labels.LabTime->text(), "00:01:05");
  EXPECT_EQ(form.Labels.LabTime0->text(), "00:01:05");
  EXPECT_EQ(form.Labels.LabStatus->text(), "Recording");
  EXPECT_EQ(form.Labels.LabFile->text(), "record3.wav");
  EXPECT_EQ(form.Labels.LabFolder->text().toStdString(), settings.Folder.substr(0, 55) + "...");
  EXPECT_EQ(form.Labels.LabFolder->toolTip().toStdString(), "Output Folder: " + settings.Folder);
  EXPECT_FALSE(form.Labels.LabStatus0->isVisible());  // the first tick: blink off
  form.StatusTick();
  EXPECT_TRUE(form.Labels.LabStatus0->isVisible());

  settings.VBR = kOn32;
  settings.MinBitRate = 96;
  settings.MaxBitRate = 192;
  settings.Mode = 1;
  form.UpdateFormatLabels();
  EXPECT_EQ(form.Labels.LabRate->text(), "96-192 kbps");
  EXPECT_EQ(form.Labels.LabRate->pos(), QPoint(153, 48));
  EXPECT_EQ(form.Labels.LabStereo->pos(), QPoint(224, 48));
  EXPECT_FALSE(form.Labels.LabBits->isVisible());
}

TEST_F(TForm1Test, CloseFollowsTheCloseQuery) {
  QTest::mouseClick(form.ImageClose, Qt::LeftButton, {}, Middle(form.ImageClose));
  EXPECT_TRUE(form.isVisible());
  allowClose = true;
  QTest::mouseClick(form.ImageClose, Qt::LeftButton, {}, Middle(form.ImageClose));
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace tarnovox
