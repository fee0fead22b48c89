#pragma once
// The rules behind the main window's text labels: the time text, the format
// labels with their positions, the status word with its colours and blinking
// shadow, the folder label and the title while minimized. No widgets, so the
// rules can be checked without a display.
#include <QColor>
#include <QCoreApplication>
#include <QString>
#include <cstdint>

#include "recorder/recorder_state.h"
#include "settings/record_settings.h"

namespace tarnovox {

// Texts, visibility and left edges of the format, rate, bits and channels labels.
struct FormatLabels {
  FormatLabels();  // "MP3", "44100 Hz", "16 bit", "Stereo" in their WAV places

  QString wavMp3;
  QString rate;
  QString bits;
  QString stereo;
  bool bitsVisible = true;
  int rateLeft = 152;
  int stereoLeft = 246;
};

// Writes the output format of the settings into the labels. Where a rule says
// nothing about a position (MP3 stereo or mono), the position stays as it was.
void UpdateFormatLabels(const RecordSettings& settings, FormatLabels& labels);

// "hh:mm:ss" of a millisecond count. A number of three or more digits keeps
// its first two, as the two-character fields of the time display do.
QString TimeText(uint32_t ms);

// The folder as the folder label shows it: whole up to 55 characters, else its
// first 55 characters followed by "...".
QString ShortFolder(const QString& folder);

// What one status tick shows in the status label, its shadow and the file labels.
struct StatusLabels {
  QString status;
  QColor statusColour;
  bool shadowVisible = false;
  QString file;
  QColor fileColour;
};

class StatusDisplay {
  Q_DECLARE_TR_FUNCTIONS(StatusDisplay)

 public:
  static constexpr int kFolderChars = 55;

  // The application title: "Tarnovox", or while minimized the recorder's mode,
  // with the running recording's name and time ("record3-00:01:05").
  QString Title(const RecorderState& state) const;
  // The status word and file name of the current mode; also sets StatusText.
  StatusLabels Labels(RecorderState& state) const;
  // Produces the time text of DisplayedMs and remembers it for the title.
  QString UpdateTime(const RecorderState& state);
  void ToggleBlink() { Blink = !Blink; }

  bool Blink = false;
  QString LastTimeText = "00:00:00";
};

}  // namespace tarnovox
