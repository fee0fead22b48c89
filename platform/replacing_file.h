#pragma once
// A new file that takes a target's name only once it is complete. It is
// written as a hidden ".<name>.XXXXXX.part" beside the target (same file
// system, so the final rename is atomic, and the recordings list does not show
// it) and removed again unless Commit succeeds, so a failed or cancelled
// write leaves the target exactly as it was.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnovox {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile() { Discard(); }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the part file exclusively; false with Error() when it cannot.
  bool Create(const std::string& target);
  // Writes all bytes (short writes are continued); false with Error().
  bool Write(const uint8_t* data, size_t bytes);
  // Flushes the part file to the disk, closes it and renames it to the target.
  // Without `mayReplace` a target that exists by then is kept and Commit fails
  // with EEXIST. On failure the part file is removed.
  bool Commit(bool mayReplace);
  // Closes and removes the part file, if any.
  void Discard();
  // For a writer that creates the part file itself: the part's name, free
  // now (the reserved file is removed again), so Commit of that file is
  // CommitWritten.
  bool ReserveName(const std::string& target);
  // Renames the part file, written, synced and closed by someone else, to
  // the target as Commit does; on failure it is removed.
  bool CommitWritten(bool mayReplace);

  // errno of the last failure.
  int Error() const { return error_; }
  // Empty before Create and after Commit or Discard.
  const std::string& PartPath() const { return partPath_; }

 private:
  bool Fail();
  bool Rename(bool mayReplace);

  int fd_ = -1;
  int error_ = 0;
  std::string target_;
  std::string partPath_;
};

}  // namespace tarnovox
