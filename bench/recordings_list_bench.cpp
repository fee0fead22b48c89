// Rescan and sort of the recordings list over an output folder of 10,000
// recordings, for each of the six orders.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "recordings/recordings_list.h"

namespace {

using namespace tarnovox;

constexpr int kFiles = 10000;

// Keeps the cells as a real grid would, so that writing them costs what it costs.
class StoringGrid : public RecordingsGrid {
 public:
  void SetRowCount(int rows) override { cells.resize(static_cast<size_t>(rows) * 3); }
  void SetCell(int column, int row, const std::string& text) override {
    cells[static_cast<size_t>(row) * 3 + static_cast<size_t>(column)] = text;
  }
  void SelectRow(int row) override { selected = row; }
  void ClearSelection() override { selected = -1; }
  std::vector<std::string> cells;
  int selected = -1;
};

// A folder of recordings with mixed-case names, sizes and dates that repeat,
// so that every order meets equal keys.
class RecordingsFolder {
 public:
  RecordingsFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnovox-bench-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    const char* extensions[] = {".wav", ".MP3", ".Wma"};
    for (int i = 0; i < kFiles; ++i) {
      const std::string name = (i % 2 ? "Take " : "record") + std::to_string((i * 7919) % kFiles) + extensions[i % 3];
      const std::filesystem::path file = std::filesystem::path(path_) / name;
      std::ofstream(file, std::ios::binary) << std::string(static_cast<size_t>(100 + (i % 97) * 613), 'x');
      struct timespec times[2] = {{1700000000 + (i % 1000) * 60, 0}, {1700000000 + (i % 1000) * 60, 0}};
      ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    }
  }
  ~RecordingsFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

RecordingsFolder& Folder() {
  static RecordingsFolder folder;
  return folder;
}

// The benchmarks' arguments 1 to 6 name the orders as the settings file numbers them.
ListSort SortNumbered(int64_t number) {
  const SortOrder order = (number - 1) % 2 == 0 ? SortOrder::Ascending : SortOrder::Descending;
  return {static_cast<ListColumn>((number - 1) / 2), order};
}

void BM_RescanAndSort(benchmark::State& state) {
  RecorderState recorder;
  RecordSettings settings;
  settings.folder = Folder().path();
  settings.listSort = SortNumbered(state.range(0));
  StoringGrid grid;
  RecordingsList list(recorder, settings, DateTimeText("%d.%m.%Y", "%H:%M:%S"));
  list.AttachGrid(&grid);
  for (auto _ : state) {
    list.Rescan();
    list.ApplySort();
    benchmark::DoNotOptimize(grid.cells.data());
  }
  if (list.Count != kFiles) state.SkipWithError("the folder did not list every file");
}

void BM_ApplySortOnly(benchmark::State& state) {
  RecorderState recorder;
  RecordSettings settings;
  settings.folder = Folder().path();
  settings.listSort = SortNumbered(state.range(0));
  StoringGrid grid;
  RecordingsList list(recorder, settings, DateTimeText("%d.%m.%Y", "%H:%M:%S"));
  list.AttachGrid(&grid);
  list.Rescan();
  for (auto _ : state) {
    list.ApplySort();
    benchmark::DoNotOptimize(grid.cells.data());
  }
}

BENCHMARK(BM_RescanAndSort)->DenseRange(1, 6)->Unit(benchmark::kMillisecond)->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ApplySortOnly)->DenseRange(1, 6)->Unit(benchmark::kMillisecond)->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
