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
  return extension == ".WAV" || extension == ".MP3" || extension == ".WMA";
}

int64_t RoundedKilobytes(uint64_t bytes) {
  const uint64_t whole = bytes / 1024;
  const uint64_t rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && whole % 2 == 1)) return static_cast<int64_t>(whole + 1);
  return static_cast<int64_t>(whole);
}

uint32_t PackDosDateTime(std::time_t time) {
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return 0;
  const int year = local.tm_year + 1900;
  if (year < 1980) return (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
  if (year > 2107) return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
  return (static_cast<uint32_t>(year - 1980) << 25) | (static_cast<uint32_t>(local.tm_mon + 1) << 21) |
         (static_cast<uint32_t>(local.tm_mday) << 16) | (static_cast<uint32_t>(local.tm_hour) << 11) |
         (static_cast<uint32_t>(local.tm_min) << 5) | static_cast<uint32_t>(std::min(local.tm_sec, 59) / 2);
}

std::tm UnpackDosDateTime(uint32_t packed) {
  std::tm result{};
  result.tm_year = static_cast<int>(packed >> 25) + 80;
  result.tm_mon = static_cast<int>((packed >> 21) & 0x0F) - 1;
  result.tm_mday = static_cast<int>((packed >> 16) & 0x1F);
  result.tm_hour = static_cast<int>((packed >> 11) & 0x1F);
  result.tm_min = static_cast<int>((packed >> 5) & 0x3F);
  result.tm_sec = static_cast<int>(packed & 0x1F) * 2;
  result.tm_isdst = -1;
  // Weekday and day of year, which some date formats print. Worked out on the
  // calendar alone: mktime would move times that fall into a clock change.
  using namespace std::chrono;
  const year_month_day date{year{result.tm_year + 1900}, month(static_cast<unsigned>(result.tm_mon + 1)),
                            day(static_cast<unsigned>(result.tm_mday))};
  if (date.ok()) {
    const sys_days days{date};
    result.tm_wday = static_cast<int>(weekday{days}.c_encoding());
    result.tm_yday = static_cast<int>((days - sys_days{date.year() / January / 1}).count());
  }
  return result;
}

}  // namespace tarnovox
