// The main window driven by mouse events as a user would: the picture buttons'
// guards, press offset and hover pictures, the labels of the status tick and
// the close query; and from the keyboard and a screen reader.
#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>

#include "tests/ui/ui_fixtures.h"
#include "ui/main_window.h"
#include "ui/skin_button.h"

namespace tarnovox {
namespace {

using testing::Child;
using testing::Click;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FillPictures(pictures);
    window.SetSkinPictures(&pictures);
    QObject::connect(&window, &MainWindow::recordClicked, [this] { ++records; });
    QObject::connect(&window, &MainWindow::playClicked, [this] { ++plays; });
    window.SetCloseQuery([] { return false; });  // every Close is refused
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  SkinButton* Button(const char* name) const { return Child<SkinButton>(window, name); }
  bool Shows(SkinButton* button, const char* picture) const {
    return button->pixmap().cacheKey() == pictures.Picture(picture).cacheKey();
  }

  RecordSettings settings;
  RecorderState state;
  SkinPictures pictures;
  MainWindow window{settings, state};
  int records = 0;
  int plays = 0;
};

TEST_F(MainWindowTest, RecordIgnoredWhilePlayingAndPlayWhileRecording) {
  SkinButton* record = Button("recordButton");
  SkinButton* play = Button("playButton");
  for (SkinButton* button : {record, play}) {
    state.mode = button == record ? RecorderMode::Playing : RecorderMode::Recording;
    const QPoint place = button->pos();
    QTest::mouseMove(button, button->rect().center());
    EXPECT_TRUE(Shows(button, button == record ? "ImageRecord1" : "ImagePlay1"));
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place);
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place);
  }
  EXPECT_EQ(records + plays, 0);
  state.mode = RecorderMode::Monitoring;
  Click(record);
  Click(play);
  EXPECT_EQ(records, 1);
  EXPECT_EQ(plays, 1);
}

TEST_F(MainWindowTest, PressMovesOnePixelAndReleaseMovesBack) {
  for (const char* name : {"folderButton", "recordSettingsButton", "helpButton", "aboutButton",
                           "recordingMixerButton", "recordButton", "pauseButton", "stopButton", "playButton",
                           "fileListButton"}) {
    SkinButton* button = Button(name);
    const QPoint place = button->pos();
    QTest::mousePress(button, Qt::RightButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place + QPoint(1, 1)) << name;
    QTest::mouseRelease(button, Qt::RightButton, {}, button->rect().center());
    EXPECT_EQ(button->pos(), place) << name;
  }
  // A recording started between press and release must not leave Record displaced.
  SkinButton* record = Button("recordButton");
  const QPoint place = record->pos();
  QTest::mousePress(record, Qt::LeftButton, {}, record->rect().center());
  state.mode = RecorderMode::Recording;
  QTest::mouseRelease(record, Qt::LeftButton, {}, record->rect().center());
  EXPECT_EQ(record->pos(), place);
  EXPECT_EQ(records, 1);
}

TEST_F(MainWindowTest, HoverPicturesStayUntilThePointerCrossesTheBackground) {
  SkinButton* recordSettings = Button("recordSettingsButton");
  SkinButton* stop = Button("stopButton");
  QTest::mouseMove(recordSettings, recordSettings->rect().center());
  QTest::mouseMove(stop, stop->rect().center());
  EXPECT_TRUE(Shows(stop, "ImageStop2"));
  EXPECT_TRUE(Shows(recordSettings, "ImageSetting2"));
  QTest::mouseMove(&window, QPoint(200, 150));
  EXPECT_TRUE(Shows(recordSettings, "ImageSetting1"));
  EXPECT_TRUE(Shows(stop, "ImageStop1"));

  SkinButton* fileList = Button("fileListButton");
  Click(fileList);
  EXPECT_TRUE(window.FileListShown());
  EXPECT_TRUE(Shows(fileList, "ImageHide2"));
  window.ResetButtonPictures();
  EXPECT_TRUE(Shows(fileList, "ImageHide1"));
  Click(fileList);
  EXPECT_FALSE(window.FileListShown());
  EXPECT_TRUE(Shows(fileList, "ImageShow2"));
}

// That Close closes when the query allows it, the program scenario "close"
// shows; a refused Close is the companions test's.
TEST_F(MainWindowTest, FolderButtonSwitchesOnlyOnARealChange) {
  int switches = 0;
  std::string chosen;
  QObject::connect(&window, &MainWindow::outputFolderRequested, [&] { settings.folder = chosen; });
  QObject::connect(&window, &MainWindow::outputFolderChanged, [&] { ++switches; });
  for (const char* choice : {"/music", "", "/Music"}) {
    chosen = choice;
    settings.folder = "/music";
    Click(Button("folderButton"));
  }
  EXPECT_EQ(switches, 1);  // only the other letter case counts
  state.mode = RecorderMode::Recording;
  chosen = "/elsewhere";
  Click(Button("folderButton"));
  EXPECT_EQ(settings.folder, "/Music");
}

