#include "app/local_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnovox {
namespace {

using Clock = std::chrono::steady_clock;

bool AddressOf(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(address.sun_path, path.data(), path.size());
  return true;
}

// Waits for `events` on fd until `deadline`; false when the time runs out.
bool Await(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

int LockFile(const std::string& path, std::chrono::milliseconds timeout) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
  if (fd < 0) return -1;
  const Clock::time_point deadline = Clock::now() + timeout;
  while (flock(fd, LOCK_EX | LOCK_NB) < 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline) {
      const int error = errno == EINTR ? EWOULDBLOCK : errno;
      close(fd);
      errno = error;
      return -1;
    }
    usleep(5000);
  }
  return fd;
}

int ConnectLocal(const std::string& path, std::chrono::milliseconds timeout) {
  sockaddr_un address;
  if (!AddressOf(path, address)) return -1;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  int result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  // A listener whose queue is full makes a non-blocking connect fail with
  // EAGAIN: it is busy starting, not gone, so try again for a while.
  const Clock::time_point deadline = Clock::now() + timeout;
  while (result < 0 && errno == EAGAIN && Clock::now() < deadline) {
    usleep(5000);
    result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  }
  if (result < 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

long PeerUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 ? static_cast<long>(peer.uid) : -1;
}

int ListenLocal(const std::string& path) {
  sockaddr_un address;
  if (!AddressOf(path, address)) return -1;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  // The socket file takes the socket's mode when it is bound: owner only from
  // the first moment, even in a shared /tmp.
  if (fchmod(fd, S_IRUSR | S_IWUSR) < 0 ||
      bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 || listen(fd, 16) < 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

int AcceptLocal(int listener) {
  for (;;) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return -1;
    }
    if (PeerUser(fd) == static_cast<long>(getuid())) return fd;
    close(fd);
  }
}

bool SendAll(int fd, const std::string& data, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      if (!Await(fd, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool ReceiveLine(int fd, std::string& line, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  line.clear();
  for (;;) {
    if (!Await(fd, POLLIN, deadline)) return false;
    char c;
    const ssize_t n = recv(fd, &c, 1, MSG_DONTWAIT);
    if (n == 1) {
      line += c;
      if (c == '\n') return true;
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      return false;
    }
  }
}

}  // namespace tarnovox
