#pragma once
// Rules that decide which files of the output folder are recordings and how
// their size and date are shown.
#include <cstdint>
#include <ctime>
#include <string>

namespace tarnovox {

// The text from the last "." of the name, upper-cased for a-z only; empty when
// the name has no "." or a path delimiter ("/", "\", ":") follows the last one.
std::string UpperExtension(const std::string& name);

// ".WAV", ".MP3" or ".WMA" by UpperExtension.
bool IsRecordingName(const std::string& name);

// Bytes to kilobytes, rounded to the nearest integer with a half going to the
// even neighbour (512 -> 0, 1536 -> 2, 2560 -> 2, 3584 -> 4).
int64_t RoundedKilobytes(uint64_t bytes);

// Packs a time as an MS-DOS date-time in local time: bits 0-4 seconds / 2,
// 5-10 minutes, 11-15 hours, 16-20 day, 21-24 month, 25-31 year - 1980.
// Times before 1980 pack as 1980-01-01 00:00:00, times after 2107 as the last
// second of 2107, so that every file still has an orderable date.
uint32_t PackDosDateTime(std::time_t time);

// The broken-down local time a packed MS-DOS date-time stands for.
std::tm UnpackDosDateTime(uint32_t packed);

}  // namespace tarnovox