// Where the file list and the tag editor go with the main window, and that
// Close takes them along, the program scenario "companions" shows; here the
// Min button, a companion that was hidden, and a refused Close.
TEST_F(MainWindowTest, CompanionsMinimizeAndRestoreWithTheMainWindowButAHiddenOneStaysHidden) {
  QWidget fileList(nullptr, Qt::Tool), hidden(nullptr, Qt::Tool);
  window.SetFileList(&fileList, nullptr);
  window.AddCompanion(&hidden);
  fileList.show();
  Click(Button("minimizeButton"));
  EXPECT_TRUE(state.Minimized);
  EXPECT_FALSE(fileList.isVisible());
  window.showNormal();
  EXPECT_FALSE(state.Minimized);
  EXPECT_TRUE(fileList.isVisible());
  EXPECT_FALSE(hidden.isVisible());
  Click(Button("closeButton"));  // refused: everything stays
  EXPECT_TRUE(fileList.isVisible() && window.isVisible());
}

// The texts and places themselves are StatusDisplay's; here only that the
// window shows them.
TEST_F(MainWindowTest, StatusTickLabelsAndMinimizedTitle) {
  state.mode = RecorderMode::Recording;
  state.CurrentBaseName = "record3";
  state.DisplayedMs = 65000;
  window.UpdateTimeDisplay();
  state.Minimized = true;
  window.StatusTick();
  EXPECT_EQ(window.windowTitle(), "record3-00:01:05");
  EXPECT_EQ(Child<QLabel>(window, "timeShadowLabel")->text(), "00:01:05");
  settings.channelMode = ChannelMode::JointStereo;
  window.UpdateFormatLabels();
  EXPECT_EQ(Child<QLabel>(window, "channelsLabel")->text(), "joint stereo");
  EXPECT_EQ(Child<QLabel>(window, "channelsLabel")->pos(), QPoint(224, 48));
}

TEST_F(MainWindowTest, EveryPictureButtonIsANamedPushButtonThatTabReachesAndSpacePresses) {
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const QList<SkinButton*> buttons = window.findChildren<SkinButton*>();
  ASSERT_EQ(buttons.size(), 12);
  QStringList names;
  for (SkinButton* button : buttons) {
    QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->role(), QAccessible::Button) << button->objectName().toStdString();
    EXPECT_FALSE(seen->text(QAccessible::Name).isEmpty()) << button->objectName().toStdString();
    names << seen->text(QAccessible::Name);
  }
  EXPECT_TRUE(names.contains("Record F5"));

  // Tab visits each button once, in rows from the top left, and comes round again.
  QWidget* first = QApplication::focusWidget();
  ASSERT_NE(first, nullptr);
  QStringList visited{first->objectName()};
  for (int i = 0; i < 12; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited.first(), "folderButton");
  EXPECT_EQ(visited.last(), visited.first());
  EXPECT_EQ(visited.mid(0, 12).removeDuplicates(), 0);
  EXPECT_EQ(visited.indexOf("stopButton"), visited.indexOf("pauseButton") + 1);

  // The focus mark: after Tab, not after a click, not on the picture alone.
  SkinButton* record = Button("recordButton");
  const QImage plain = record->grab().toImage();
  record->setFocus(Qt::TabFocusReason);
  const QImage marked = record->grab().toImage();
  int silver = 0;
  for (int x = 0; x < marked.width(); ++x) silver += marked.pixelColor(x, 0) == QColor(192, 192, 192);
  EXPECT_GE(silver, marked.width() / 3);
  const QRect inside = plain.rect().adjusted(1, 1, -1, -1);
  EXPECT_EQ(marked.copy(inside), plain.copy(inside));
  record->clearFocus();
  record->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(record->grab().toImage(), plain);

  QTest::keyClick(record, Qt::Key_Space);
  QTest::keyClick(record, Qt::Key_Return);
  state.mode = RecorderMode::Recording;
  QTest::keyClick(record, Qt::Key_Space);  // the button's guard holds for keys too
  EXPECT_EQ(records, 2);
  state.mode = RecorderMode::Monitoring;
  QAccessible::queryAccessibleInterface(record)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(records, 3);
}

// Every skin picture has a 2x twin for scaled screens, drawn anew at twice the
// size rather than enlarged; at 100 % the 1x picture is the one taken.
TEST(SkinPictures, EveryPictureHasATwinDrawnAtTwiceTheSize) {
  const QPixmap shown = SkinPictures::LoadSkinPicture("Background");
  EXPECT_EQ(shown.size(), QSize(400, 300));
  EXPECT_EQ(shown.devicePixelRatio(), 1.0);
  int pictures = 0;
  for (const QString& file : QDir(":/skin").entryList({"*.gif"})) {
    if (file.contains("@2x")) continue;
    SCOPED_TRACE(file.toStdString());
    ++pictures;
    const QImage one = QImage(":/skin/" + file).convertToFormat(QImage::Format_RGB32);
    QImage two = QImage(":/skin/" + file.chopped(4) + "@2x.gif").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(two.size(), one.size() * 2);
    two.setDevicePixelRatio(1);  // compared by its pixels alone
    EXPECT_NE(two, one.scaled(one.size() * 2));
  }
  EXPECT_EQ(pictures, 33);
}

}  // namespace
}  // namespace tarnovox
