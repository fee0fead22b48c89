#pragma once
// Opening a file of the output folder for reading without ever waiting on it.
// A FIFO, socket or device node can carry a recording's name; a plain open or
// read of it may block the window thread for good. The open is non-blocking
// and only a regular file is handed on.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tarnovox {

// A read-only descriptor of a regular file, or -1 with errno set: the open's
// own error, or ENOTSUP for anything that is not a regular file.
inline int OpenRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISREG(info.st_mode) ? errno : ENOTSUP;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// Owns a descriptor from OpenRegularFile.
class RegularFile {
 public:
  explicit RegularFile(const std::string& path) : fd_(OpenRegularFile(path)) {}
  ~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }

  // Reads up to `bytes` at `offset`; the count read, or -1.
  long ReadAt(long offset, void* buffer, size_t bytes) const {
    size_t done = 0;
    while (done < bytes) {
      const ssize_t got =
          ::pread(fd_, static_cast<char*>(buffer) + done, bytes - done, offset + static_cast<long>(done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return -1;
      if (got == 0) break;
      done += static_cast<size_t>(got);
    }
    return static_cast<long>(done);
  }
  long Size() const {
    struct stat info {};
    return ::fstat(fd_, &info) == 0 ? static_cast<long>(info.st_size) : -1;
  }

 private:
  int fd_;
};

}  // namespace tarnovox
