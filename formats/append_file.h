#pragma once
// A new output file that grows by whole appends: created exclusively (nothing
// existing is ever truncated), written without a library buffer that could
// lose bytes on a full disk, and cut back to the last complete append when an
// append fails, so the file always ends on a unit its reader understands
// (for an MP3, a whole frame).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/write_fully.h"

namespace tarnovox {

// Syncs and closes `fd`; the system's reason when either failed (a file system
// that cannot sync, EINVAL, has still written what it was given).
std::string SyncAndClose(int fd);
// Calls create() until it succeeds. When the name was taken between the check
// and the creation (nameTaken()), nextName() must choose the next free one, up
// to 100 times. Returns "" or the last creation's error.
std::string CreateUnderAFreeName(const std::function<std::string()>& create,
                                 const std::function<bool()>& nameTaken, const std::function<bool()>& nextName);

class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile() { (void)Close(); }

  // Returns an empty string or "Cannot create file "%s". %s"; NameTaken() then
  // tells whether the name existed already.
  std::string Create(const std::string& path);
  // Appends all bytes or returns the system's reason (the file then ends with
  // the previous append).
  std::string Append(const uint8_t* data, size_t bytes);
  // Writes over bytes already in the file (a header completed at the end);
  // the system's reason on failure.
  std::string Overwrite(uint64_t offset, const uint8_t* data, size_t bytes);
  // Hands what was written to the disk (sync) and closes; the reason on failure.
  std::string Sync();
  std::string Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool NameTaken() const { return nameTaken_; }
  uint64_t Size() const { return size_; }

 private:
  static constexpr uint64_t kWriteBackStretch = 1 << 20;

  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t writeBackStarted_ = 0;
  bool nameTaken_ = false;
};

}  // namespace tarnovox
