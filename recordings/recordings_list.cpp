#include "recordings/recordings_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <numeric>
#include <thread>

#include "recordings/recording_files.h"

namespace tarnovox {

namespace {

// A qualifying file smaller than this holds no sound: a WAV header alone is 44 bytes.
constexpr off_t kEmptyRecordingBytes = 50;
// A file changed more recently than this may still be growing.
constexpr std::time_t kSettleSeconds = 60;
// Below this many names one thread stats them sooner than two could start.
constexpr size_t kNamesForTwoThreads = 2000;

// What the scan learns of one name that is an ordinary file: its stat and its row.
struct FileFacts {
  struct stat info {};
  bool regular = false;
  RecordingEntry entry;
};

RecordingEntry EntryFor(const std::string& name, const struct stat& info) {
  RecordingEntry entry;
  entry.FileName = name;
  entry.SizeKey = RoundedKilobytes(static_cast<uint64_t>(info.st_size));
  entry.SizeKB = std::to_string(entry.SizeKey);
  entry.LastWritten = ListedTimeOf(info.st_mtime);
  return entry;
}

// One stat per name, relative to the open folder; a large folder is split
// between this thread and one more, as the stats are nearly all of a scan's time.
std::vector<FileFacts> StatAll(int folder, const std::vector<std::string>& names) {
  std::vector<FileFacts> facts(names.size());
  auto statRange = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      // Not followed: a link is not an ordinary file, so it is neither listed nor deleted.
      FileFacts& file = facts[i];
      file.regular = ::fstatat(folder, names[i].c_str(), &file.info, AT_SYMLINK_NOFOLLOW) == 0 &&
                     S_ISREG(file.info.st_mode);
      if (file.regular) file.entry = EntryFor(names[i], file.info);
    }
  };
  if (names.size() < kNamesForTwoThreads) {
    statRange(0, names.size());
  } else {
    const size_t half = names.size() / 2;
    std::thread other(statRange, half, names.size());
    statRange(0, half);
    other.join();
  }
  return facts;
}

// Case-insensitive for a-z only, byte order otherwise; a prefix sorts first.
bool NameGreater(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 'a' + 'A');
    if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 'a' + 'A');
    if (ca != cb) return ca > cb;
  }
  return a.size() > b.size();
}

int SpacesBeforeName(ListSort sort) { return sort.column == ListColumn::Date ? 9 : 6; }

int SpacesAfterDate(ListSort sort) {
  return sort == ListSort{ListColumn::Size, SortOrder::Ascending} ? 6 : 5;
}

}  // namespace

RecordingsList::RecordingsList(RecorderState& state, RecordSettings& settings, DateTimeText dateTimeText)
    : RowFiles(1), state_(state), settings_(settings), dateTimeText_(std::move(dateTimeText)) {}

const std::string& RecordingsList::RowFile(int row) const {
  static const std::string kNone;
  if (row < 1 || static_cast<size_t>(row) >= RowFiles.size()) return kNone;
  return RowFiles[static_cast<size_t>(row)];
}

void RecordingsList::ResetGrid() {
  if (grid_ == nullptr) return;
  grid_->ClearSelection();
  grid_->SetRowCount(2);
  for (int column = 0; column < 3; ++column) grid_->SetCell(column, 1, "");
}

void RecordingsList::AddFile(int folder, const struct stat& info, RecordingEntry entry) {
  if (info.st_size < kEmptyRecordingBytes && MayDeleteEmpty(info) &&
      ::unlinkat(folder, entry.FileName.c_str(), 0) == 0)
    return;
  RowFiles.push_back(entry.FileName);
  Entries.push_back(std::move(entry));
}

// A take sits at its bare header for its first seconds, longer when paused,
// and another program may be writing a file of its own: only a file nobody is
// writing may go. A date in the future counts as fresh.
bool RecordingsList::MayDeleteEmpty(const struct stat& info) const {
  if (IsTakeBeingRecorded(info)) return false;
  return info.st_mtime <= std::time(nullptr) - kSettleSeconds;
}

// Compared as files, not names: CurrentFile is a full path, which may be
// spelled otherwise than the folder (a trailing "/", "./", a link).
bool RecordingsList::IsTakeBeingRecorded(const struct stat& info) const {
  if (!state_.Recording() || state_.CurrentFile.empty()) return false;
  struct stat take {};
  return ::stat(state_.CurrentFile.c_str(), &take) == 0 && take.st_dev == info.st_dev && take.st_ino == info.st_ino;
}

