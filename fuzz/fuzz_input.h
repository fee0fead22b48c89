#pragma once
// The readers under test take a path, so each input is written to a file of
// its own (one per process, reused for every input) and removed at exit.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace tarnovox::fuzz {

inline std::string InputPath(const char* extension) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/tarnovox-fuzz-" + std::to_string(::getpid()) + extension;
}

// Writes the bytes to the process's input file and removes it when done.
class InputFile {
 public:
  InputFile(const uint8_t* data, size_t size, const char* extension = ".bin") : path_(InputPath(extension)) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));
  }
  ~InputFile() { ::unlink(path_.c_str()); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Splits the input at the first zero byte: a text field, then the rest.
inline std::string_view TakeText(const uint8_t*& data, size_t& size) {
  const char* begin = reinterpret_cast<const char*>(data);
  size_t length = 0;
  while (length < size && data[length] != 0) ++length;
  const size_t used = length < size ? length + 1 : length;
  data += used;
  size -= used;
  return {begin, length};
}

// Stops the target with a message, so libFuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
  fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace tarnovox::fuzz
