#include "recordings/recordings_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "recordings/recording_files.h"
#include "tests/support/recording_grid.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::RecordingGrid;
using testing::TempFolder;

constexpr std::time_t kNoon = 1718445600;  // 2024-06-15, within that day in every time zone

constexpr ListSort kNameUp{ListColumn::Name, SortOrder::Ascending};
constexpr ListSort kNameDown{ListColumn::Name, SortOrder::Descending};
constexpr ListSort kSizeUp{ListColumn::Size, SortOrder::Ascending};
constexpr ListSort kSizeDown{ListColumn::Size, SortOrder::Descending};
constexpr ListSort kDateUp{ListColumn::Date, SortOrder::Ascending};
constexpr ListSort kDateDown{ListColumn::Date, SortOrder::Descending};

struct ListFixture {
  RecorderState state;
  RecordSettings settings;
  RecordingGrid grid;
  RecordingsList list{state, settings, DateTimeText("%d.%m.%Y", "%H:%M:%S")};
  explicit ListFixture(const TempFolder& folder) {
    settings.folder = folder.path().string();
    list.AttachGrid(&grid);
  }
};

// A date as the literal selection compared it: packed as an MS-DOS date-time
// and taken as a signed 32-bit number, so that dates from 2044 on are negative.
int32_t SignedPackedDate(ListedTime time) {
  const std::tm t = BrokenDown(time);
  const uint32_t packed = static_cast<uint32_t>(t.tm_year - 80) << 25 | static_cast<uint32_t>(t.tm_mon + 1) << 21 |
                          static_cast<uint32_t>(t.tm_mday) << 16 | static_cast<uint32_t>(t.tm_hour) << 11 |
                          static_cast<uint32_t>(t.tm_min) << 5 | static_cast<uint32_t>(t.tm_sec / 2);
  return static_cast<int32_t>(packed);
}

// Rows of a selection by repeated strict maximum over the scan order, done
// literally; a row whose entry never beats the start key stays empty.
std::vector<std::string> SelectionOrder(const std::vector<RecordingEntry>& entries, ListSort sort) {
  auto upper = [](std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return s;
  };
  auto greater = [&](const RecordingEntry& e, const RecordingEntry* best) {
    if (sort.column == ListColumn::Name) return upper(e.FileName) > (best ? upper(best->FileName) : "");
    if (sort.column == ListColumn::Size) return e.SizeKey > (best ? best->SizeKey : -1);
    return SignedPackedDate(e.LastWritten) > (best ? SignedPackedDate(best->LastWritten) : 0);
  };
  const size_t n = entries.size();
  std::vector<bool> placed(n, false);
  std::vector<std::string> rows(n + 1);
  for (size_t k = 1; k <= n; ++k) {
    const RecordingEntry* best = nullptr;
    for (size_t i = 0; i < n; ++i) {
      if (!placed[i] && greater(entries[i], best)) best = &entries[i];
    }
    if (best == nullptr) break;
    placed[static_cast<size_t>(best - entries.data())] = true;
    rows[sort.order == SortOrder::Descending ? k : n - k + 1] = best->FileName;
  }
  return rows;
}

