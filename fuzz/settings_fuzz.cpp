// The INI parser, and the settings loaded from the input, saved and loaded
// again: the second load must give what the first one did.
#include <tuple>

#include "fuzz/fuzz_input.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

using namespace tarnovox;

namespace {

auto Fields(const RecordSettings& s) {
  return std::tie(s.Folder, s.Wav, s.SamplePerSecond, s.BitPerSample, s.Channels, s.MP3, s.BitRate, s.Mode, s.VBR,
                  s.MinBitRate, s.MaxBitRate, s.VBRQuality, s.Copyright, s.Original, s.Private, s.Col0, s.Col1,
                  s.Col2, s.Sort, s.Source);
}

}  // namespace

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
  const bool writable = loaded.Folder.find_first_of("\r\n") == std::string::npos &&
                        loaded.Source.find_first_of("\r\n") == std::string::npos;
  if (store.SaveSettings() != writable) fuzz::Fail("settings not saved, or a line break written");
  RecordSettings reloaded;
  reloaded.Folder = "something else";
  SettingsStore(reloaded, file.Path()).LoadSettings();
  if (Fields(reloaded) != Fields(loaded)) fuzz::Fail("settings loaded back differ from those saved");
  return 0;
}
