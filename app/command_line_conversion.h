#pragma once
// `tarnovox --convert FORMAT FILE...`: converts each WAV file into the format,
// beside it under the same name, with as many encoders as there are cores. It
// needs no display and no sound server, so it works over ssh. Progress goes to
// `err`; the exit status is 0 when every file was converted, 1 otherwise, each
// failure named.
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "settings/record_settings.h"

namespace tarnovox {

int ConvertFromCommandLine(const std::string& format, const std::vector<std::string>& files,
                           const RecordSettings& settings, DynamicLibraryLoader& loader, std::ostream& err,
                           unsigned workers = 0);

}  // namespace tarnovox
