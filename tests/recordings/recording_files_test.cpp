#include "recordings/recording_files.h"

#include <gtest/gtest.h>

#include "recordings/date_time_text.h"

namespace tarnovox {
namespace {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm local{};
  local = {second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
  return mktime(&local);
}

TEST(RecordingFiles, OnlyWavMp3WmaFlacOrOpusNamesAreRecordings) {
  for (const char* name : {"TAKE.Wav", "a.mp3", "b.WMA", "x.y.wav", "c.FLAC", "d.opus"})
    EXPECT_TRUE(IsRecordingName(name)) << name;
  for (const char* name : {"notes.txt", "a.wav.bak", "wav", "a.wav\\b", "a.wav:b", "a.wavx", "", "a.ogg", "a.fla"}) {
    EXPECT_FALSE(IsRecordingName(name)) << name;
  }
  EXPECT_EQ(UpperExtension("x.\xe9wav"), ".\xe9WAV");  // only a-z are upper-cased
}

TEST(RecordingFiles, SizesAreKilobytesRoundedHalfToEven) {
  const std::pair<uint64_t, int64_t> sizes[] = {{511, 0}, {512, 0}, {513, 1}, {900, 1}, {1400, 1},
                                                {1536, 2}, {2560, 2}, {3584, 4}, {5ull << 40, 5ll << 30}};
  for (auto [bytes, kilobytes] : sizes) EXPECT_EQ(RoundedKilobytes(bytes), kilobytes) << bytes;
}

TEST(RecordingFiles, ListedTimesAreEvenSecondsClampedTo1980Through2107) {
  using namespace std::chrono;
  const ListedTime listed = ListedTimeOf(LocalTime(2024, 3, 9, 17, 45, 31));
  EXPECT_EQ(listed, local_days{2024y / March / 9} + 17h + 45min + 30s);  // even seconds
  const std::tm back = BrokenDown(listed);
  EXPECT_EQ(std::vector<int>({back.tm_year, back.tm_mon, back.tm_mday, back.tm_hour, back.tm_min, back.tm_sec,
                              back.tm_wday, back.tm_yday}),
            std::vector<int>({124, 2, 9, 17, 45, 30, 6, 68}));
  // Outside 1980-2107 the date clamps instead of wrapping, so it still orders.
  EXPECT_EQ(ListedTimeOf(0), local_days{1980y / January / 1});
  EXPECT_EQ(ListedTimeOf(LocalTime(2110, 5, 1, 0, 0, 0)), local_days{2107y / December / 31} + 23h + 59min + 58s);
  EXPECT_LT(ListedTimeOf(LocalTime(2043, 1, 1, 0, 0, 0)), ListedTimeOf(LocalTime(2044, 1, 1, 0, 0, 0)));
}

TEST(DateTimeText, TimeStartsAtTheThirteenthCharacter) {
  const ListedTime age = ListedTimeOf(LocalTime(2024, 12, 24, 8, 5, 42));
  EXPECT_EQ(DateTimeText("%d.%m.%Y", "%H:%M:%S").Format(age, 6), "24.12.2024  08:05:42    ");
  EXPECT_EQ(DateTimeText("%m/%d/%y", "%H:%M:%S").Format(age, 5), "12/24/24    08:05:42 ");
  EXPECT_EQ(DateTimeText("%d.%m.", "%H:%M").Format(age, 5), "24.12.     08:05");  // short: appended
  // A long date is never cut in two, and a multi-byte character counts once.
  EXPECT_EQ(DateTimeText("%Y-%m-%d (%a)", "%H:%M").Format(age, 5), "2024-12-24 (Tue)  08:05   ");
  EXPECT_EQ(DateTimeText("%Y\xe5\xb9\xb4%m\xe6\x9c\x88%d\xe6\x97\xa5", "%H").Format(age, 5),
            "2024\xe5\xb9\xb4" "12\xe6\x9c\x88" "24\xe6\x97\xa5 08    ");
  // One formatter for a whole folder: files of one minute each show their own seconds.
  const DateTimeText shared("%d.%m.%Y", "%H:%M:%S"), twice("%d.%m.%Y", "%S-%S");
  for (int second : {42, 8, 42}) {
    const ListedTime time = ListedTimeOf(LocalTime(2024, 12, 24, 8, 5, second));
    const std::string text = (second == 8 ? "08" : "42");
    EXPECT_EQ(shared.Format(time, 5), "24.12.2024  08:05:" + text + "   ");
    EXPECT_EQ(twice.Format(time, 5), "24.12.2024  " + text + "-" + text + "   ");
  }
  EXPECT_FALSE(DateTimeText::FromSystemLocale().ShortDateFormat().empty());
}

}  // namespace
}  // namespace tarnovox
