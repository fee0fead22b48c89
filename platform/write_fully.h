#pragma once
// Writing a whole buffer to a file descriptor without a library buffer that
// could hide a short write on a full disk.
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace tarnovox {

// Writes all bytes to `fd`, continuing short and interrupted writes; 0 or the
// errno of the failure (ENOSPC when the disk takes nothing more).
inline int WriteFully(int fd, const uint8_t* data, size_t bytes) {
  while (bytes > 0) {
    const ssize_t n = ::write(fd, data, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    data += n;
    bytes -= static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace tarnovox