TEST(RecordingsList, RescanListsRecordingsAndDeletesOnlyEmptyRecordings) {
  TempFolder folder;
  folder.Write("TAKE.Wav", 1536);
  folder.Write("a.mp3", 2560);
  folder.Write("b.WMA", 511);
  const std::time_t twoMinutesAgo = std::time(nullptr) - 120;
  for (const char* name : {"notes.txt", "record1.wav"}) folder.Write(name, 44, twoMinutesAgo);
  for (const char* name : {"a.wav.bak", ".hidden.wav"}) folder.Write(name, 4000);
  std::filesystem::create_directory(folder / "x.wav");
  std::filesystem::create_symlink(folder / "a.mp3", folder / "link.mp3");
  ListFixture f(folder);
  f.grid.SetRowCount(9);
  f.grid.calls.clear();

  f.list.Rescan();

  ASSERT_EQ(f.list.Count, 3);
  std::map<std::string, std::string> sizes;
  for (const auto& entry : f.list.Entries) sizes[entry.FileName] = entry.SizeKB;
  EXPECT_EQ(sizes, (std::map<std::string, std::string>{{"TAKE.Wav", "2"}, {"a.mp3", "2"}, {"b.WMA", "0"}}));
  EXPECT_FALSE(std::filesystem::exists(folder / "record1.wav"));
  EXPECT_EQ(std::filesystem::file_size(folder / "notes.txt"), 44u);
  EXPECT_EQ(f.state.PickedFile, f.list.Entries.back().FileName);
  EXPECT_EQ(f.list.RowFile(3), f.list.Entries[2].FileName);
  EXPECT_EQ(f.grid.calls, (std::vector<std::string>{"clear selection", "rows 2", "rows 4"}));

  // An empty or unreadable folder leaves the header and one empty row.
  for (const auto& path : {folder / "x.wav", folder / "missing"}) {
    f.settings.folder = path.string();
    f.list.Rescan();
    f.list.ApplySort();
    EXPECT_EQ(f.list.Count, 0);
    EXPECT_EQ(f.grid.rowCount, 2);
    EXPECT_EQ(f.grid.Cell(0, 1) + f.grid.Cell(1, 1) + f.grid.Cell(2, 1), "");
  }

  // A folder large enough to be scanned by two threads: every file listed once,
  // in the folder's own order, each with its own date, and an empty one deleted.
  TempFolder large;
  constexpr int kTakes = 2500;
  for (int i = 0; i < kTakes; ++i) large.Write("take" + std::to_string(i) + ".wav", 100, kNoon + i * 60);
  large.Write("empty.wav", 44, twoMinutesAgo);
  std::vector<std::string> folderOrder;
  for (const auto& item : std::filesystem::directory_iterator(large.path()))
    if (item.path().filename() != "empty.wav") folderOrder.push_back(item.path().filename().string());
  ListFixture big(large);
  big.list.Rescan();
  ASSERT_EQ(big.list.Count, kTakes);
  std::vector<std::string> listedOrder;
  for (const RecordingEntry& entry : big.list.Entries) {
    listedOrder.push_back(entry.FileName);
    const int i = std::stoi(entry.FileName.substr(4));
    EXPECT_EQ(entry.LastWritten, ListedTimeOf(kNoon + i * 60)) << entry.FileName;
  }
  EXPECT_EQ(listedOrder, folderOrder);
  EXPECT_FALSE(std::filesystem::exists(large / "empty.wav"));
}

TEST(RecordingsList, CleanupSparesTheTakeBeingRecordedAndFilesWrittenLately) {
  TempFolder folder;
  const std::time_t twoMinutesAgo = std::time(nullptr) - 120;
  // The take sits at its bare header: paused before its first write.
  folder.Write("record1.wav", 44, twoMinutesAgo);
  folder.Write("x.mp3", 10);  // another program is writing it
  folder.Write("old.wav", 10, twoMinutesAgo);
  ListFixture f(folder);
  f.state.mode = RecorderMode::RecordingPaused;
  f.state.CurrentFile = folder.Path() + "//./record1.wav";

  f.list.Rescan();

  std::set<std::string> listed;
  for (const auto& entry : f.list.Entries) listed.insert(entry.FileName + ":" + entry.SizeKB);
  EXPECT_EQ(listed, (std::set<std::string>{"record1.wav:0", "x.mp3:0"}));
  EXPECT_EQ(folder.Read("record1.wav").size(), 44u);
  EXPECT_EQ(folder.Read("x.mp3").size(), 10u);
  EXPECT_FALSE(std::filesystem::exists(folder / "old.wav"));

  // Once stopped, the empty take goes like any other.
  f.state.mode = RecorderMode::Monitoring;
  f.list.Rescan();
  EXPECT_FALSE(std::filesystem::exists(folder / "record1.wav"));
  EXPECT_EQ(f.list.Count, 1);
}

