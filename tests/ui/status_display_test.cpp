// The rules behind the main window's labels: time text, format labels and
// their places, folder label, status colours and the title while minimized.
#include <gtest/gtest.h>

#include "ui/status_display.h"

namespace tarnovox {
namespace {

TEST(StatusDisplay, TimeTextAndFolderLabelKeepTheirWidths) {
  EXPECT_EQ(TimeText(3725999), "01:02:05");  // 1 h 2 min 5.999 s: truncated
  EXPECT_EQ(TimeText(59 * 60000 + 59999), "00:59:59");
  EXPECT_EQ(TimeText(100 * 3600000u + 61000), "10:01:01");  // 100 h: first two digits
  EXPECT_EQ(TimeText(123 * 3600000u), "12:00:00");

  const QString folder55 = "/" + QString(54, 'a');
  EXPECT_EQ(ShortFolder(folder55), folder55);
  EXPECT_EQ(ShortFolder(folder55 + "b"), folder55 + "...");
  const QString wide = QString(60, QChar(0x00e9));  // characters, not UTF-8 bytes
  EXPECT_EQ(ShortFolder(wide), QString(55, QChar(0x00e9)) + "...");
}

TEST(StatusDisplay, FormatLabelsTextsAndPlaces) {
  struct Case {
    OutputFormat format; bool vbr; ChannelMode mode; uint16_t channels;
    const char* text;  // format, rate, bits when shown, stereo
    int rateLeft, stereoLeft;
  };
  const Case cases[] = {
      {OutputFormat::Mp3, false, ChannelMode::JointStereo, 2, "MP3 128 kbps joint stereo", 153, 224},
      // the MP3 places and hidden bits undone
      {OutputFormat::Wav, false, ChannelMode::JointStereo, 2, "WAV 44100 Hz 16 bit stereo", 152, 246},
      {OutputFormat::Wav, false, ChannelMode::JointStereo, 1, "WAV 44100 Hz 16 bit mono", 152, 246},
      {OutputFormat::Mp3, true, ChannelMode::Mono, 2, "MP3 96-192 kbps mono", 165, 246},
      {OutputFormat::Mp3, false, ChannelMode::DualChannel, 2, "MP3 128 kbps dual channels", 153, 224},
      {OutputFormat::Mp3, false, ChannelMode::Stereo, 2, "MP3 128 kbps stereo", 180, 246},
      {OutputFormat::Flac, false, ChannelMode::Stereo, 2, "FLAC 44100 Hz 16 bit Stereo", 152, 246},
      {OutputFormat::Opus, false, ChannelMode::Stereo, 1, "Opus 96 kbit/s Mono", 165, 246},
      {OutputFormat::Opus, false, ChannelMode::Stereo, 2, "Opus 96 kbit/s Stereo", 165, 246},
  };
  FormatLabels labels;
  for (const Case& c : cases) {
    UpdateFormatLabels(RecordSettings{.format = c.format, .channels = c.channels, .channelMode = c.mode, .vbr = c.vbr,
                                      .minBitRate = 96, .maxBitRate = 192, .inputSource = ""},
                       labels);
    const QString bits = labels.bitsVisible ? labels.bits + " " : "";
    EXPECT_EQ(labels.wavMp3 + " " + labels.rate + " " + bits + labels.stereo, c.text);
    EXPECT_EQ(labels.rateLeft, c.rateLeft) << c.text;
    EXPECT_EQ(labels.stereoLeft, c.stereoLeft) << c.text;
  }
}

TEST(StatusDisplay, StatusWordsColoursAndMinimizedTitle) {
  StatusDisplay display;
  RecorderState state;
  state.ActiveFileName = "record3.mp3";
  state.CurrentBaseName = "record3";
  state.DisplayedMs = 65000;
  display.UpdateTime(state);
  EXPECT_EQ(display.Title(state), "Tarnovox");
  state.Minimized = true;
  struct Case {
    RecorderMode mode;
    const char *status, *title;
  };
  for (const Case& c : {Case{RecorderMode::Monitoring, "Monitoring", "Monitoring"},
                        Case{RecorderMode::Recording, "Recording", "record3-00:01:05"},
                        Case{RecorderMode::RecordingPaused, "Pause", "Pause"},
                        Case{RecorderMode::Playing, "Playing", "Playing"},
                        Case{RecorderMode::PlayingPaused, "Pause", "Pause"}}) {
    state.mode = c.mode;
    EXPECT_EQ(display.Labels(state).status, c.status);
    EXPECT_EQ(display.Title(state), c.title) << c.status;
  }
  state.mode = RecorderMode::Recording;
  display.ToggleBlink();
  EXPECT_TRUE(display.Labels(state).shadowVisible);
  EXPECT_EQ(display.Labels(state).file, "record3.mp3");
  EXPECT_EQ(display.Labels(state).fileColour, QColor(255, 128, 128));
  display.ToggleBlink();
  EXPECT_EQ(display.Labels(state).fileColour, QColor(255, 96, 96));
  state.LostMs = 2449;  // sound the computer was too busy to keep shows at once
  EXPECT_EQ(display.Labels(state).file, "record3.mp3 (2.4 s lost)");
  state.ShownMark = 12;  // a mark just made, in the recording's colour; a pause says Pause
  EXPECT_EQ(display.Labels(state).status, "Mark 12");
  EXPECT_EQ(display.Labels(state).statusColour, QColor(255, 128, 128));
  state.mode = RecorderMode::RecordingPaused;
  EXPECT_EQ(display.Labels(state).status, "Pause");
}

}  // namespace
}  // namespace tarnovox