void RecordingsList::Rescan() {
  Count = 0;
  Entries.clear();
  RowFiles.assign(1, std::string());
  ResetGrid();

  // Stats relative to the open folder: no path is built or walked again for
  // each of thousands of files.
  DIR* folder = ::opendir(settings_.folder.empty() ? "." : settings_.folder.c_str());
  if (folder != nullptr) {
    std::vector<std::string> names;
    while (const dirent* item = ::readdir(folder)) {
      // Names beginning with "." are hidden files (and "." and "..").
      if (item->d_name[0] == '.' || !IsRecordingName(item->d_name)) continue;
      // The kind the folder already reports spares the stat of a folder or link.
      if (item->d_type != DT_REG && item->d_type != DT_UNKNOWN) continue;
      names.emplace_back(item->d_name);
    }
    std::vector<FileFacts> facts = StatAll(::dirfd(folder), names);
    for (FileFacts& file : facts) {
      if (file.regular) AddFile(::dirfd(folder), file.info, std::move(file.entry));
    }
    ::closedir(folder);
  }
  if (!Entries.empty()) state_.PickedFile = Entries.back().FileName;

  Count = static_cast<int32_t>(Entries.size());
  if (Count >= 1 && grid_ != nullptr) grid_->SetRowCount(Count + 1);
}

// Entries from the greatest key down. Equal keys keep scan order, which is the
// order a selection by repeated strict maximum over the scan order yields.
std::vector<size_t> RecordingsList::PlacementOrder(ListColumn column) const {
  std::vector<size_t> order(Entries.size());
  std::iota(order.begin(), order.end(), size_t{0});
  const auto& entries = Entries;
  if (column == ListColumn::Name) {
    std::stable_sort(order.begin(), order.end(), [&entries](size_t a, size_t b) {
      return NameGreater(entries[a].FileName, entries[b].FileName);
    });
  } else if (column == ListColumn::Size) {
    std::stable_sort(order.begin(), order.end(),
                     [&entries](size_t a, size_t b) { return entries[a].SizeKey > entries[b].SizeKey; });
  } else {
    std::stable_sort(order.begin(), order.end(),
                     [&entries](size_t a, size_t b) { return entries[a].LastWritten > entries[b].LastWritten; });
  }
  return order;
}

void RecordingsList::WriteRow(int row, const RecordingEntry& entry, ListSort sort) {
  RowFiles[static_cast<size_t>(row)] = entry.FileName;
  if (grid_ != nullptr) {
    // The leading spaces leave room for the file-kind picture the window draws.
    grid_->SetCell(0, row, std::string(static_cast<size_t>(SpacesBeforeName(sort)), ' ') + entry.FileName);
    grid_->SetCell(1, row, std::string(" ").append(entry.SizeKB));
    grid_->SetCell(2, row, std::string(" ").append(dateTimeText_.Format(entry.LastWritten, SpacesAfterDate(sort))));
    if (state_.CurrentFile == entry.FileName) grid_->SelectRow(row);
  }
}

void RecordingsList::ApplySort() {
  const ListSort sort = settings_.listSort;
  RowFiles.resize(Entries.size() + 1);
  const std::vector<size_t> order = PlacementOrder(sort.column);
  // The greatest key goes to row 1 for the descending orders and to the last
  // row for the ascending ones; rows are written in that placement order.
  for (size_t k = 0; k < order.size(); ++k) {
    const int row =
        sort.order == SortOrder::Descending ? static_cast<int>(k + 1) : static_cast<int>(order.size() - k);
    WriteRow(row, Entries[order[k]], sort);
  }
}

void RecordingsList::ToggleSort(int column) {
  if (column < 0 || column > 2) return;
  SortColumn = column;
  const ListSort ascending{static_cast<ListColumn>(column), SortOrder::Ascending};
  settings_.listSort = settings_.listSort == ascending ? ListSort{ascending.column, SortOrder::Descending} : ascending;
  ApplySort();
}

void RecordingsList::SortColumnForSort() {
  SortColumn = static_cast<int>(settings_.listSort.column);
}

}  // namespace tarnovox
