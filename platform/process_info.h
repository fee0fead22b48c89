#pragma once
#include <string>

namespace tarnovox {

// Full path of the running executable (/proc/self/exe).
std::string ExecutablePath();
// True when the current user may create files in the folder.
bool FolderWritable(const std::string& folder);
// $name when set and not empty, else the fallback.
std::string EnvOr(const char* name, const std::string& fallback);

}  // namespace tarnovox
