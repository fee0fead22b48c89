#include "formats/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "formats/wave_format.h"

namespace tarnovox {
namespace {

// EINVAL: the file system cannot sync (a pipe-like or special file system); what
// it was given is written all the same.
std::string Reason(int error) { return error == 0 || error == EINVAL ? std::string() : std::strerror(error); }

}  // namespace

std::string SyncAndClose(int fd) {
  int error = ::fsync(fd) == 0 ? 0 : errno;
  if (::close(fd) != 0 && (error == 0 || error == EINVAL)) error = errno;
  return Reason(error);
}

std::string CreateUnderAFreeName(const std::function<std::string()>& create,
                                 const std::function<bool()>& nameTaken, const std::function<bool()>& nextName) {
  for (int attempt = 0;; ++attempt) {
    std::string error = create();
    if (error.empty() || !nameTaken() || attempt >= 100 || !nextName || !nextName()) return error;
  }
}

std::string AppendFile::Create(const std::string& path) {
  (void)Close();
  size_ = 0;
  writeBackStarted_ = 0;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  nameTaken_ = fd_ < 0 && errno == EEXIST;
  if (fd_ < 0) return StreamErrorText("Cannot create file \"%s\". %s", path, errno);
  return {};
}

std::string AppendFile::Append(const uint8_t* data, size_t bytes) {
  if (const int reason = WriteFully(fd_, data, bytes)) {
    // A part of this append may have reached the disk: cut it off again.
    if (::ftruncate(fd_, static_cast<off_t>(size_)) == 0) ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET);
    return std::strerror(reason);
  }
  size_ += bytes;
  // Start the write-back of every full stretch now, without waiting for it,
  // so the sync at the end has little left to wait for.
  if (size_ - writeBackStarted_ >= kWriteBackStretch) {
    (void)::sync_file_range(fd_, static_cast<off_t>(writeBackStarted_), static_cast<off_t>(size_ - writeBackStarted_),
                            SYNC_FILE_RANGE_WRITE);
    writeBackStarted_ = size_;
  }
  return {};
}

std::string AppendFile::Overwrite(uint64_t offset, const uint8_t* data, size_t bytes) {
  while (bytes > 0) {
    const ssize_t n = ::pwrite(fd_, data, bytes, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::strerror(n < 0 ? errno : ENOSPC);
    data += n;
    offset += static_cast<uint64_t>(n);
    bytes -= static_cast<size_t>(n);
  }
  return {};
}

std::string AppendFile::Sync() {
  if (fd_ < 0) return {};
  return Reason(::fsync(fd_) == 0 ? 0 : errno);
}

std::string AppendFile::Close() {
  if (fd_ < 0) return {};
  const int fd = fd_;
  fd_ = -1;
  return SyncAndClose(fd);
}

}  // namespace tarnovox
