#pragma once
#include <string>

namespace tarnovox {

// Tells whether a folder lies on a CD or DVD, where nothing can be recorded.
class DriveInfo {
 public:
  virtual ~DriveInfo() = default;
  virtual bool IsCdRom(const std::string& folder) const = 0;
};

// Linux: the folder's file system is iso9660 or udf.
class StatfsDriveInfo final : public DriveInfo {
 public:
  bool IsCdRom(const std::string& folder) const override;
};

}  // namespace tarnovox
