#include "platform/replacing_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/write_fully.h"

namespace tarnovox {

namespace {

std::string RandomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::minstd_rand random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
  std::string suffix(6, 'x');
  for (char& c : suffix) c = kLetters[random() % (sizeof kLetters - 1)];
  return suffix;
}

}  // namespace

bool ReplacingFile::Create(const std::string& target) {
  Discard();
  target_ = target;
  const std::filesystem::path path(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string part =
        (path.parent_path() / ("." + path.filename().string() + "." + RandomSuffix() + ".part")).string();
    // O_EXCL: never take over a file someone else made, even one of our own names.
    fd_ = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      partPath_ = part;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return Fail();
}

bool ReplacingFile::Write(const uint8_t* data, size_t bytes) {
  if (fd_ < 0) return false;
  if (const int error = WriteFully(fd_, data, bytes)) {
    errno = error;
    return Fail();
  }
  return true;
}

bool ReplacingFile::Commit(bool mayReplace) {
  if (fd_ < 0) return false;
  struct stat old;
  // A replaced file keeps the permissions the user gave it.
  if (mayReplace && ::stat(target_.c_str(), &old) == 0) ::fchmod(fd_, old.st_mode & 07777);
  // The data must be on the disk before the name points at it, or a crash
  // right after the rename could leave an empty file under the target's name.
  if (::fsync(fd_) != 0) return Fail();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail();
  return CommitWritten(mayReplace);
}

bool ReplacingFile::ReserveName(const std::string& target) {
  if (!Create(target)) return false;
  ::close(fd_);
  fd_ = -1;
  ::unlink(partPath_.c_str());
  return true;
}

bool ReplacingFile::CommitWritten(bool mayReplace) {
  if (partPath_.empty()) return false;
  if (!Rename(mayReplace)) return Fail();
  partPath_.clear();
  // Makes the rename itself durable; the file is complete and in place either
  // way, so a folder that cannot be synced is no reason to report a failure.
  const std::string folder = std::filesystem::path(target_).parent_path().string();
  const int folderFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
  return true;
}

bool ReplacingFile::Rename(bool mayReplace) {
  if (mayReplace) return ::rename(partPath_.c_str(), target_.c_str()) == 0;
  if (::renameat2(AT_FDCWD, partPath_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE: check first; only a file created
  // in between these two calls could still be replaced.
  struct stat existing;
  if (::lstat(target_.c_str(), &existing) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(partPath_.c_str(), target_.c_str()) == 0;
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!partPath_.empty()) ::unlink(partPath_.c_str());
  partPath_.clear();
}

bool ReplacingFile::Fail() {
  error_ = errno;
  Discard();
  return false;
}

}  // namespace tarnovox
