#include "recordings/date_time_text.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <ctime>
#include <utility>

#include "recordings/recording_files.h"

namespace tarnovox {

struct DateTimeText::Locale {
  explicit Locale(locale_t handle) : handle(handle) {}
  ~Locale() { freelocale(handle); }
  Locale(const Locale&) = delete;
  Locale& operator=(const Locale&) = delete;
  locale_t handle;
};

namespace {

// Byte offset of the code point with the given index, or the size when the
// text has fewer code points.
size_t CodePointOffset(const std::string& text, size_t index) {
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    if (continuation) continue;
    if (seen == index) return i;
    ++seen;
  }
  return text.size();
}

size_t CodePointCount(const std::string& text) {
  size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

std::shared_ptr<DateTimeText::Locale> DateTimeText::MakeLocale(const char* name) {
  locale_t handle = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
  if (handle == static_cast<locale_t>(0)) handle = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  return std::make_shared<Locale>(handle);
}

DateTimeText DateTimeText::FromSystemLocale() {
  auto locale = MakeLocale("");
  std::string date = nl_langinfo_l(D_FMT, locale->handle);
  std::string time = nl_langinfo_l(T_FMT, locale->handle);
  return DateTimeText(std::move(locale), std::move(date), std::move(time));
}

DateTimeText::DateTimeText(std::string shortDateFormat, std::string longTimeFormat)
    : DateTimeText(MakeLocale("C"), std::move(shortDateFormat), std::move(longTimeFormat)) {}

DateTimeText::DateTimeText(std::shared_ptr<Locale> locale, std::string shortDateFormat,
                           std::string longTimeFormat)
    : locale_(std::move(locale)), shortDate_(std::move(shortDateFormat)), longTime_(std::move(longTimeFormat)) {}

std::string DateTimeText::Strftime(const std::string& pattern, const std::tm& time) const {
  if (pattern.empty()) return {};
  char buffer[256];
  const size_t length = strftime_l(buffer, sizeof buffer, pattern.c_str(), &time, locale_->handle);
  return std::string(buffer, length);
}

std::string DateTimeText::Format(ListedTime time, int spacesAfterDate) const {
  const ListedTime start = std::chrono::floor<std::chrono::minutes>(time);
  const MinuteText& minute = Minute(start, spacesAfterDate);
  if (minute.unpredictable) return FormatNow(time, spacesAfterDate);
  std::string text = minute.text;
  if (minute.perSecond) {
    const auto seconds = static_cast<unsigned>((time - start).count());
    text[minute.seconds] = static_cast<char>('0' + seconds / 10);
    text[minute.seconds + 1] = static_cast<char>('0' + seconds % 10);
  }
  return text;
}

// The seconds digits are found by formatting the minute at second 0 and at
// second 58: the texts differ only in a "00" that became "58", differ
// nowhere (no seconds shown), or the format is one whose every second must be
// formatted (other digits, seconds spelled out).
const DateTimeText::MinuteText& DateTimeText::Minute(ListedTime start, int spacesAfterDate) const {
  const auto number = std::chrono::floor<std::chrono::minutes>(start).time_since_epoch().count();
  const uint64_t key = (static_cast<uint64_t>(number) << 8) | static_cast<uint8_t>(spacesAfterDate);
  if (auto found = minutes_.find(key); found != minutes_.end()) return found->second;
  if (minutes_.size() >= 100000) minutes_.clear();
  MinuteText minute;
  minute.text = FormatNow(start, spacesAfterDate);
  const std::string late = FormatNow(start + std::chrono::seconds(58), spacesAfterDate);
  if (late != minute.text) {
    const size_t first = std::mismatch(late.begin(), late.end(), minute.text.begin(), minute.text.end()).first -
                         late.begin();
    minute.perSecond = late.size() == minute.text.size() && first + 1 < late.size() &&
                       minute.text.compare(first, 2, "00") == 0 && late.compare(first, 2, "58") == 0 &&
                       late.compare(first + 2, std::string::npos, minute.text, first + 2) == 0;
    minute.seconds = first;
    minute.unpredictable = !minute.perSecond;
  }
  return minutes_.emplace(key, std::move(minute)).first->second;
}

std::string DateTimeText::FormatNow(ListedTime time, int spacesAfterDate) const {
  const std::tm fields = BrokenDown(time);
  const std::string date = Strftime(shortDate_, fields);
  std::string text = date + std::string(static_cast<size_t>(std::max(spacesAfterDate, 0)), ' ');
  const size_t dateLength = CodePointCount(date);
  size_t column = 12;
  if (dateLength > column) column = dateLength + 2;
  text.insert(CodePointOffset(text, column), Strftime(longTime_, fields));
  return text;
}

}  // namespace tarnovox
