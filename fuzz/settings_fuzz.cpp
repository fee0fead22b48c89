// The INI parser, and the settings loaded from the input, saved and loaded
// again: the second load must give what the first one did.
#include "fuzz/fuzz_input.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniFile parsed = IniFile::Parse(text);
  // Writing the document out and parsing it again changes nothing.
  const std::string once = parsed.Text();
  if (IniFile::Parse(once).Text() != once) fuzz::Fail("text not stable");
  parsed.ReadInteger("Record Settings", "Channels", 2);

  const fuzz::InputFile file(data, size, ".INI");
  RecordSettings loaded;
  SettingsStore store(loaded, file.Path());
  store.LoadSettings();
  // A folder or an input holding a line break cannot be written to one INI
  // line: the save says so and keeps the line that was there.
  const bool writable = loaded.folder.find_first_of("\r\n") == std::string::npos &&
                        loaded.inputSource.find_first_of("\r\n") == std::string::npos;
  if (store.SaveSettings() != writable) fuzz::Fail("settings not saved, or a line break written");
  RecordSettings reloaded;
  reloaded.folder = "something else";
  SettingsStore(reloaded, file.Path()).LoadSettings();
  if (reloaded != loaded) fuzz::Fail("settings loaded back differ from those saved");
  return 0;
}
