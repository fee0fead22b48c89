#include "settings/settings_store.h"

#include <filesystem>
#include <optional>

#include "settings/ini_file.h"
#include "settings/setting_keys.h"

namespace tarnovox {

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
  const std::optional<IniFile> file = IniFile::Read(iniPath_);
  // The defaults stand in for a file that cannot be read, but must never
  // replace it at exit: it may hold the user's settings.
  unreadable_ = !file.has_value();
  const IniFile ini = file.value_or(IniFile{});
  RecordSettings loaded;
  for (const SettingKey& key : SettingKeys()) {
    if (!key.read) continue;
    if (const std::optional<std::string> value = ini.Value(key.section, key.key)) key.read(loaded, *value);
  }
  settings_ = loaded;
}

bool SettingsStore::SaveSettings() {
  std::optional<IniFile> file = IniFile::Read(iniPath_);
  if (unreadable_ || !file) return false;
  IniFile& ini = *file;
  const RecordSettings defaults;
  // A folder or input with a line break keeps the one saved before; the rest
  // is saved and the user is told.
  bool everyKeySaved = true;
  for (const SettingKey& key : SettingKeys()) {
    const std::string value = key.write(settings_);
    const bool wanted = key.wanted ? key.wanted(settings_) : value != key.write(defaults);
    if (key.writtenOnceChosen && !wanted && !ini.Value(key.section, key.key)) continue;
    everyKeySaved = ini.SetValue(key.section, key.key, value) && everyKeySaved;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(iniPath_).parent_path(), error);
  return ini.Save(iniPath_) && everyKeySaved;
}

}  // namespace tarnovox
