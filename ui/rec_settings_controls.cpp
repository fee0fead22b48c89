#include "ui/rec_settings_controls.h"

#include "platform/capture_stream.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace tarnovox {
namespace {

constexpr std::array<uint32_t, 3> kWavRates = {44100, 22050, 11025};
constexpr std::array<ChannelMode, 3> kModes = {ChannelMode::Stereo, ChannelMode::JointStereo, ChannelMode::Mono};

// -1 when `value` is not listed.
template <typename List, typename Value>
int ItemOf(const List& list, Value value) {
  auto it = std::find(list.begin(), list.end(), value);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// The lists are pick-only and never empty, so an index is always one of their
// items; clamping only guards against a caller's stray value.
template <typename List>
auto ItemValue(const List& list, int item) {
  return list[static_cast<size_t>(std::clamp(item, 0, static_cast<int>(list.size()) - 1))];
}

// The input list's first item, translated with the record settings dialog's texts.
std::string DefaultInputText() {
  return QCoreApplication::translate("RecordSettingsDialog", "Default input").toStdString();
}

// The fields the dialog edits, in one place for comparing and copying.
template <typename Settings>
auto DialogFields(Settings& s) {
  return std::tie(s.format, s.sampleRate, s.bitsPerSample, s.channels, s.bitRate, s.channelMode, s.vbr,
                  s.minBitRate, s.maxBitRate, s.vbrQuality, s.copyright, s.original, s.privateFlag, s.inputSource,
                  s.preRecordSeconds, s.stopAfterSeconds, s.splitEverySeconds, s.startLevelDb, s.silencePauseSeconds,
                  s.opusBitRate);
}

template <typename List>
int NearestItem(const List& list, int32_t rate) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(list.size()); ++i) {
    int64_t distance = std::llabs(int64_t{rate} - list[i]);
    if (distance < std::llabs(int64_t{rate} - list[best])) best = i;
  }
  return best;
}

}  // namespace

int NearestBitRateItem(int32_t rate) { return NearestItem(kMp3BitRates, rate); }
int NearestOpusBitRateItem(int32_t rate) { return NearestItem(kOpusBitRates, rate); }

std::vector<InputChoice> InputChoices(const std::vector<InputSource>& sources, const std::string& chosen) {
  std::vector<InputChoice> choices{{DefaultInputText(), ""}};
  std::vector<const InputSource*> listed;
  for (const InputSource& source : sources)
    if (!source.defaultOutputMonitor || source.name == chosen) listed.push_back(&source);
  for (const InputSource* source : listed) {
    const auto shared = std::count_if(listed.begin(), listed.end(), [&](const InputSource* other) {
      return other->description == source->description;
    });
    std::string text = source->description.empty() ? source->name : source->description;
    if (shared > 1 && !source->description.empty()) text += " (" + source->name + ")";
    choices.push_back({text, source->name});
  }
  choices.push_back({kDefaultOutputMonitorText, kDefaultOutputMonitor});
  const bool known = std::any_of(choices.begin(), choices.end(), [&](const InputChoice& c) { return c.source == chosen; });
  if (!known) choices.push_back({chosen, chosen});
  return choices;
}

void SettingsToControls(const RecordSettings& settings, RecSettingsControls& controls) {
  const int fileItem = ItemOf(kWavPageFormats, settings.format);
  controls.wavPageActive = fileItem >= 0;
  if (fileItem >= 0) controls.wavFileItem = fileItem;
  controls.opusBitRateItem = NearestOpusBitRateItem(settings.opusBitRate);
  if (int item = ItemOf(kWavRates, settings.sampleRate); item >= 0) controls.wavRateItem = item;
  controls.wavChannelItem = settings.channels == 1 ? 1 : 0;
  controls.wavBitsItem = settings.bitsPerSample == 8 ? 1 : 0;
  controls.bitRateItem = NearestBitRateItem(settings.bitRate);
  if (int item = ItemOf(kModes, settings.channelMode); item >= 0) controls.modeItem = item;
  int minItem = ItemOf(kMp3BitRates, settings.minBitRate);
  controls.minBitRateItem = minItem >= 0 ? minItem : 0;
  int maxItem = ItemOf(kMp3BitRates, settings.maxBitRate);
  controls.maxBitRateItem = maxItem >= 0 ? maxItem : static_cast<int>(kMp3BitRates.size()) - 1;
  controls.vbrQuality = std::clamp<int32_t>(settings.vbrQuality, kVbrQualityBest, kVbrQualityWorst);
  controls.vbr = settings.vbr;
  controls.copyright = settings.copyright;
  controls.original = settings.original;
  controls.privateFlag = settings.privateFlag;
  controls.source = settings.inputSource;
  controls.preRecordSeconds = static_cast<int>(settings.preRecordSeconds);
  controls.stopAfterSeconds = static_cast<int>(settings.stopAfterSeconds);
  controls.splitEverySeconds = static_cast<int>(settings.splitEverySeconds);
  controls.startLevelOn = settings.startLevelDb != 0;
  if (controls.startLevelOn) controls.startLevelDb = settings.startLevelDb;
  controls.silencePauseSeconds = static_cast<int>(settings.silencePauseSeconds);
}

void ControlsToSettings(const RecSettingsControls& controls, RecordSettings& settings) {
  settings.format = controls.wavPageActive ? ItemValue(kWavPageFormats, controls.wavFileItem) : OutputFormat::Mp3;
  settings.opusBitRate = ItemValue(kOpusBitRates, controls.opusBitRateItem);
  settings.sampleRate = ItemValue(kWavRates, controls.wavRateItem);
  settings.channels = controls.wavChannelItem == 1 ? 1 : 2;
  settings.bitsPerSample = controls.wavBitsItem == 1 ? 8 : 16;
  settings.bitRate = ItemValue(kMp3BitRates, controls.bitRateItem);
  settings.channelMode = ItemValue(kModes, controls.modeItem);
  settings.vbr = controls.vbr;
  // No relation between minimum and maximum is enforced: they are stored as chosen.
  settings.minBitRate = ItemValue(kMp3BitRates, controls.minBitRateItem);
  settings.maxBitRate = ItemValue(kMp3BitRates, controls.maxBitRateItem);
  settings.vbrQuality = std::clamp(controls.vbrQuality, kVbrQualityBest, kVbrQualityWorst);
  settings.copyright = controls.copyright;
  settings.original = controls.original;
  settings.privateFlag = controls.privateFlag;
  settings.inputSource = controls.source;
  settings.preRecordSeconds = static_cast<uint32_t>(std::max(controls.preRecordSeconds, 0));
  settings.stopAfterSeconds = static_cast<uint32_t>(std::max(controls.stopAfterSeconds, 0));
  settings.splitEverySeconds = static_cast<uint32_t>(std::max(controls.splitEverySeconds, 0));
  settings.startLevelDb = controls.startLevelOn ? std::clamp(controls.startLevelDb, -90, -1) : 0;
  settings.silencePauseSeconds = static_cast<uint32_t>(std::max(controls.silencePauseSeconds, 0));
}

bool DialogFieldsDiffer(const RecordSettings& a, const RecordSettings& b) {
  return DialogFields(a) != DialogFields(b);
}

void CopyDialogFields(const RecordSettings& from, RecordSettings& to) {
  DialogFields(to) = DialogFields(from);
}

}  // namespace tarnovox
