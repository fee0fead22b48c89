#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <climits>
#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "tests/support/fake_input_sources.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/record_settings_dialog.h"
#include "ui/rec_settings_controls.h"

namespace tarnovox {
namespace {

using testing::Child;
using testing::WhileOpen;

// Show and close without touching anything.
RecordSettings ShownAndClosed(RecordSettings settings, RecSettingsControls& controls) {
  SettingsToControls(settings, controls);
  ControlsToSettings(controls, settings);
  return settings;
}

TEST(RecSettingsControls, UnlistedValuesBecomeTheShownItemsAndListedOnesSurvive) {
  RecSettingsControls controls;
  controls.wavRateItem = 2;  // left from an earlier showing
  controls.modeItem = 1;
  RecordSettings odd{.sampleRate = 48000, .bitsPerSample = 24, .channels = 5,
                     .channelMode = ChannelMode::DualChannel, .vbr = true, .minBitRate = 33, .maxBitRate = 31,
                     .vbrQuality = 12, .inputSource = ""};
  RecordSettings stored = ShownAndClosed(odd, controls);
  EXPECT_EQ(stored.sampleRate, 11025u);
  EXPECT_EQ(stored.channels, 2);
  EXPECT_EQ(stored.bitsPerSample, 16);
  EXPECT_EQ(stored.channelMode, ChannelMode::JointStereo);
  EXPECT_EQ(stored.minBitRate, 32);
  EXPECT_EQ(stored.maxBitRate, 320);
  EXPECT_EQ(stored.vbrQuality, 9);
  EXPECT_TRUE(stored.vbr);
  odd.vbrQuality = -4;
  EXPECT_EQ(ShownAndClosed(odd, controls).vbrQuality, 0);
  // Bit rates go to the nearest listed one, the lower on a tie.
  for (auto [given, shown] : {std::pair{129, 128}, {INT_MAX, 320}, {INT_MIN, 32}, {36, 32}}) {
    odd.bitRate = given;
    EXPECT_EQ(ShownAndClosed(odd, controls).bitRate, shown) << given;
  }

  // Listed values survive showing and closing, a minimum above the maximum too.
  RecordSettings s{.format = OutputFormat::Wav, .sampleRate = 22050, .bitsPerSample = 8, .channels = 1,
                   .channelMode = ChannelMode::Mono, .minBitRate = 320, .maxBitRate = 32, .vbrQuality = 4,
                   .copyright = true, .privateFlag = true, .inputSource = ""};
  for (int32_t rate : kMp3BitRates) {
    s.bitRate = rate;
    EXPECT_FALSE(DialogFieldsDiffer(s, ShownAndClosed(s, controls))) << rate;
  }
  s.format = OutputFormat::Mp3;  // the MP3 page shown: the WAV fields are kept
  stored = ShownAndClosed(s, controls);
  EXPECT_EQ(stored.format, OutputFormat::Mp3);
  EXPECT_EQ(stored.sampleRate, 22050u);
  // FLAC and Opus are chosen on the WAV page; Opus bit rates go to the nearest listed.
  for (const OutputFormat format : {OutputFormat::Flac, OutputFormat::Opus, OutputFormat::Wav}) {
    s.format = format;
    EXPECT_FALSE(DialogFieldsDiffer(s, ShownAndClosed(s, controls)));
    EXPECT_TRUE(controls.wavPageActive);
  }
  for (auto [given, shown] : {std::pair{6, 6}, {256, 256}, {100, 96}, {1000, 256}}) {
    s.opusBitRate = given;
    EXPECT_EQ(ShownAndClosed(s, controls).opusBitRate, shown) << given;
  }
}

TEST(RecSettingsControls, InputsAreListedByDescriptionAndAChosenMissingOneIsKept) {
  const std::vector<InputSource> sources = {{"alsa_input.usb-mic", "USB Mic"},
                                            {"alsa_output.hdmi.monitor", "Monitor of HDMI"},
                                            {"null_b.monitor", "Monitor of Null Output"},
                                            {"null_a.monitor", "Monitor of Null Output", true}};
  const std::vector<InputChoice> shown = {{"Default input", ""},
                                          {"USB Mic", "alsa_input.usb-mic"},
                                          {"Monitor of HDMI", "alsa_output.hdmi.monitor"},
                                          {"Monitor of Null Output", "null_b.monitor"},
                                          {"What this computer plays", "@DEFAULT_MONITOR@"}};
  EXPECT_EQ(InputChoices(sources, ""), shown);
  EXPECT_EQ(InputChoices(sources, "@DEFAULT_MONITOR@"), shown);
  // Chosen by name, the default output's monitor is listed too; two of one
  // description are told apart by name.
  const auto byName = InputChoices(sources, "null_a.monitor");
  ASSERT_EQ(byName.size(), 6u);
  EXPECT_EQ(byName[3], (InputChoice{"Monitor of Null Output (null_b.monitor)", "null_b.monitor"}));
  EXPECT_EQ(byName[4], (InputChoice{"Monitor of Null Output (null_a.monitor)", "null_a.monitor"}));
  const auto gone = InputChoices(sources, "alsa_input.unplugged");
  EXPECT_EQ(gone.back(), (InputChoice{"alsa_input.unplugged", "alsa_input.unplugged"}));

  RecSettingsControls controls;
  RecordSettings settings;
  settings.inputSource = "alsa_input.unplugged";
  EXPECT_EQ(ShownAndClosed(settings, controls).inputSource, "alsa_input.unplugged");
  RecordSettings other = settings;
  other.inputSource = "";
  EXPECT_TRUE(DialogFieldsDiffer(settings, other));
}

TEST(RecordSettingsDialog, TheInputListFollowsSourcesWhileOpenAndTheChoiceIsStored) {
  testing::FakeInputSources sources;
  sources.sources = {{"mic", "Mic"}, {"out.monitor", "Monitor of Out", true}};
  RecordSettingsDialog dialog;
  dialog.SetInputSources(&sources);
  RecordSettings settings;
  RecorderState state;
  QComboBox* input = Child<QComboBox>(dialog, "inputBox");
  auto items = [&] {
    QStringList texts;
    for (int i = 0; i < input->count(); ++i) texts << input->itemText(i);
    return texts;
  };
  WhileOpen([&] {
    EXPECT_EQ(items(), QStringList({"Default input", "Mic", "What this computer plays"}));
    EXPECT_EQ(input->currentIndex(), 0);
    sources.Change({{"mic", "Mic"}, {"usb", "USB Interface"}, {"out.monitor", "Monitor of Out", true}});
    QCoreApplication::processEvents();
    EXPECT_EQ(items(), QStringList({"Default input", "Mic", "USB Interface", "What this computer plays"}));
    input->setCurrentIndex(2);
    sources.Change({{"usb", "USB Interface"}, {"out.monitor", "Monitor of Out", true}});
    QCoreApplication::processEvents();
    EXPECT_EQ(items(), QStringList({"Default input", "USB Interface", "What this computer plays"}));
    EXPECT_EQ(input->currentText(), "USB Interface");
    Child<QPushButton>(dialog, "okButton")->click();
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(settings.inputSource, "usb");
  EXPECT_FALSE(sources.Following());

  WhileOpen([&] {
    input->setCurrentIndex(input->count() - 1);
    dialog.close();
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(settings.inputSource, "@DEFAULT_MONITOR@");
}

TEST(RecordSettingsDialog, TheCloseBoxAppliesButNeverToARunningRecording) {
  RecordSettingsDialog dialog;
  RecordSettings settings;  // MP3 at 128 kbit/s
  RecorderState state;
  WhileOpen([&] {
    Child<QTabWidget>(dialog, "formatPages")->setCurrentIndex(0);
    Child<QComboBox>(dialog, "channelsBox")->setCurrentIndex(1);
    dialog.close();
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(settings.format, OutputFormat::Wav);
  EXPECT_EQ(settings.channels, 1);
  WhileOpen([&] { Child<QPushButton>(dialog, "okButton")->click(); });
  EXPECT_FALSE(dialog.Edit(settings, state));  // unchanged values through OK
  WhileOpen([&] {
    Child<QComboBox>(dialog, "wavFileBox")->setCurrentIndex(2);
    Child<QComboBox>(dialog, "opusBitRateBox")->setCurrentIndex(0);
    EXPECT_EQ(Child<QTabWidget>(dialog, "formatPages")->tabText(0), "OPUS");
    EXPECT_FALSE(Child<QComboBox>(dialog, "sampleRateBox")->isEnabled());
    dialog.close();
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(settings.format, OutputFormat::Opus);
  EXPECT_EQ(settings.opusBitRate, 6);
  WhileOpen([&] {
    Child<QComboBox>(dialog, "wavFileBox")->setCurrentIndex(1);
    dialog.close();
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(settings.format, OutputFormat::Flac);

  state.mode = RecorderMode::Recording;
  EXPECT_FALSE(testing::ShownBy(dialog, [&] { EXPECT_FALSE(dialog.Edit(settings, state)); }));
  // A hot key starts a recording while the dialog is open.
  state.mode = RecorderMode::Monitoring;
  const RecordSettings before = settings;
  WhileOpen([&] {
    state.mode = RecorderMode::Recording;
    Child<QTabWidget>(dialog, "formatPages")->setCurrentIndex(1);
    Child<QCheckBox>(dialog, "vbrCheck")->setChecked(true);
    Child<QPushButton>(dialog, "okButton")->click();
  });
  EXPECT_FALSE(dialog.Edit(settings, state));
  EXPECT_FALSE(DialogFieldsDiffer(before, settings));
  EXPECT_FALSE(dialog.ApplyPending(settings, state));
  state.mode = RecorderMode::Monitoring;  // stopped
  EXPECT_TRUE(dialog.ApplyPending(settings, state));
  EXPECT_EQ(settings.format, OutputFormat::Mp3);
  EXPECT_TRUE(settings.vbr);
  EXPECT_FALSE(dialog.HasPending());
}

// The capture page: OK with the defaults writes the INI back byte for byte
// (no [Capture] key appears); values chosen there reach the INI and come back
// into the page, and choosing the page leaves the format as it was.
TEST(RecordSettingsDialog, TheCapturePageRoundTripsThroughTheIniAndKeepsDefaultsUnwritten) {
  testing::TempFolder dir;
  RecordSettings settings;
  SettingsStore store(settings, dir.File("tarnovox.INI"));
  ASSERT_TRUE(store.SaveSettings());
  const std::string defaults = dir.ReadText("tarnovox.INI");
  RecordSettingsDialog dialog;
  RecorderState state;
  WhileOpen([&] {
    Child<QTabWidget>(dialog, "formatPages")->setCurrentIndex(2);
    EXPECT_EQ(Child<QSpinBox>(dialog, "stopAfterBox")->text(), "off");
    EXPECT_FALSE(Child<QSpinBox>(dialog, "silencePauseBox")->isEnabled());
    Child<QPushButton>(dialog, "okButton")->click();
  });
  EXPECT_FALSE(dialog.Edit(settings, state));
  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(dir.ReadText("tarnovox.INI"), defaults);

  settings.format = OutputFormat::Wav;
  WhileOpen([&] {
    Child<QTabWidget>(dialog, "formatPages")->setCurrentIndex(2);
    Child<QSpinBox>(dialog, "preRecordBox")->setValue(3);
    Child<QSpinBox>(dialog, "stopAfterBox")->setValue(5400);
    Child<QSpinBox>(dialog, "splitEveryBox")->setValue(900);
    Child<QCheckBox>(dialog, "startLevelCheck")->setChecked(true);
    Child<QSpinBox>(dialog, "startLevelBox")->setValue(-42);
    Child<QSpinBox>(dialog, "silencePauseBox")->setValue(2);
    dialog.close();
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(settings.format, OutputFormat::Wav);
  ASSERT_TRUE(store.SaveSettings());
  const std::string ini = dir.ReadText("tarnovox.INI");
  EXPECT_NE(ini.find("[Capture]"), std::string::npos) << ini;
  for (const char* line : {"PreRecord=3", "StopAfter=5400", "SplitEvery=900", "StartLevel=-42", "SilencePause=2"}) {
    EXPECT_NE(ini.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << ini;
  }
  RecordSettings loaded;
  SettingsStore(loaded, dir.File("tarnovox.INI")).LoadSettings();
  EXPECT_FALSE(DialogFieldsDiffer(loaded, settings));
  EXPECT_EQ(loaded.startLevelDb, -42);

  WhileOpen([&] {
    EXPECT_EQ(Child<QSpinBox>(dialog, "stopAfterBox")->value(), 5400);
    Child<QCheckBox>(dialog, "startLevelCheck")->setChecked(false);  // off again: 0 in the INI
    Child<QPushButton>(dialog, "okButton")->click();
  });
  EXPECT_TRUE(dialog.Edit(loaded, state));
  EXPECT_EQ(loaded.startLevelDb, 0);
}

// All three pages show every control whole, the input list too, inside the
// 347 x 266 window; a picture of each page is kept under test-artifacts/ for
// the eye.
TEST(RecordSettingsDialog, EveryControlOfEveryPageLiesInsideTheWindow) {
  RecordSettingsDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  ASSERT_EQ(dialog.size(), QSize(347, 266));
  QDir().mkpath("test-artifacts");
  for (int page = 0; page < 3; ++page) {
    Child<QTabWidget>(dialog, "formatPages")->setCurrentIndex(page);
    QCoreApplication::processEvents();
    int checked = 0;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
      if (!child->isVisibleTo(&dialog) || child->isWindow()) continue;
      const QRect place(child->mapTo(&dialog, QPoint(0, 0)), child->size());
      EXPECT_TRUE(dialog.rect().contains(place)) << "page " << page << ": " << child->metaObject()->className()
          << " " << child->objectName().toStdString() << " at " << place.x() << "," << place.y() << " "
          << place.width() << "x" << place.height();
      ++checked;
    }
    EXPECT_GT(checked, 8) << page;
    EXPECT_TRUE(Child<QComboBox>(dialog, "inputBox")->isVisibleTo(&dialog)) << page;  // the input serves both formats
    dialog.grab().save(QString("test-artifacts/rec-settings-page%1.png").arg(page));
  }
}

}  // namespace
}  // namespace tarnovox
