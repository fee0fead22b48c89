#include "recorder/time_of_day.h"

#include <cstdio>
#include <ctime>

namespace tarnovox {

std::chrono::system_clock::time_point NextTimeOfDay(int minuteOfDay, std::chrono::system_clock::time_point now) {
  const std::time_t nowSeconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&nowSeconds, &local);
  for (int day = 0; day < 2; ++day) {
    std::tm at = local;
    at.tm_mday += day;  // mktime carries it into the next month or year
    at.tm_hour = minuteOfDay / 60;
    at.tm_min = minuteOfDay % 60;
    at.tm_sec = 0;
    at.tm_isdst = -1;  // as the local rules say on that day
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&at));
    if (when > now) return when;
  }
  return now + std::chrono::hours(24);
}

std::string TimeOfDayText(int minuteOfDay) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", minuteOfDay / 60 % 24, minuteOfDay % 60);
  return text;
}

}  // namespace tarnovox
