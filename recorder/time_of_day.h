#pragma once
// Starts at a time of day (`--at HH:MM`) in the computer's local time.
#include <chrono>
#include <string>

namespace tarnovox {

// The first moment after `now` at which the local clock reads `minuteOfDay`
// (0..1439) with 0 seconds: today when that is still ahead, else tomorrow.
// A minute that a change to summer time skips is taken as the clock makes it.
std::chrono::system_clock::time_point NextTimeOfDay(int minuteOfDay, std::chrono::system_clock::time_point now);

// "HH:MM", both in two digits.
std::string TimeOfDayText(int minuteOfDay);

}  // namespace tarnovox
