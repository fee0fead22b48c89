// The date column's text for any packed date, spacing and pair of formats.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "recordings/date_time_text.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  uint32_t packed;
  std::memcpy(&packed, data, 4);
  const int spaces = static_cast<int8_t>(data[4]);
  data += 5;
  size -= 5;
  const std::string date(fuzz::TakeText(data, size));
  const std::string time(fuzz::TakeText(data, size));
  const std::string text = DateTimeText(date, time).Format(packed, spaces);
  // The date comes first, never split by the time.
  const std::string alone = DateTimeText(date, "").Format(packed, 0);
  if (text.compare(0, alone.size(), alone) != 0) fuzz::Fail("date split");
  return 0;
}
