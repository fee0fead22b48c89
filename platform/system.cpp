#include <sys/statfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "platform/drive_info.h"
#include "platform/process_info.h"

namespace tarnovox {

bool StatfsDriveInfo::IsCdRom(const std::string& folder) const {
  constexpr long kIso9660Magic = 0x9660;
  constexpr long kUdfMagic = 0x15013346;
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return false;
  return info.f_type == kIso9660Magic || info.f_type == kUdfMagic;
}

std::string ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

bool FolderWritable(const std::string& folder) {
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

}  // namespace tarnovox
