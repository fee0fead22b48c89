#include "ui/status_display.h"

#include "ui/program_name.h"

namespace tarnovox {
namespace {

const QColor kStatusGrey(221, 221, 221);
const QColor kRecordingRed(255, 128, 128);
const QColor kRecordingDimRed(255, 96, 96);
const QColor kPlayingGreen(185, 255, 185);
const QColor kPlayingDimGreen(145, 225, 145);

// The words of the labels and the title, in one place and through tr() so they
// can be translated. The format names WAV and MP3 stay as they are.
struct Texts {
  static QString Hertz(uint32_t rate) { return StatusDisplay::tr("%1 Hz").arg(QString::number(rate)); }
  static QString Bits(int bits) { return StatusDisplay::tr("%1 bit").arg(QString::number(bits)); }
  static QString Kbps(int32_t rate) { return StatusDisplay::tr("%1 kbps").arg(QString::number(rate)); }
  static QString KbpsRange(int32_t min, int32_t max) {
    return StatusDisplay::tr("%1-%2 kbps").arg(QString::number(min), QString::number(max));
  }
  static QString KbitPerSecond(int32_t rate) { return StatusDisplay::tr("%1 kbit/s").arg(QString::number(rate)); }
  static QString StereoDefault() { return StatusDisplay::tr("Stereo"); }
  static QString MonoCapital() { return StatusDisplay::tr("Mono"); }
  static QString Stereo() { return StatusDisplay::tr("stereo"); }
  static QString JointStereo() { return StatusDisplay::tr("joint stereo"); }
  static QString DualChannels() { return StatusDisplay::tr("dual channels"); }
  static QString Mono() { return StatusDisplay::tr("mono"); }
  static QString Monitoring() { return StatusDisplay::tr("Monitoring"); }
  static QString Recording() { return StatusDisplay::tr("Recording"); }
  static QString Playing() { return StatusDisplay::tr("Playing"); }
  static QString Pause() { return StatusDisplay::tr("Pause"); }
  static QString WaitingForSound() { return StatusDisplay::tr("Waiting for sound"); }
  static QString SilencePaused() { return StatusDisplay::tr("Paused (silence)"); }
  static QString Mark(int number) { return StatusDisplay::tr("Mark %1").arg(number); }
  // Sound the computer was too busy to keep, in seconds, after the file name.
  static QString Lost(uint32_t ms) { return StatusDisplay::tr(" (%1 s lost)").arg(ms / 1000.0, 0, 'f', 1); }
};

QString TwoCharacters(uint32_t value) {
  QString text = QString::number(value);
  if (value < 10) return "0" + text;
  return text.left(2);
}

void UpdateMp3Labels(const RecordSettings& settings, FormatLabels& labels) {
  labels.wavMp3 = "MP3";
  labels.bitsVisible = false;
  if (!settings.vbr) {
    labels.rateLeft = 180;
    labels.stereoLeft = 246;
    labels.rate = Texts::Kbps(settings.bitRate);
  } else {
    labels.rateLeft = 165;
    labels.rate = Texts::KbpsRange(settings.minBitRate, settings.maxBitRate);
  }
  switch (settings.channelMode) {
    case ChannelMode::Stereo: labels.stereo = Texts::Stereo(); labels.stereoLeft = 246; break;
    case ChannelMode::JointStereo:
      labels.stereo = Texts::JointStereo(); labels.rateLeft = 153; labels.stereoLeft = 224; break;
    case ChannelMode::DualChannel:
      labels.stereo = Texts::DualChannels(); labels.rateLeft = 153; labels.stereoLeft = 224; break;
    case ChannelMode::Mono: labels.stereo = Texts::Mono(); labels.stereoLeft = 246; break;
  }
}

// FLAC and Opus name their channels with a capital, as the labels' first
// "Stereo" does.
QString CapitalChannels(uint16_t channels) { return channels == 1 ? Texts::MonoCapital() : Texts::StereoDefault(); }

void UpdateFlacLabels(const RecordSettings& settings, FormatLabels& labels) {
  labels.wavMp3 = "FLAC";
  labels.bitsVisible = true;
  labels.rateLeft = 152;
  labels.stereoLeft = 246;
  labels.rate = Texts::Hertz(settings.sampleRate);
  labels.bits = Texts::Bits(settings.bitsPerSample);
  labels.stereo = CapitalChannels(settings.channels);
}

void UpdateOpusLabels(const RecordSettings& settings, FormatLabels& labels) {
  labels.wavMp3 = "Opus";
  labels.bitsVisible = false;
  labels.rateLeft = 165;
  labels.stereoLeft = 246;
  labels.rate = Texts::KbitPerSecond(settings.opusBitRate);
  labels.stereo = CapitalChannels(settings.channels);
}

}  // namespace

FormatLabels::FormatLabels()
    : wavMp3("MP3"), rate(Texts::Hertz(44100)), bits(Texts::Bits(16)), stereo(Texts::StereoDefault()) {}

void UpdateFormatLabels(const RecordSettings& settings, FormatLabels& labels) {
  if (settings.format == OutputFormat::Mp3) {
    UpdateMp3Labels(settings, labels);
    return;
  }
  if (settings.format == OutputFormat::Opus) {
    UpdateOpusLabels(settings, labels);
    return;
  }
  if (settings.format == OutputFormat::Flac) {
    UpdateFlacLabels(settings, labels);
    return;
  }
  labels.wavMp3 = "WAV";
  labels.bitsVisible = true;
  labels.rateLeft = 152;
  labels.stereoLeft = 246;
  labels.rate = Texts::Hertz(settings.sampleRate);
  labels.bits = Texts::Bits(settings.bitsPerSample);
  labels.stereo = settings.channels == 2 ? Texts::Stereo() : Texts::Mono();
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
  if (!state.Minimized) return kProgramName;
  QString title = Texts::Monitoring();
  if (state.Playing()) title = Texts::Playing();
  if (state.Recording()) title = QString::fromStdString(state.CurrentBaseName) + "-" + LastTimeText;
  if (state.Paused()) title = Texts::Pause();
  return title;
}

StatusLabels StatusDisplay::Labels(RecorderState& state) const {
  StatusLabels labels;
  labels.shadowVisible = Blink;
  state.StatusText = state.ArmedText.empty() ? Texts::Monitoring().toStdString() : state.ArmedText;
  labels.statusColour = kStatusGrey;
  if (state.Recording()) {
    state.StatusText = (state.ShownMark > 0 ? Texts::Mark(state.ShownMark) : Texts::Recording()).toStdString();
    labels.file = QString::fromStdString(state.ActiveFileName);
    // Sound the computer was too busy to keep: shown at once, told again after Stop.
    if (state.LostMs > 0) labels.file += Texts::Lost(state.LostMs);
    labels.statusColour = kRecordingRed;
    labels.fileColour = Blink ? kRecordingRed : kRecordingDimRed;
  }
  if (state.Playing()) {
    state.StatusText = Texts::Playing().toStdString();
    labels.file = QString::fromStdString(state.ActiveFileName);
    labels.statusColour = kPlayingGreen;
    labels.fileColour = Blink ? kPlayingGreen : kPlayingDimGreen;
  }
  if (state.mode == RecorderMode::Recording && state.wait == TakeWait::ForSound) {
    state.StatusText = Texts::WaitingForSound().toStdString();
  }
  if (state.mode == RecorderMode::Recording && state.wait == TakeWait::Silence) {
    state.StatusText = Texts::SilencePaused().toStdString();
  }
  if (state.Paused()) state.StatusText = Texts::Pause().toStdString();
  labels.status = QString::fromStdString(state.StatusText);
  return labels;
}

QString StatusDisplay::UpdateTime(const RecorderState& state) {
  LastTimeText = TimeText(state.DisplayedMs);
  return LastTimeText;
}

}  // namespace tarnovox
