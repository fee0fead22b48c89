#pragma once
#include <string>

#include "settings/record_settings.h"

namespace tarnovox {

// Loads RecordSettings from the INI file at start-up and writes it back at
// exit, key by key as the table of settings/setting_keys.h says.
class SettingsStore {
 public:
  SettingsStore(RecordSettings& settings, std::string iniPath);

  // Missing file, section or key gives the default, and so does a value the
  // setting does not take (a format the capture does not offer, an unknown
  // channel mode or sort order).
  void LoadSettings();
  // Writes the 19 keys in their order, then the input ([Input] Source) unless
  // it is the default one and the file never named one, keeping everything
  // else in the file. Returns false when the file cannot be written, when it
  // exists but could not be read (it is then left alone), or when the folder
  // or the input holds a line break (the one saved before is kept).
  bool SaveSettings();

  const std::string& IniPath() const { return iniPath_; }

  // Where the settings file of an executable lies: beside it, with ".INI" in
  // place of its extension, when its folder is writable; otherwise the same
  // name under configHome/tarnovox, so an installed program keeps its settings.
  static std::string IniPathFor(const std::string& executablePath, bool executableFolderWritable,
                                const std::string& configHome);

 private:
  RecordSettings& settings_;
  std::string iniPath_;
  bool unreadable_ = false;  // the file existed at load but could not be read
};

}  // namespace tarnovox
