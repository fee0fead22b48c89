#pragma once
// What the record settings dialog's controls hold, and the rules that carry
// RecordSettings into them when the dialog is shown and back when it closes.
// Kept apart from the widgets so the mapping of unlisted values can be tested
// on its own.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_sources.h"
#include "settings/record_settings.h"

namespace tarnovox {

// The 14 rates of the bit-rate, minimum and maximum lists, item 0 to 13.
inline constexpr std::array<int32_t, 14> kMp3BitRates = {32,  40,  48,  56,  64,  80,  96,
                                                         112, 128, 160, 192, 224, 256, 320};
// The Opus bit-rate list, item 0 to 14.
inline constexpr std::array<int32_t, 15> kOpusBitRates = {6, 8, 12, 16, 24, 32, 48, 64, 80, 96, 112, 128, 160, 192, 256};
// The WAV page's file formats, item 0 to 2: they share its channels, FLAC its
// rate and bits too.
inline constexpr std::array<OutputFormat, 3> kWavPageFormats = {OutputFormat::Wav, OutputFormat::Flac,
                                                                OutputFormat::Opus};
inline constexpr int kVbrQualityBest = 0;
inline constexpr int kVbrQualityWorst = 9;

// Item indices of the lists, the check boxes and the active page. The defaults
// are the selections the dialog starts with when it is created.
struct RecSettingsControls {
  bool wavPageActive = false;
  int wavRateItem = 0;     // "44100 Hz", "22050 Hz ", "11025 Hz "
  int wavChannelItem = 0;  // "stereo", "mono"
  int wavBitsItem = 0;     // "16 bit", "8  bit"
  int wavFileItem = 0;     // "WAV", "FLAC", "Opus"
  int opusBitRateItem = 9;  // 96
  int bitRateItem = 8;     // 128
  int modeItem = 0;        // "stereo", "joint stereo", "mono"
  bool vbr = false;
  int minBitRateItem = 0;   // 32
  int maxBitRateItem = 13;  // 320
  int vbrQuality = 0;
  bool copyright = false;
  bool original = false;
  bool privateFlag = false;
  std::string source;  // the input list's choice, as RecordSettings::inputSource
  // The capture page, in the settings' units; 0 seconds is "off".
  int preRecordSeconds = 0;
  int stopAfterSeconds = 0;
  int splitEverySeconds = 0;
  bool startLevelOn = false;
  int startLevelDb = -30;  // shown, greyed, while the start level is off
  int silencePauseSeconds = 0;

  bool operator==(const RecSettingsControls&) const = default;
};

// One item of the input list: its text and the source it stands for.
struct InputChoice {
  std::string text;
  std::string source;

  bool operator==(const InputChoice&) const = default;
};

// The input list: "Default input", every source by its description (with its
// name in brackets where two sources share one), "What this computer plays".
// The default output's monitor is that last item rather than one of its own,
// unless it was chosen by name. A chosen source the server does not have now
// stays in the list under its name, so showing the dialog never changes the
// choice.
std::vector<InputChoice> InputChoices(const std::vector<InputSource>& sources, const std::string& chosen);

// The dialog opens: settings to controls. An unlisted sample rate or channel
// mode (dual channel) leaves that list's selection as it was (the dialog
// object is reused).
void SettingsToControls(const RecordSettings& settings, RecSettingsControls& controls);

// The dialog closes: controls to settings, the WAV and the MP3 fields alike
// whichever page is active. Only the fields the dialog edits are written.
void ControlsToSettings(const RecSettingsControls& controls, RecordSettings& settings);

// The item of the rate list that shows `rate`: the listed rate itself, or for
// an unlisted one the nearest listed rate (the lower one on a tie).
int NearestBitRateItem(int32_t rate);
int NearestOpusBitRateItem(int32_t rate);

// Whether the two records differ in a field the dialog edits.
bool DialogFieldsDiffer(const RecordSettings& a, const RecordSettings& b);

// Copies the fields the dialog edits from `from` into `to`.
void CopyDialogFields(const RecordSettings& from, RecordSettings& to);

}  // namespace tarnovox
