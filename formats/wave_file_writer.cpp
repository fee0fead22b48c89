#include "formats/wave_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "formats/append_file.h"
#include "formats/wave_format.h"

namespace tarnovox {

std::string WaveFileWriter::Create(const std::string& path, const std::array<uint8_t, 44>& header) {
  Close();
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  nameTaken_ = fd_ < 0 && errno == EEXIST;
  if (fd_ < 0) return StreamErrorText("Cannot create file \"%s\". %s", path, errno);
  path_ = path;
  dataBytes_ = 0;
  std::string error = WriteHeader(header);
  if (!error.empty()) {
    (void)Close();
    return StreamErrorText("Cannot create file \"%s\". %s", path, ENOSPC);
  }
  return {};
}

std::string WaveFileWriter::Append(const uint8_t* data, uint32_t bytes, uint32_t frameBytes) {
  const off_t start = static_cast<off_t>(kWaveHeaderBytes + dataBytes_);
  uint32_t done = 0;
  while (done < bytes) {
    ssize_t n = ::pwrite(fd_, data + done, bytes - done, start + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int reason = n < 0 ? errno : ENOSPC;
      // Keep what reached the disk, in whole frames, so the header can describe it.
      uint64_t kept = dataBytes_ + done;
      if (frameBytes > 0) kept -= kept % frameBytes;
      if (::ftruncate(fd_, static_cast<off_t>(kWaveHeaderBytes + kept)) == 0) dataBytes_ = kept;
      return std::strerror(reason);
    }
    done += static_cast<uint32_t>(n);
  }
  dataBytes_ += bytes;
  return {};
}

std::string WaveFileWriter::AppendAfterData(const std::vector<uint8_t>& chunks) {
  const off_t dataEnd = static_cast<off_t>(kWaveHeaderBytes + dataBytes_);
  std::vector<uint8_t> bytes(dataBytes_ & 1, 0);
  bytes.insert(bytes.end(), chunks.begin(), chunks.end());
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, dataEnd + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int reason = n < 0 ? errno : ENOSPC;
      (void)!::ftruncate(fd_, dataEnd);
      return std::strerror(reason);
    }
    done += static_cast<size_t>(n);
  }
  return {};
}

std::string WaveFileWriter::WriteHeader(const std::array<uint8_t, 44>& header) {
  ssize_t n = ::pwrite(fd_, header.data(), header.size(), 0);
  if (n != static_cast<ssize_t>(header.size())) return std::strerror(n < 0 ? errno : ENOSPC);
  return {};
}

std::string WaveFileWriter::Close() {
  if (fd_ < 0) return {};
  const int fd = fd_;
  fd_ = -1;
  return SyncAndClose(fd);
}

}  // namespace tarnovox
