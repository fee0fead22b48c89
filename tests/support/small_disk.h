#pragma once
// A real file system that fills up: a private tmpfs of a few hundred KiB
// mounted on a fresh folder (needs root; Available() says whether it could be
// made), or on a given folder for the life of the object. Leave(bytes) fills
// it so that about that many bytes still fit.
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

class SmallDisk {
 public:
  explicit SmallDisk(const std::string& size = "1m", const std::string& over = "")
      : path_(over.empty() ? folder_.Path() : over) {
    mounted_ = ::geteuid() == 0 &&
               ::mount("tmpfs", path_.c_str(), "tmpfs", 0, ("size=" + size + ",mode=0755").c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Available() const { return mounted_; }
  // Makes the mounted disk refuse every write, root's as well.
  bool RemountReadOnly() const {
    return mounted_ && ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  std::string Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // Fills the disk with a hidden file until only about `bytes` (rounded down to
  // whole 4 KiB pages) are free.
  void Leave(uint64_t bytes) const {
    struct statvfs info {};
    ::statvfs(path_.c_str(), &info);
    const uint64_t free = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    if (free <= bytes) return;
    std::ofstream(File(".fill"), std::ios::binary) << std::string(free - bytes, '\0');
  }

 private:
  TempFolder folder_;
  std::string path_;
  bool mounted_ = false;
};

}  // namespace tarnovox::testing
