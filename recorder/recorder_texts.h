#pragma once
// What the recorder tells the user, in one place and through the translation
// catalogue (the English texts are the program's own, word for word).
#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tarnovox::recorder_texts {

inline std::string Tr(const char* text) { return QCoreApplication::translate("Recorder", text).toStdString(); }

inline std::string OnCdRom() { return Tr("Can not save to CDROM drive"); }
inline std::string AllNamesTaken(const std::string& folder) {
  return Tr("Can not record: the files record1 to record100000 all exist in ") + folder;
}
inline std::string CannotCreateFolder(const std::string& folder) { return Tr("Can not create ") + folder; }
inline std::string CannotSaveSettings(const std::string& ini) { return Tr("Can not save the settings to ") + ini; }
// The take ended because its sound stopped coming, and its file could not be
// completed: `failure` is the writer's text.
inline std::string IncompleteTake(const std::string& file, const std::string& failure) {
  return Tr("The recording \"") + file + Tr("\" could not be completely written. ") + failure;
}
// "2.4 seconds of sound were lost because the computer was too busy."
inline std::string LostSound(uint32_t lostMs) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", lostMs < 100 ? 0.1 : lostMs / 1000.0);
  return std::string(seconds) + Tr(" seconds of sound were lost because the computer was too busy.");
}

}  // namespace tarnovox::recorder_texts
