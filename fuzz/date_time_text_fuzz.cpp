// The date column's text for any last-write time, spacing and pair of formats.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "recordings/date_time_text.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  int64_t lastWrite;
  std::memcpy(&lastWrite, data, 8);
  const ListedTime time = ListedTimeOf(static_cast<std::time_t>(lastWrite));
  if (time < kEarliestListedTime || time > kLatestListedTime) fuzz::Fail("time outside the listed range");
  const int spaces = static_cast<int8_t>(data[8]);
  data += 9;
  size -= 9;
  const std::string date(fuzz::TakeText(data, size));
  const std::string timeFormat(fuzz::TakeText(data, size));
  const std::string text = DateTimeText(date, timeFormat).Format(time, spaces);
  // The date comes first, never split by the time.
  const std::string alone = DateTimeText(date, "").Format(time, 0);
  if (text.compare(0, alone.size(), alone) != 0) fuzz::Fail("date split");
  return 0;
}
