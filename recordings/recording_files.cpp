#include "recordings/recording_files.h"

#include <algorithm>
#include <chrono>

namespace tarnovox {

std::string UpperExtension(const std::string& name) {
  const auto delimiter = name.find_last_of("./\\:");
  if (delimiter == std::string::npos || name[delimiter] != '.') return {};
  std::string extension = name.substr(delimiter);
  for (char& c : extension) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return extension;
}

bool IsRecordingName(const std::string& name) {
  const std::string extension = UpperExtension(name);
  return extension == ".WAV" || extension == ".MP3" || extension == ".WMA" || extension == ".FLAC" ||
         extension == ".OPUS";
}

int64_t RoundedKilobytes(uint64_t bytes) {
  const uint64_t whole = bytes / 1024;
  const uint64_t rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && whole % 2 == 1)) return static_cast<int64_t>(whole + 1);
  return static_cast<int64_t>(whole);
}

ListedTime ListedTimeOf(std::time_t lastWrite) {
  using namespace std::chrono;
  std::tm local{};
  if (localtime_r(&lastWrite, &local) == nullptr) return lastWrite < 0 ? kEarliestListedTime : kLatestListedTime;
  const int yearNumber = local.tm_year + 1900;
  if (yearNumber < 1980) return kEarliestListedTime;
  if (yearNumber > 2107) return kLatestListedTime;
  const local_days date{year{yearNumber} / month(static_cast<unsigned>(local.tm_mon + 1)) /
                        day(static_cast<unsigned>(local.tm_mday))};
  // A leap second shows as the last even second of its minute.
  const int evenSecond = std::min(local.tm_sec, 59) / 2 * 2;
  return date + hours(local.tm_hour) + minutes(local.tm_min) + seconds(evenSecond);
}

std::tm BrokenDown(ListedTime time) {
  using namespace std::chrono;
  const local_days date = floor<days>(time);
  const year_month_day calendar{date};
  const hh_mm_ss clock{time - date};
  std::tm result{};
  result.tm_year = static_cast<int>(calendar.year()) - 1900;
  result.tm_mon = static_cast<int>(static_cast<unsigned>(calendar.month())) - 1;
  result.tm_mday = static_cast<int>(static_cast<unsigned>(calendar.day()));
  result.tm_hour = static_cast<int>(clock.hours().count());
  result.tm_min = static_cast<int>(clock.minutes().count());
  result.tm_sec = static_cast<int>(clock.seconds().count());
  result.tm_isdst = -1;
  // Worked out on the calendar alone: mktime would move times that fall into a clock change.
  result.tm_wday = static_cast<int>(weekday{date}.c_encoding());
  result.tm_yday = static_cast<int>((date - local_days{calendar.year() / January / 1}).count());
  return result;
}

}  // namespace tarnovox
