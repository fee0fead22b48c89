// The rules behind the main window's labels: time text, format labels and
// their places, folder label, status colours and the title while minimized.
#include <gtest/gtest.h>

#include "ui/status_display.h"

namespace tarnovox {
namespace {

TEST(StatusDisplay, TimeTextKeepsTwoCharactersPerField) {
  EXPECT_EQ(TimeText(0), "00:00:00");
  EXPECT_EQ(TimeText(3725999), "01:02:05");  // 1 h 2 min 5.999 s: truncated
  EXPECT_EQ(TimeText(59 * 60000 + 59999), "00:59:59");
  EXPECT_EQ(TimeText(10 * 3600000), "10:00:00");
  EXPECT_EQ(TimeText(100 * 3600000u + 61000), "10:01:01");  // 100 h: first two digits
  EXPECT_EQ(TimeText(123 * 3600000u), "12:00:00");
}

TEST(StatusDisplay, FormatLabelsTextsAndPlaces) {
  RecordSettings wav;
  wav.Wav = true;
  wav.MP3 = false;
  FormatLabels labels;
  labels.bitsVisible = false;
  labels.rateLeft = 153;
  labels.stereoLeft = 224;
  UpdateFormatLabels(wav, labels);
  EXPECT_EQ(labels.wavMp3, "WAV");
  EXPECT_EQ(labels.rate, "44100 Hz");
  EXPECT_EQ(labels.bits, "16 bit");
  EXPECT_EQ(labels.stereo, "stereo");
  EXPECT_TRUE(labels.bitsVisible);
  EXPECT_EQ(labels.rateLeft, 152);
  EXPECT_EQ(labels.stereoLeft, 246);
  wav.Channels = 1;
  wav.SamplePerSecond = 8000;
  wav.BitPerSample = 8;
  UpdateFormatLabels(wav, labels);
  EXPECT_EQ(labels.rate + " " + labels.bits + " " + labels.stereo, "8000 Hz 8 bit mono");

  RecordSettings mp3;  // MP3, 128 kbps, no VBR
  mp3.Mode = 1;
  UpdateFormatLabels(mp3, labels);
  EXPECT_EQ(labels.wavMp3, "MP3");
  EXPECT_FALSE(labels.bitsVisible);
  EXPECT_EQ(labels.rate, "128 kbps");
  EXPECT_EQ(labels.stereo, "joint stereo");
  EXPECT_EQ(labels.rateLeft, 153);
  EXPECT_EQ(labels.stereoLeft, 224);

  mp3.VBR = kOn32;
  mp3.MinBitRate = 96;
  mp3.MaxBitRate = 192;
  mp3.Mode = 3;
  UpdateFormatLabels(mp3, labels);
  EXPECT_EQ(labels.rate, "96-192 kbps");
  EXPECT_EQ(labels.stereo, "mono");
  EXPECT_EQ(labels.rateLeft, 165);
  EXPECT_EQ(labels.stereoLeft, 246);

  mp3.Mode = 1;
  UpdateFormatLabels(mp3, labels);
  EXPECT_EQ(labels.rateLeft, 153);
  EXPECT_EQ(labels.stereoLeft, 224);
  mp3.Mode = 2;
  mp3.VBR = 0;
  UpdateFormatLabels(mp3, labels);
  EXPECT_EQ(labels.stereo, "dual channels");
  EXPECT_EQ(labels.rateLeft, 153);
  mp3.Mode = 0;
  UpdateFormatLabels(mp3, labels);
  EXPECT_EQ(labels.stereo, "stereo");
  EXPECT_EQ(labels.rateLeft, 180);
  EXPECT_EQ(labels.stereoLeft, 246);
}

TEST(StatusDisplay, FolderLabelCutsAfter55Characters) {
  const QString folder55 = "/" + QString(54, 'a');
  EXPECT_EQ(ShortFolder(folder55), folder55);
  const QString folder56 = folder55 + "b";
  EXPECT_EQ(ShortFolder(folder56), folder55 + "...");
  const QString wide = QString(60, QChar(0x00e9));  // characters, not UTF-8 bytes
  EXPECT_EQ(ShortFolder(wide), QString(55, QChar(0x00e9)) + "...");
}

TEST(StatusDisplay, StatusWordsColoursAndMinimizedTitle) {
  StatusDisplay display;
  RecorderState state;
  StatusLabels labels = display.Labels(state);
  EXPECT_EQ(labels.status, "Monitoring");
  EXPECT_EQ(labels.statusColour, QColor(221, 221, 221));
  EXPECT_TRUE(labels.file.isEmpty());
  EXPECT_FALSE(labels.shadowVisible);

  state.recording = true;
  state.ActiveFileName = "record3.mp3";
  state.CurrentBaseName = "record3";
  display.ToggleBlink();
  labels = display.Labels(state);
  EXPECT_EQ(labels.status, "Recording");
  EXPECT_EQ(state.StatusText, "Recording");
  EXPECT_TRUE(labels.shadowVisible);
  EXPECT_EQ(labels.file, "record3.mp3");
  EXPECT_EQ(labels.statusColour, QColor(255, 128, 128));
  EXPECT_EQ(labels.fileColour, QColor(255, 128, 128));
  display.ToggleBlink();
  EXPECT_EQ(display.Labels(state).fileColour, QColor(255, 96, 96));

  EXPECT_EQ(display.Title(state), "Tarnovox");
  state.Minimized = true;
  state.DisplayedMs = 65000;
  display.UpdateTime(state);
  EXPECT_EQ(display.Title(state), "record3-00:01:05");
  state.paused = true;
  EXPECT_EQ(display.Title(state), "Pause");
  EXPECT_EQ(display.Labels(state).status, "Pause");

  state.recording = false;
  state.playing = true;
  state.paused = false;
  EXPECT_EQ(display.Title(state), "Playing");
  state.paused = true;
  labels = display.Labels(state);
  EXPECT_EQ(labels.status, "Pause");
  EXPECT_EQ(labels.statusColour, QColor(185, 255, 185));
  EXPECT_EQ(labels.fileColour, QColor(145, 225, 145));
}

}  // namespace
}  // namespace tarnovox
