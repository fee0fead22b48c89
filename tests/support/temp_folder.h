#pragma once
// A fresh folder under the system's temporary folder, removed with its contents.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace tarnovox::testing {

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  const std::string text = ReadFileText(path);
  return {text.begin(), text.end()};
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnovox-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string Path() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  // Writes `bytes` bytes of 'x' and, when mtime is given, sets the file's
  // modification time.
  std::filesystem::path Write(const std::string& name, size_t bytes, std::time_t mtime = -1) const {
    const auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << std::string(bytes, 'x');
    if (mtime != -1) {
      struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
      ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    }
    return file;
  }
  void WriteText(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
  }
  std::vector<uint8_t> Read(const std::string& name) const { return ReadFileBytes(path_ / name); }
  // Every file of the folder `sub` with its size, in name order: "a.wav:44 b.mp3:0 ".
  std::string Listing(const std::string& sub = "") const {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(path_ / sub))
      files.insert(entry.path().filename().string() + ":" + std::to_string(entry.file_size()));
    std::string listing;
    for (const auto& file : files) listing += file + " ";
    return listing;
  }
  std::string ReadText(const std::string& name) const { return ReadFileText(path_ / name); }

 private:
  std::filesystem::path path_;
};

}  // namespace tarnovox::testing
