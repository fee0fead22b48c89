#include "settings/setting_keys.h"

#include <strings.h>

#include <algorithm>
#include <type_traits>
#include <utility>

#include "settings/ini_file.h"

namespace tarnovox {
namespace {

constexpr const char* kFolder = "Folder";
constexpr const char* kRecord = "Record Settings";
constexpr const char* kColumns = "Grid Column Width";
constexpr const char* kSettings = "Settings";
constexpr const char* kInput = "Input";
constexpr const char* kCapture = "Capture";

// The longest StopAfter and SplitEvery taken from the file: a week.
constexpr uint32_t kMaxStopAfterSeconds = 7 * 24 * 3600;
constexpr uint32_t kMaxPreRecordSeconds = 30;
constexpr uint32_t kMaxSilencePauseSeconds = 24 * 3600;
// The quietest start level taken from the file, in dBFS: 16-bit sound ends near -90.
constexpr int32_t kQuietestStartLevel = -90;

template <auto Field>
using FieldType = std::remove_cvref_t<decltype(std::declval<RecordSettings&>().*Field)>;

std::string FlagText(bool on) { return on ? "1" : "0"; }

// A number field. Any number is taken when no values are listed, else only a
// listed one. The file's 32 bits are cut to the field's type first, as they
// always were: BitPerSample=65544 is 8 bits.
template <auto Field, FieldType<Field>... Allowed>
constexpr SettingKey Number(const char* section, const char* key) {
  return {section, key, [](const RecordSettings& s) { return std::to_string(s.*Field); },
          [](RecordSettings& s, const std::string& value) {
            const std::optional<uint32_t> number = IniFile::ParseInteger(value);
            if (!number) return;
            const auto taken = static_cast<FieldType<Field>>(*number);
            if (sizeof...(Allowed) == 0 || ((taken == Allowed) || ...)) s.*Field = taken;
          }};
}

// A switch, written "1" or "0"; any number but 0 reads as on.
template <auto Field>
constexpr SettingKey Flag(const char* section, const char* key, bool writtenOnceChosen = false) {
  return {section, key, [](const RecordSettings& s) { return FlagText(s.*Field); },
          [](RecordSettings& s, const std::string& value) {
            if (const std::optional<uint32_t> number = IniFile::ParseInteger(value)) s.*Field = *number != 0;
          },
          writtenOnceChosen};
}

template <auto Field>
constexpr SettingKey Text(const char* section, const char* key, bool writtenOnceChosen = false) {
  return {section, key, [](const RecordSettings& s) { return s.*Field; },
          [](RecordSettings& s, const std::string& value) { s.*Field = value; }, writtenOnceChosen};
}

// A number of seconds from 0 to `Max`; another value leaves the field as it
// was. Written once it is not at its default.
template <auto Field, uint32_t Max>
constexpr SettingKey Seconds(const char* section, const char* key) {
  return {section, key, [](const RecordSettings& s) { return std::to_string(s.*Field); },
          [](RecordSettings& s, const std::string& value) {
            const std::optional<uint32_t> number = IniFile::ParseInteger(value);
            if (number && *number <= Max) s.*Field = *number;
          },
          true};
}

// The start level in dBFS: -1 to the quietest, or 0 for off; another value
// leaves the field as it was. Written once it is not at its default.
constexpr SettingKey StartLevel(const char* section, const char* key) {
  return {section, key, [](const RecordSettings& s) { return std::to_string(s.startLevelDb); },
          [](RecordSettings& s, const std::string& value) {
            const std::optional<uint32_t> number = IniFile::ParseInteger(value);
            if (!number) return;
            const auto level = static_cast<int32_t>(*number);
            if (level <= 0 && level >= kQuietestStartLevel) s.startLevelDb = level;
          },
          true};
}

template <size_t Column>
constexpr SettingKey ColumnWidth(const char* key) {
  return {kColumns, key, [](const RecordSettings& s) { return std::to_string(s.columnWidths[Column]); },
          [](RecordSettings& s, const std::string& value) {
            if (const std::optional<uint32_t> number = IniFile::ParseInteger(value))
              s.columnWidths[Column] = static_cast<int32_t>(*number);
          }};
}

// The format is one field and the keys "Wav", "MP3" and "Format". Of the two
// flags only "Wav" is read: a file naming both formats records WAV, one naming
// neither MP3. "Format", read after them, names any of the four; the flags
// still say WAV for FLAC and MP3 for Opus, so that a version without "Format"
// records the nearest format it knows.
bool WavLike(OutputFormat f) { return f == OutputFormat::Wav || f == OutputFormat::Flac; }
std::string WavText(const RecordSettings& s) { return FlagText(WavLike(s.format)); }
std::string Mp3Text(const RecordSettings& s) { return FlagText(!WavLike(s.format)); }
void ReadFormat(RecordSettings& s, const std::string& value) {
  if (const std::optional<uint32_t> wav = IniFile::ParseInteger(value))
    s.format = *wav != 0 ? OutputFormat::Wav : OutputFormat::Mp3;
}

constexpr std::pair<OutputFormat, const char*> kFormatNames[] = {
    {OutputFormat::Wav, "WAV"}, {OutputFormat::Mp3, "MP3"}, {OutputFormat::Flac, "FLAC"}, {OutputFormat::Opus, "Opus"}};

std::string FormatText(const RecordSettings& s) {
  for (const auto& [format, name] : kFormatNames)
    if (format == s.format) return name;
  return "MP3";
}

// Any letter case; an unknown name leaves what the flags said.
void ReadFormatName(RecordSettings& s, const std::string& value) {
  for (const auto& [format, known] : kFormatNames)
    if (strcasecmp(value.c_str(), known) == 0) s.format = format;
}

// A file with only the flags stays as it was until FLAC or Opus is chosen.
bool NewFormatChosen(const RecordSettings& s) {
  return s.format == OutputFormat::Flac || s.format == OutputFormat::Opus;
}

// Opus bit rates from 6 to 256 kbit/s; another value keeps the default.
std::string OpusRateText(const RecordSettings& s) { return std::to_string(s.opusBitRate); }
void ReadOpusRate(RecordSettings& s, const std::string& value) {
  const std::optional<uint32_t> number = IniFile::ParseInteger(value);
  if (number && *number >= 6 && *number <= 256) s.opusBitRate = static_cast<int32_t>(*number);
}
bool OpusRateWanted(const RecordSettings& s) {
  return NewFormatChosen(s) || s.opusBitRate != RecordSettings{}.opusBitRate;
}

// The file's numbers of the channel modes. They happen to be the encoder
// library's too, but each side keeps its own.
constexpr std::pair<ChannelMode, uint32_t> kModeNumbers[] = {
    {ChannelMode::Stereo, 0}, {ChannelMode::JointStereo, 1}, {ChannelMode::DualChannel, 2}, {ChannelMode::Mono, 3}};

std::string ModeText(const RecordSettings& s) {
  const auto* mode = std::find_if(std::begin(kModeNumbers), std::end(kModeNumbers),
                                  [&](const auto& m) { return m.first == s.channelMode; });
  return std::to_string(mode->second);
}

void ReadMode(RecordSettings& s, const std::string& value) {
  const std::optional<uint32_t> number = IniFile::ParseInteger(value);
  for (const auto& [mode, stored] : kModeNumbers)
    if (number == stored) s.channelMode = mode;
}

// "Sort" 1 to 6: the name, size and date columns, each ascending then descending.
std::string SortText(const RecordSettings& s) {
  const int descending = s.listSort.order == SortOrder::Descending ? 1 : 0;
  return std::to_string(1 + 2 * static_cast<int>(s.listSort.column) + descending);
}

void ReadSort(RecordSettings& s, const std::string& value) {
  const std::optional<uint32_t> number = IniFile::ParseInteger(value);
  if (!number || *number < 1 || *number > 6) return;
  s.listSort.column = static_cast<ListColumn>((*number - 1) / 2);
  s.listSort.order = (*number - 1) % 2 == 0 ? SortOrder::Ascending : SortOrder::Descending;
}

// Defaults are those of RecordSettings.
constexpr SettingKey kKeys[] = {
    Text<&RecordSettings::folder>(kFolder, "Name"),
    {kRecord, "Wav", WavText, ReadFormat},
    Number<&RecordSettings::sampleRate, 44100u, 22050u, 11025u>(kRecord, "SamplePerSecond"),
    Number<&RecordSettings::bitsPerSample, 16, 8>(kRecord, "BitPerSample"),
    Number<&RecordSettings::channels, 2, 1>(kRecord, "Channels"),
    {kRecord, "MP3", Mp3Text, nullptr},
    Number<&RecordSettings::bitRate>(kRecord, "BitRate"),
    {kRecord, "Mode", ModeText, ReadMode},
    Flag<&RecordSettings::vbr>(kRecord, "VBR"),
    Number<&RecordSettings::minBitRate>(kRecord, "MinBitRate"),
    Number<&RecordSettings::maxBitRate>(kRecord, "MaxBitRate"),
    Number<&RecordSettings::vbrQuality>(kRecord, "VBRQuality"),
    Flag<&RecordSettings::copyright>(kRecord, "Copyright"),
    Flag<&RecordSettings::original>(kRecord, "Original"),
    Flag<&RecordSettings::privateFlag>(kRecord, "Private"),
    {kRecord, "Format", FormatText, ReadFormatName, true, NewFormatChosen},
    {kRecord, "OpusBitRate", OpusRateText, ReadOpusRate, true, OpusRateWanted},
    ColumnWidth<0>("Col0"),
    ColumnWidth<1>("Col1"),
    ColumnWidth<2>("Col2"),
    {kSettings, "Sort", SortText, ReadSort},
    Flag<&RecordSettings::trayIcon>(kSettings, "TrayIcon", true),
    Flag<&RecordSettings::notify>(kSettings, "Notify", true),
    Text<&RecordSettings::inputSource>(kInput, "Source", true),
    Seconds<&RecordSettings::preRecordSeconds, kMaxPreRecordSeconds>(kCapture, "PreRecord"),
    Seconds<&RecordSettings::stopAfterSeconds, kMaxStopAfterSeconds>(kCapture, "StopAfter"),
    Seconds<&RecordSettings::splitEverySeconds, kMaxStopAfterSeconds>(kCapture, "SplitEvery"),
    StartLevel(kCapture, "StartLevel"),
    Seconds<&RecordSettings::silencePauseSeconds, kMaxSilencePauseSeconds>(kCapture, "SilencePause"),
};

}  // namespace

std::span<const SettingKey> SettingKeys() { return kKeys; }

}  // namespace tarnovox
