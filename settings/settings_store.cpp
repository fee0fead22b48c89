#include "settings/settings_store.h"

#include <filesystem>
#include <optional>

#include "settings/ini_file.h"

namespace tarnovox {
namespace {

constexpr const char* kRecord = "Record Settings";
constexpr const char* kColumns = "Grid Column Width";
constexpr const char* kInput = "Input";
constexpr const char* kSource = "Source";

int32_t AsSigned(uint32_t value) { return static_cast<int32_t>(value); }
std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

SettingsStore::SettingsStore(RecordSettings& settings, std::string iniPath)
    : settings_(settings), iniPath_(std::move(iniPath)) {}

std::string SettingsStore::IniPathFor(const std::string& executablePath, bool executableFolderWritable,
                                      const std::string& configHome) {
  std::filesystem::path exe(executablePath);
  std::filesystem::path ini = exe;
  ini.replace_extension(".INI");
  if (executableFolderWritable) return ini.string();
  return (std::filesystem::path(configHome) / "tarnovox" / ini.filename()).string();
}

void SettingsStore::LoadSettings() {
  RecordSettings& s = settings_;
  const RecordSettings defaults;
  s.SamplePerSecond = defaults.SamplePerSecond;
  s.BitPerSample = defaults.BitPerSample;
  s.Channels = defaults.Channels;
  s.Sort = defaults.Sort;
  s.BitRate = defaults.BitRate;
  s.Mode = defaults.Mode;

  const std::optional<IniFile> file = IniFile::Read(iniPath_);
  // The defaults stand in for a file that cannot be read, but must never
  // replace it at exit: it may hold the user's settings.
  unreadable_ = !file.has_value();
  const IniFile ini = file.value_or(IniFile{});
  auto read = [&](const char* section, const char* key, int64_t fallback) {
    return ini.ReadInteger(section, key, static_cast<uint32_t>(fallback));
  };
  s.Folder = ini.Value("Folder", "Name").value_or(defaults.Folder);
  s.Wav = read(kRecord, "Wav", defaults.Wav) != 0;
  s.SamplePerSecond = read(kRecord, "SamplePerSecond", defaults.SamplePerSecond);
  s.BitPerSample = static_cast<uint16_t>(read(kRecord, "BitPerSample", defaults.BitPerSample));
  s.Channels = static_cast<uint16_t>(read(kRecord, "Channels", defaults.Channels));
  // A hand-edited WAV format the capture does not offer would reach the
  // device, the header and the meters: the default format stands in for it.
  if (s.SamplePerSecond != 44100 && s.SamplePerSecond != 22050 && s.SamplePerSecond != 11025)
    s.SamplePerSecond = defaults.SamplePerSecond;
  if (s.BitPerSample != 8 && s.BitPerSample != 16) s.BitPerSample = defaults.BitPerSample;
  if (s.Channels != 1 && s.Channels != 2) s.Channels = defaults.Channels;
  s.MP3 = read(kRecord, "MP3", defaults.MP3) != 0;
  // Exactly one format: a hand-edited file naming both records WAV, naming
  // neither records MP3, so two writers never share one take.
  if (s.Wav && s.MP3) s.MP3 = false;
  if (!s.Wav && !s.MP3) s.MP3 = true;
  s.BitRate = AsSigned(read(kRecord, "BitRate", defaults.BitRate));
  s.Mode = AsSigned(read(kRecord, "Mode", defaults.Mode));
  // The MP3 switches are stored as "1"/"0" and kept as 0 or all bits set.
  auto flag32 = [&](const char* key) { return read(kRecord, key, 0) != 0 ? kOn32 : 0; };
  s.VBR = flag32("VBR");
  s.MinBitRate = AsSigned(read(kRecord, "MinBitRate", defaults.MinBitRate));
  s.MaxBitRate = AsSigned(read(kRecord, "MaxBitRate", defaults.MaxBitRate));
  s.VBRQuality = AsSigned(read(kRecord, "VBRQuality", defaults.VBRQuality));
  s.Copyright = flag32("Copyright");
  s.Original = flag32("Original");
  s.Private = flag32("Private");
  s.Col0 = AsSigned(read(kColumns, "Col0", defaults.Col0));
  s.Col1 = AsSigned(read(kColumns, "Col1", defaults.Col1));
  s.Col2 = AsSigned(read(kColumns, "Col2", defaults.Col2));
  s.Sort = AsSigned(read("Settings", "Sort", defaults.Sort));
  s.Source = ini.Value(kInput, kSource).value_or(defaults.Source);
}

bool SettingsStore::SaveSettings() {
  const RecordSettings& s = settings_;
  std::optional<IniFile> file = IniFile::Read(iniPath_);
  if (unreadable_ || !file) return false;
  IniFile& ini = *file;
  auto number = [](int64_t value) { return std::to_string(value); };
  // A folder with a line break keeps the folder saved before; the rest is
  // saved and the user is told.
  const bool folderSaved = ini.SetValue("Folder", "Name", s.Folder);
  ini.SetValue(kRecord, "Wav", Flag(s.Wav));
  ini.SetValue(kRecord, "SamplePerSecond", number(s.SamplePerSecond));
  ini.SetValue(kRecord, "BitPerSample", number(s.BitPerSample));
  ini.SetValue(kRecord, "Channels", number(s.Channels));
  ini.SetValue(kRecord, "MP3", Flag(s.MP3));
  ini.SetValue(kRecord, "BitRate", number(s.BitRate));
  ini.SetValue(kRecord, "Mode", number(s.Mode));
  ini.SetValue(kRecord, "VBR", Flag(s.VBR != 0));
  ini.SetValue(kRecord, "MinBitRate", number(s.MinBitRate));
  ini.SetValue(kRecord, "MaxBitRate", number(s.MaxBitRate));
  ini.SetValue(kRecord, "VBRQuality", number(s.VBRQuality));
  ini.SetValue(kRecord, "Copyright", Flag(s.Copyright != 0));
  ini.SetValue(kRecord, "Original", Flag(s.Original != 0));
  ini.SetValue(kRecord, "Private", Flag(s.Private != 0));
  ini.SetValue(kColumns, "Col0", number(s.Col0));
  ini.SetValue(kColumns, "Col1", number(s.Col1));
  ini.SetValue(kColumns, "Col2", number(s.Col2));
  ini.SetValue("Settings", "Sort", number(s.Sort));
  // The default input needs no line: a file that never chose one stays as it
  // was. One that did is set back to it.
  const bool sourceSaved = (s.Source.empty() && !ini.Value(kInput, kSource)) || ini.SetValue(kInput, kSource, s.Source);

  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(iniPath_).parent_path(), error);
  return ini.Save(iniPath_) && folderSaved && sourceSaved;
}

}  // namespace tarnovox
