#pragma once
// The date column's text: the date in the user's short date format, then the
// time in the user's long time format starting at the 13th character.
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_map>

#include "recordings/recording_files.h"

namespace tarnovox {

class DateTimeText {
 public:
  // The formats of the user's locale (LC_ALL / LC_TIME / LANG), read once with
  // newlocale and nl_langinfo_l (D_FMT, T_FMT); the "C" locale when the
  // environment names a locale that is not installed.
  static DateTimeText FromSystemLocale();
  // strftime patterns, formatted in the "C" locale.
  DateTimeText(std::string shortDateFormat, std::string longTimeFormat);

  // The date followed by spacesAfterDate spaces, with the time inserted at the
  // 13th character (appended when the text is shorter). A date longer than 12
  // characters is never split: the time then follows the date and two spaces.
  // Characters are counted as UTF-8 code points.
  std::string Format(ListedTime time, int spacesAfterDate) const;

  const std::string& ShortDateFormat() const { return shortDate_; }
  const std::string& LongTimeFormat() const { return longTime_; }

 private:
  struct Locale;
  static std::shared_ptr<Locale> MakeLocale(const char* name);
  DateTimeText(std::shared_ptr<Locale> locale, std::string shortDateFormat, std::string longTimeFormat);
  std::string Strftime(const std::string& pattern, const std::tm& time) const;
  std::string FormatNow(ListedTime time, int spacesAfterDate) const;

  // The text of one minute, worked out once: a folder's files share minutes,
  // and strftime is most of a row's cost.
  struct MinuteText {
    std::string text;          // as at second 0
    size_t seconds = 0;        // where its two seconds digits are
    bool perSecond = false;    // the seconds show, at `seconds`
    bool unpredictable = false;  // they show otherwise: every time is formatted
  };
  // `start`: the minute's first second.
  const MinuteText& Minute(ListedTime start, int spacesAfterDate) const;

  std::shared_ptr<Locale> locale_;
  std::string shortDate_;
  std::string longTime_;
  mutable std::unordered_map<uint64_t, MinuteText> minutes_;
};

}  // namespace tarnovox
