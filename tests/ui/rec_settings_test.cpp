#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <climits>
#include <gtest/gtest.h>

#include "tests/ui/dialog_driver.h"
#include "ui/form_rec_settings.h"
#include "ui/rec_settings_controls.h"

namespace tarnovox {
namespace {

using testing::WhileOpen;

// Show and close without touching anything.
RecordSettings ShownAndClosed(RecordSettings settings, RecSettingsControls& controls) {
  SettingsToControls(settings, controls);
  ControlsToSettings(controls, settings);
  return settings;
}

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

TEST(RecSettingsControls, UnlistedValuesBecomeTheShownItems) {
  RecSettingsControls controls;
  controls.wavRateItem = 2;  // left from an earlier showing
  controls.modeItem = 1;
  RecordSettings odd;
  odd.SamplePerSecond = 48000;
  odd.Channels = 5;
  odd.BitPerSample = 24;
  odd.Mode = 2;
  odd.BitRate = 129;
  odd.MinBitRate = 33;
  odd.MaxBitRate = 31;
  odd.VBRQuality = 12;
  odd.VBR = 2;
  RecordSettings stored = ShownAndClosed(odd, controls);
  EXPECT_EQ(stored.SamplePerSecond, 11025u);
  EXPECT_EQ(stored.Channels, 2);
  EXPECT_EQ(stored.BitPerSample, 16);
  EXPECT_EQ(stored.Mode, 1);
  EXPECT_EQ(stored.BitRate, 128);
  EXPECT_EQ(stored.MinBitRate, 32);
  EXPECT_EQ(stored.MaxBitRate, 320);
  EXPECT_EQ(stored.VBRQuality, 9);
  EXPECT_EQ(stored.VBR, kOn32);

  odd.VBRQuality = -4;
  odd.BitRate = INT_MAX;
  EXPECT_EQ(ShownAndClosed(odd, controls).VBRQuality, 0);
  EXPECT_EQ(ShownAndClosed(odd, controls).BitRate, 320);
  odd.BitRate = INT_MIN;
  EXPECT_EQ(ShownAndClosed(odd, controls).BitRate, 32);
  odd.BitRate = 36;  // halfway between 32 and 40
  EXPECT_EQ(ShownAndClosed(odd, controls).BitRate, 32);
}

TEST(RecSettingsControls, ListedValuesAndFormatSurviveShowAndClose) {
  RecSettingsControls controls;
  RecordSettings s;
  s.Wav = true;
  s.MP3 = false;
  s.SamplePerSecond = 22050;
  s.Channels = 1;
  s.BitPerSample = 8;
  s.Mode = 3;
  s.MinBitRate = 320;  // a minimum above the maximum is stored as chosen
  s.MaxBitRate = 32;
  s.VBRQuality = 4;
  s.Copyright = kOn32;
  s.Private = kOn32;
  for (int32_t rate : kMp3BitRates) {
    s.BitRate = rate;
    RecordSettings stored = ShownAndClosed(s, controls);
    EXPECT_FALSE(DialogFieldsDiffer(s, stored)) << rate;
  }
  s.MP3 = true;  // both set by hand: the MP3 page wins
  RecordSettings stored = ShownAndClosed(s, controls);
  EXPECT_FALSE(stored.Wav);
  EXPECT_TRUE(stored.MP3);
  EXPECT_EQ(stored.SamplePerSecond, 22050u);  // the WAV fields are kept too
}

TEST(TFormRecSettings, ShowsTheSettingsAndAppliesEveryWayOfClosing) {
  TFormRecSettings dialog;
  EXPECT_EQ(Items(dialog.CBoxWavSpsIn), QStringList({"44100 Hz", "22050 Hz ", "11025 Hz "}));
  EXPECT_EQ(Items(dialog.CBoxWavBits), QStringList({"16 bit", "8  bit"}));
  EXPECT_EQ(Items(dialog.CBoxMP3Mode), QStringList({"stereo", "joint stereo", "mono"}));
  EXPECT_EQ(dialog.CBoxMaxBRate->count(), 14);

  RecordSettings settings;  // MP3 at 128 kbit/s
  settings.Mode = 2;
  settings.VBRQuality = 12;
  RecorderState state;
  bool flagsAtSwitch = false;
  QString captionsOnShow;
  WhileOpen([&] {
    captionsOnShow = dialog.PControlFormat->tabText(0) + "/" + dialog.PControlFormat->tabText(1);
    EXPECT_EQ(dialog.TBarVBRQuality->value(), 9);
    dialog.PControlFormat->setCurrentIndex(0);
    flagsAtSwitch = settings.Wav && !settings.MP3;
    dialog.CBoxWavChannel->setCurrentIndex(1);
    dialog.close();  // the close box
  });
  EXPECT_TRUE(dialog.Edit(settings, state));
  EXPECT_EQ(captionsOnShow, "wav/MP3");
  EXPECT_TRUE(flagsAtSwitch);
  EXPECT_EQ(dialog.PControlFormat->tabText(0), "WAV");
  EXPECT_EQ(dialog.PControlFormat->tabText(1), "mp3");
  EXPECT_TRUE(settings.Wav);
  EXPECT_EQ(settings.Channels, 1);
  EXPECT_EQ(settings.Mode, 0);
  EXPECT_EQ(settings.VBRQuality, 9);

  // Unchanged values through OK report no change.
  WhileOpen([&] { dialog.BitBtnOK->click(); });
  EXPECT_FALSE(dialog.Edit(settings, state));
}

TEST(TFormRecSettings, ChangesNeverReachARunningRecording) {
  TFormRecSettings dialog;
  RecordSettings settings;
  RecorderState state;
  state.recording = true;
  bool shown = false;
  WhileOpen([&] {
    shown = dialog.isVisible();
    dialog.close();
  });
  EXPECT_FALSE(dialog.Edit(settings, state));
  QCoreApplication::processEvents();  // runs the steps when Edit did not
  EXPECT_FALSE(shown);

  // A hot key starts a recording while the dialog is open.
  state.recording = false;
  const RecordSettings before = settings;
  WhileOpen([&] {
    state.recording = true;
    dialog.PControlFormat->setCurrentIndex(0);
    dialog.CBoxWavSpsIn->setCurrentIndex(2);
    dialog.ChBoxEnableVBR->setChecked(true);
    dialog.BitBtnOK->click();
  });
  EXPECT_FALSE(dialog.Edit(settings, state));
  EXPECT_FALSE(DialogFieldsDiffer(before, settings));
  EXPECT_FALSE(dialog.ApplyPending(settings, state));

  state.recording = false;  // stopped
  EXPECT_TRUE(dialog.ApplyPending(settings, state));
  EXPECT_TRUE(settings.Wav);
  EXPECT_FALSE(settings.MP3);
  EXPECT_EQ(settings.SamplePerSecond, 11025u);
  EXPECT_EQ(settings.VBR, kOn32);
  EXPECT_FALSE(dialog.HasPending());
}

}  // namespace
}  // namespace tarnovox