TEST(RecordingsList, SixOrdersOnEqualKeysMatchTheSelectionOrder) {
  // Names equal but for case, one that sorts by '_' (between upper and lower
  // case), sizes of equal key (900 and 1400 bytes are both 1 KB), equal dates,
  // a file from 1970 and one from 2050.
  TempFolder folder;
  folder.Write("b.wav", 900, kNoon);
  folder.Write("A.mp3", 1400, kNoon);
  folder.Write("a.MP3", 5000, kNoon - 3600);
  folder.Write("_c.WMA", 3100, kNoon + 3600);
  folder.Write("old.wav", 3000, 0);
  folder.Write("future.wav", 900, 2539000000);
  ListFixture f(folder);
  f.list.Rescan();
  ASSERT_EQ(f.list.Count, 6);
  int n = 0;
  for (const ListSort sort : {kNameUp, kNameDown, kSizeUp, kSizeDown, kDateUp, kDateDown}) {
    SCOPED_TRACE("order " + std::to_string(++n));
    f.settings.listSort = sort;
    f.list.ApplySort();
    std::vector<std::string> expected = SelectionOrder(f.list.Entries, sort);
    const bool byDate = sort.column == ListColumn::Date;
    if (byDate) {
      // The literal selection never places a date from 2044 on (its signed
      // value is negative) and leaves a row empty; here it is the newest file.
      const bool up = sort.order == SortOrder::Ascending;
      ASSERT_EQ(expected[up ? 1 : 6], "");
      expected.erase(expected.begin() + (up ? 1 : 6));
      expected.insert(up ? expected.end() : expected.begin() + 1, "future.wav");
    }
    EXPECT_EQ(f.list.RowFiles, expected);
    for (int row = 1; row <= 6; ++row) EXPECT_EQ(f.grid.Cell(0, row).substr(byDate ? 9 : 6), expected[row]);
  }

}

TEST(RecordingsList, CellsAndSelectionOfTheCurrentFile) {
  TempFolder folder;
  folder.Write("b.wav", 1536, kNoon);
  folder.Write("A.mp3", 2560, kNoon - 60);
  folder.Write("c.WMA", 3584, kNoon - 60);
  ListFixture f(folder);
  const std::string date = " " + DateTimeText("%d.%m.%Y", "%H:%M:%S").Format(ListedTimeOf(kNoon), 5);

  f.state.CurrentFile = "b.wav";
  f.list.Rescan();
  f.list.ApplySort();  // Sort 1
  EXPECT_EQ(f.list.RowFiles, (std::vector<std::string>{"", "A.mp3", "b.wav", "c.WMA"}));
  EXPECT_EQ(f.grid.Cell(0, 1), "      A.mp3");
  EXPECT_EQ(f.grid.Cell(1, 3), " 4");
  EXPECT_EQ(f.grid.Cell(2, 2), date);
  EXPECT_EQ(f.grid.selectedRow, 2);
  f.settings.listSort = kSizeUp;
  f.list.ApplySort();
  const int bRow = static_cast<int>(std::find(f.list.RowFiles.begin(), f.list.RowFiles.end(), "b.wav") -
                                    f.list.RowFiles.begin());
  EXPECT_EQ(f.grid.Cell(2, bRow), date + " ");  // six spaces after the date in this order only
  f.settings.listSort = kDateDown;
  f.list.ApplySort();
  EXPECT_EQ(f.grid.Cell(0, 1), "         b.wav");
  EXPECT_EQ(f.grid.selectedRow, 1);

  // A recording's full path, or another case of the name, selects no row.
  for (const std::string& current : {(folder / "b.wav").string(), std::string("B.WAV")}) {
    f.state.CurrentFile = current;
    f.list.Rescan();
    f.list.ApplySort();
    EXPECT_EQ(f.grid.selectedRow, -1) << current;
  }
}

TEST(RecordingsList, HeaderClicksToggleTheColumnsOrder) {
  RecorderState state;
  RecordSettings settings;
  settings.listSort = kDateUp;
  RecordingsList list(state, settings, DateTimeText("%x", "%X"));
  std::vector<ListSort> sorts;
  for (int column : {0, 0, 0, 1, 1, 2}) {
    list.ToggleSort(column);
    sorts.push_back(settings.listSort);
  }
  EXPECT_TRUE(sorts == (std::vector<ListSort>{kNameUp, kNameDown, kNameUp, kSizeUp, kSizeDown, kDateUp}));
  EXPECT_EQ(list.SortColumn, 2);
  settings.listSort = kSizeDown;
  list.SortColumnForSort();
  EXPECT_EQ(list.SortColumn, 1);
}

}  // namespace
}  // namespace tarnovox
