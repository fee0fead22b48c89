#pragma once
// Independent checks shared by the tests: real tools run as commands or in the
// background, WAV bytes written and read by hand (the tests' one WAV writer),
// and the tests' one tone measure: a tone's frequency and level.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace tarnovox::testing {

// Standard output of a shell command; a command that fails fails the test.
inline std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return output;
  }
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command << "\n" << output;
  return output;
}

// ffprobe's values of `entries` ("format=duration", "stream=sample_rate,channels")
// for the first audio stream, comma-separated.
inline std::string Probe(const std::string& entries, const std::string& file) {
  std::string line =
      RunCommand("ffprobe -v error -select_streams a:0 -show_entries " + entries + " -of csv=p=0 '" + file + "'");
  line = line.substr(0, line.find('\n'));
  while (!line.empty() && line.back() == ',') line.pop_back();  // side data of some streams adds fields
  return line;
}

// A program running in the background until Stop or destruction.
class BackgroundProcess {
 public:
  explicit BackgroundProcess(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~BackgroundProcess() { Stop(); }
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;
  bool Started() const { return pid_ > 0; }
  void Stop(int signal = SIGTERM) {
    if (pid_ <= 0) return;
    kill(pid_, signal);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// paplay playing `file` into `sink`. A short latency keeps a null sink's
// monitor current (with the default one it hands its sound in blocks of
// seconds); a long one keeps a busy machine's player from running dry.
inline std::unique_ptr<BackgroundProcess> PlayInto(const std::string& sink, const std::string& file, int latencyMs) {
  return std::make_unique<BackgroundProcess>(std::vector<std::string>{
      "paplay", "--latency-msec=" + std::to_string(latencyMs), "--device=" + sink, file});
}

// A null sink of the test's own on the sound server, until Unload or destruction.
class NullSink {
 public:
  explicit NullSink(const std::string& name, uint32_t rate = 44100)
      : module_(RunCommand("pactl load-module module-null-sink channels=2 rate=" + std::to_string(rate) +
                           " sink_name=" + name)) {
    module_ = module_.substr(0, module_.find('\n'));
  }
  ~NullSink() { Unload(); }
  NullSink(const NullSink&) = delete;
  NullSink& operator=(const NullSink&) = delete;
  void Unload() {
    if (!module_.empty()) RunCommand("pactl unload-module " + module_);
    module_.clear();
  }

 private:
  std::string module_;
};

// Little-endian bytes of `value`, `bytes` long.
inline std::string Le(uint32_t value, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(value >> (8 * i));
  return s;
}

// A RIFF chunk, padded to an even length.
inline std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le(static_cast<uint32_t>(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

inline std::string Wave(const std::vector<std::string>& chunks) {
  std::string body = "WAVE";
  for (const auto& c : chunks) body += c;
  return "RIFF" + Le(static_cast<uint32_t>(body.size()), 4) + body;
}

// A "fmt " body of `size` 16, 18 or 40 bytes; 40 makes it extensible with `tag` as the sub-format.
inline std::string Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int size = 16) {
  const uint32_t align = channels * bits / 8u;
  std::string s = Le(size == 40 ? 0xFFFE : tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) +
                  Le(align, 2) + Le(bits, 2);
  if (size >= 18) s += Le(size - 18, 2);
  if (size == 40) {
    s += Le(bits, 2) + Le(channels == 1 ? 4 : 3, 4) + Le(tag, 2) +
         std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  }
  return s;
}

template <typename Samples>
std::string Bytes(const Samples& data) {
  return std::string(reinterpret_cast<const char*>(data.data()), data.size() * sizeof(data[0]));
}

// A PCM WAV file with the plain 44-byte header around the samples in `data`.
template <typename Samples>
std::string WavBytes(uint16_t channels, uint32_t rate, uint16_t bits, const Samples& data) {
  return Wave({Chunk("fmt ", Fmt(1, channels, rate, bits)), "data" + Le(static_cast<uint32_t>(data.size() * sizeof(data[0])), 4) + Bytes(data)});
}

// The format in a plain 44-byte WAV header, and whether its two sizes match the file.
struct WavOnDisk {
  uint16_t channels = 0, bits = 0;
  uint32_t rate = 0, dataBytes = 0;
  bool sizesMatch = false;
};
inline WavOnDisk ReadWav(const std::vector<uint8_t>& f) {
  if (f.size() < 44) return {};
  auto u32 = [&](size_t at) { return uint32_t(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24); };
  const uint32_t data = u32(40);
  return {uint16_t(f[22] | f[23] << 8), uint16_t(f[34] | f[35] << 8), u32(24), data,
          data == f.size() - 44 && u32(4) == f.size() - 8};
}

// A tone in channel 0 of `channels`-interleaved samples, over `frames` frames
// from `firstFrame` (fewer where the samples end): its frequency from the sign
// changes and its RMS level.
struct ToneMeasure {
  double hz = 0;
  double rms = 0;
};
template <typename Samples>
ToneMeasure MeasureTone(const Samples& s, size_t firstFrame, size_t frames, double rate, size_t channels = 1) {
  size_t changes = 0, n = 0;
  double sum = 0;
  for (size_t f = firstFrame; f < firstFrame + frames && channels * f < s.size(); ++f, ++n) {
    const double v = s[channels * f];
    sum += v * v;
    if (f > firstFrame) changes += (s[channels * (f - 1)] < 0) != (v < 0);
  }
  return {changes / 2.0 * rate / static_cast<double>(frames), n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n))};
}

// Frequency over the middle half of the samples, away from fades at the edges.
template <typename Samples>
double ToneHz(const Samples& s, double rate) {
  return MeasureTone(s, s.size() / 4, s.size() * 3 / 4 - s.size() / 4, rate).hz;
}

}  // namespace tarnovox::testing
