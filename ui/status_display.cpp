#include "ui/status_display.h"

namespace tarnovox {
namespace {

const QColor kStatusGrey(221, 221, 221);
const QColor kRecordingRed(255, 128, 128);
const QColor kRecordingDimRed(255, 96, 96);
const QColor kPlayingGreen(185, 255, 185);
const QColor kPlayingDimGreen(145, 225, 145);

QString TwoCharacters(uint32_t value) {
  QString text = QString::number(value);
  if (value < 10) return "0" + text;
  return text.left(2);
}

void UpdateMp3Labels(const RecordSettings& settings, FormatLabels& labels) {
  labels.wavMp3 = "MP3";
  labels.bitsVisible = false;
  if (settings.VBR == 0) {
    labels.rateLeft = 180;
    labels.stereoLeft = 246;
    labels.rate = QString::number(settings.BitRate) + " kbps";
  } else {
    labels.rateLeft = 165;
    labels.rate = QString::number(settings.MinBitRate) + "-" + QString::number(settings.MaxBitRate) + " kbps";
  }
  switch (settings.Mode) {
    case 0: labels.stereo = "stereo"; labels.stereoLeft = 246; break;
    case 1: labels.stereo = "joint stereo"; labels.rateLeft = 153; labels.stereoLeft = 224; break;
    case 2: labels.stereo = "dual channels"; labels.rateLeft = 153; labels.stereoLeft = 224; break;
    case 3: labels.stereo = "mono"; labels.stereoLeft = 246; break;
    default: break;
  }
}

}  // namespace

void UpdateFormatLabels(const RecordSettings& settings, FormatLabels& labels) {
  if (settings.Wav) {
    labels.wavMp3 = "WAV";
    labels.bitsVisible = true;
    labels.rateLeft = 152;
    labels.stereoLeft = 246;
    labels.rate = QString::number(settings.SamplePerSecond) + " Hz";
    labels.bits = QString::number(settings.BitPerSample) + " bit";
    labels.stereo = settings.Channels == 2 ? "stereo" : "mono";
  }
  if (settings.MP3) UpdateMp3Labels(settings, labels);
}

QString TimeText(uint32_t ms) {
  const uint32_t hours = ms / 3600000;
  const uint32_t minutes = ms % 3600000 / 60000;
  const uint32_t seconds = ms % 60000 / 1000;
  return TwoCharacters(hours) + ":" + TwoCharacters(minutes) + ":" + TwoCharacters(seconds);
}

QString ShortFolder(const QString& folder) {
  if (folder.size() <= StatusDisplay::kFolderChars) return folder;
  return folder.left(StatusDisplay::kFolderChars) + "...";
}

QString StatusDisplay::Title(const RecorderState& state) const {
  if (!state.Minimized) return "Tarnovox";
  QString title = "Monitoring";
  if (state.playing) title = "Playing";
  if (state.recording) title = QString::fromStdString(state.CurrentBaseName) + "-" + LastTimeText;
  if (state.paused) title = "Pause";
  return title;
}

StatusLabels StatusDisplay::Labels(RecorderState& state) const {
  StatusLabels labels;
  labels.shadowVisible = Blink;
  state.StatusText = "Monitoring";
  labels.statusColour = kStatusGrey;
  if (state.recording) {
    state.StatusText = "Recording";
    labels.file = QString::fromStdString(state.ActiveFileName);
    // Sound the computer was too busy to keep: shown at once, told again after Stop.
    if (state.LostMs > 0) labels.file += QString(" (%1 s lost)").arg(state.LostMs / 1000.0, 0, 'f', 1);
    labels.statusColour = kRecordingRed;
    labels.fileColour = Blink ? kRecordingRed : kRecordingDimRed;
  }
  if (state.playing) {
    state.StatusText = "Playing";
    labels.file = QString::fromStdString(state.ActiveFileName);
    labels.statusColour = kPlayingGreen;
    labels.fileColour = Blink ? kPlayingGreen : kPlayingDimGreen;
  }
  if (state.paused) state.StatusText = "Pause";
  labels.status = QString::fromStdString(state.StatusText);
  return labels;
}

QString StatusDisplay::UpdateTime(const RecorderState& state) {
  LastTimeText = TimeText(state.DisplayedMs);
  return LastTimeText;
}

}  // namespace tarnovox
