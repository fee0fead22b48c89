#include "core/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/wave_format.h"

namespace tarnovox {
namespace {

// EINVAL: the file system cannot sync (a pipe-like or special file system); what
// it was given is written all the same.
std::string Reason(int error) { return error == 0 || error == EINVAL ? std::string() : std::strerror(error); }

}  // namespace

std::string AppendFile::Create(const std::string& path) {
  (void)Close();
  size_ = 0;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  nameTaken_ = fd_ < 0 && errno == EEXIST;
  if (fd_ < 0) return StreamErrorText("Cannot create file \"%s\". %s", path, errno);
  return {};
}

std::string AppendFile::Append(const uint8_t* data, size_t bytes) {
  size_t done = 0;
  while (done < bytes) {
    const ssize_t n = ::write(fd_, data + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int reason = n < 0 ? errno : ENOSPC;
      // A part of this append reached the disk: cut it off again.
      if (::ftruncate(fd_, static_cast<off_t>(size_)) == 0) ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET);
      return std::strerror(reason);
    }
    done += static_cast<size_t>(n);
  }
  size_ += bytes;
  return {};
}

std::string AppendFile::Sync() {
  if (fd_ < 0) return {};
  return Reason(::fsync(fd_) == 0 ? 0 : errno);
}

std::string AppendFile::Close() {
  if (fd_ < 0) return {};
  int error = ::fsync(fd_) == 0 ? 0 : errno;
  if (::close(fd_) != 0 && (error == 0 || error == EINVAL)) error = errno;
  fd_ = -1;
  return Reason(error);
}

}  // namespace tarnovox
