// WAV-to-MP3 conversion of a 10-minute 44.1 kHz 16-bit stereo WAV with the
// default settings, against the lame command line with the same encoder
// settings (-b 128 --cbr --nores -q 2) on the same file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <vector>

#include "recordings/list_conversion.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;

struct QuietUi : UiHooks {
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void SetBusyCursor(bool) override {}
  void UpdateTimeDisplay() override {}
};
struct NoPlayback : PlaybackControl {
  void ClosePlayback() override {}
  void PausePlayback() override {}
  void ResumePlayback() override {}
  bool PlaybackOpen() const override { return false; }
  void CloseMedia() override {}
  bool OpenVolume() override { return true; }
  void ReadVolume() override {}
  void CloseVolume() override {}
};
struct NoLibrary : RecordingsLibrary {
  void Rescan() override {}
  void ApplySort() override {}
  void SortColumnForSort() override {}
};
struct NoDialog : ConvertProgress {
  void Show(ConversionTarget, const std::string&, const std::string&) override {}
  void SetProgress(int) override {}
  bool Cancelled() const override { return false; }
  void SetCancelAction(std::function<void()>) override {}
  void Close() override {}
  void SetFileGridEnabled(bool) override {}
};

// Music-like material: two tones and some noise, so the encoder works as hard
// as on real recordings.
const std::string& SourceWav() {
  static const std::string path = [] {
    const std::string file = (fs::temp_directory_path() / "tarnovox-convert-bench.wav").string();
    const uint32_t frames = 600 * 44100, dataBytes = frames * 4;
    std::ofstream out(file, std::ios::binary);
    auto le = [&](uint32_t v, int n) { for (int i = 0; i < n; ++i) out.put(static_cast<char>(v >> (8 * i))); };
    out << "RIFF"; le(36 + dataBytes, 4); out << "WAVEfmt "; le(16, 4); le(1, 2); le(2, 2); le(44100, 4);
    le(176400, 4); le(4, 2); le(16, 2); out << "data"; le(dataBytes, 4);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 600);
    std::vector<int16_t> block(2 * 44100);
    for (uint32_t second = 0; second < 600; ++second) {
      for (uint32_t i = 0; i < 44100; ++i) {
        const double t = (second * 44100.0 + i) / 44100.0;
        const double v = 8000 * std::sin(2 * M_PI * 440 * t) + 4000 * std::sin(2 * M_PI * 1234 * t);
        block[2 * i] = static_cast<int16_t>(v + noise(random));
        block[2 * i + 1] = static_cast<int16_t>(v * 0.7 + noise(random));
      }
      out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 2));
    }
    // The source and both MP3 files are 200 MB together: remove them at exit.
    std::atexit([] {
      std::error_code ignored;
      for (const char* name : {"tarnovox-convert-bench.wav", "tarnovox-convert-bench.mp3",
                               "tarnovox-convert-bench-cli.mp3"}) {
        fs::remove(fs::temp_directory_path() / name, ignored);
      }
    });
    return file;
  }();
  return path;
}

double lameCommandSeconds = 0;

void BM_LameCommandLine(benchmark::State& state) {
  const std::string command = "lame --silent -b 128 --cbr --nores -q 2 " + SourceWav() + " " +
                              (fs::temp_directory_path() / "tarnovox-convert-bench-cli.mp3").string();
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("lame command failed");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    state.SetIterationTime(seconds);
    lameCommandSeconds = seconds;
  }
}

void BM_ConvertWavToMp3(benchmark::State& state) {
  DlopenLoader loader;
  RecordSettings settings;  // defaults: 128 kbit/s CBR, quality 2, no reservoir
  RecorderState recorder;
  QuietUi ui;
  NoPlayback playback;
  NoLibrary library;
  NoDialog dialog;
  // The job's progress and outcome, run here once it is done.
  std::mutex mutex;
  std::vector<std::function<void()>> posted;
  ListConversion convert(loader, settings, recorder, ui, playback, library, dialog, [&](std::function<void()> call) {
    std::lock_guard lock(mutex);
    posted.push_back(std::move(call));
  });
  double seconds = 0;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    convert.ConvertFiles({SourceWav()}, ConversionTarget::Mp3);
    convert.Wait();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    for (auto& call : posted) call();
    posted.clear();
    state.SetIterationTime(seconds);
  }
  if (lameCommandSeconds > 0) state.counters["ratio_to_lame_cli"] = seconds / lameCommandSeconds;
  state.counters["times_real_time"] = 600.0 / seconds;
}

BENCHMARK(BM_LameCommandLine)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ConvertWavToMp3)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tarnovox

BENCHMARK_MAIN();
