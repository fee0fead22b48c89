#pragma once
// The keys of the settings file: one table, read by the load and written by
// the save in its order, so a setting is added in one line.
#include <span>
#include <string>

#include "settings/record_settings.h"

namespace tarnovox {

// One key of the file: where it lives, and how the typed field it holds is
// spelt there.
struct SettingKey {
  const char* section;
  const char* key;
  // The field as the file holds it: "1"/"0", a decimal number or the text.
  std::string (*write)(const RecordSettings& settings);
  // Takes the key's value from the file into the field. A number is read as
  // the profile functions read it; a value that is no number, or one the
  // field does not take, leaves the field as it was (the default, at load).
  // Null for a key that is written but never read (see "MP3").
  void (*read)(RecordSettings& settings, const std::string& value);
  // A field left at its default adds no line to a file that has none for it,
  // so files from before the key existed stay as they were.
  bool writtenOnceChosen = false;
  // For such a key: whether the settings need the line in a file that has
  // none; without it, whether the field is off its default.
  bool (*wanted)(const RecordSettings& settings) = nullptr;
};

// Every key in the order the file holds them: the 19 keys of the four
// sections "Folder", "Record Settings", "Grid Column Width" and "Settings",
// then the keys that appear once chosen: "TrayIcon" and "Notify" of
// "Settings", "Input" and "Capture". "Format" and "OpusBitRate" join
// "Record Settings" once FLAC or Opus is chosen.
std::span<const SettingKey> SettingKeys();

}  // namespace tarnovox
