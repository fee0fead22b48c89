#pragma once
// The output file of a WAV recording: a header placeholder, then PCM appended
// in large writes. After every append the sizes in the header are brought up to
// date in place, so a recording whose program is killed still plays back.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnovox {

class WaveFileWriter {
 public:
  WaveFileWriter() = default;
  WaveFileWriter(const WaveFileWriter&) = delete;
  WaveFileWriter& operator=(const WaveFileWriter&) = delete;
  ~WaveFileWriter() { (void)Close(); }

  // Creates the file, which must not exist yet (nothing existing is ever
  // truncated), and writes the 44-byte header. Returns an empty string or the
  // text "Cannot create file "%s". %s"; NameTaken() then tells whether the
  // name existed already.
  std::string Create(const std::string& path, const std::array<uint8_t, 44>& header);
  bool NameTaken() const { return nameTaken_; }
  // Appends all bytes or returns the system's reason for failing; after a failed
  // append the file is cut back to whole frames of `frameBytes`.
  std::string Append(const uint8_t* data, uint32_t bytes, uint32_t frameBytes);
  // Writes `chunks` after the data (the data's pad byte first when its size is
  // odd). On failure the file is cut back to end with the data again.
  std::string AppendAfterData(const std::vector<uint8_t>& chunks);
  // Writes the header over the first 44 bytes.
  std::string WriteHeader(const std::array<uint8_t, 44>& header);
  // Flushes to the disk and closes; returns the system's reason when either failed.
  std::string Close();

  bool IsOpen() const { return fd_ >= 0; }
  uint64_t DataBytes() const { return dataBytes_; }
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  uint64_t dataBytes_ = 0;
  std::string path_;
  bool nameTaken_ = false;
};

}  // namespace tarnovox
