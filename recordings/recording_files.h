#pragma once
// Rules that decide which files of the output folder are recordings and how
// their size and date are shown.
#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>

namespace tarnovox {

// The text from the last "." of the name, upper-cased for a-z only; empty when
// the name has no "." or a path delimiter ("/", "\", ":") follows the last one.
std::string UpperExtension(const std::string& name);

// ".WAV", ".MP3", ".WMA", ".FLAC" or ".OPUS" by UpperExtension.
bool IsRecordingName(const std::string& name);

// Bytes to kilobytes, rounded to the nearest integer with a half going to the
// even neighbour (512 -> 0, 1536 -> 2, 2560 -> 2, 3584 -> 4).
int64_t RoundedKilobytes(uint64_t bytes);

// A file's last-write time as the list shows and orders it: local wall-clock
// time in whole two-second steps (the list has always shown even seconds),
// held within 1980-01-01 00:00:00 and 2107-12-31 23:59:58 so that every file
// has a date that orders and shows.
using ListedTime = std::chrono::local_seconds;

inline constexpr ListedTime kEarliestListedTime{std::chrono::local_days{std::chrono::year{1980} / 1 / 1}};
inline constexpr ListedTime kLatestListedTime{std::chrono::local_days{std::chrono::year{2107} / 12 / 31} +
                                              std::chrono::seconds{23 * 3600 + 59 * 60 + 58}};

// The listed time of a last-write time; a time the C library cannot place
// in local time counts as the earliest or the latest.
ListedTime ListedTimeOf(std::time_t lastWrite);

// The broken-down time a listed time stands for, with weekday and day of the
// year (which some date formats print) and no daylight-saving claim.
std::tm BrokenDown(ListedTime time);

}  // namespace tarnovox
