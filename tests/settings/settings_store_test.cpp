#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::TempFolder;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SettingsStore, NoFileGivesDefaultsAndExitWritesAllNineteenKeysInFourSections) {
  TempFolder dir;
  RecordSettings settings;
  settings.BitRate = 999;  // overwritten by the load
  SettingsStore store(settings, dir.File("tarnovox.INI"));
  store.LoadSettings();
  EXPECT_TRUE(settings.MP3);
  EXPECT_FALSE(settings.Wav);
  EXPECT_EQ(settings.BitRate, 128);
  EXPECT_EQ(settings.Mode, 0);
  EXPECT_EQ(settings.Folder, "C:\\");
  EXPECT_EQ(settings.SamplePerSecond, 44100u);
  EXPECT_EQ(settings.BitPerSample, 16);
  EXPECT_EQ(settings.Channels, 2);
  EXPECT_EQ(settings.MaxBitRate, 320);
  EXPECT_EQ(settings.Col1, 40);
  EXPECT_EQ(settings.Sort, 1);

  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(ReadText(dir.File("tarnovox.INI")),
            "[Folder]\nName=C:\\\n"
            "[Record Settings]\nWav=0\nSamplePerSecond=44100\nBitPerSample=16\nChannels=2\nMP3=1\nBitRate=128\n"
            "Mode=0\nVBR=0\nMinBitRate=32\nMaxBitRate=320\nVBRQuality=0\nCopyright=0\nOriginal=0\nPrivate=0\n"
            "[Grid Column Width]\nCol0=160\nCol1=40\nCol2=160\n"
            "[Settings]\nSort=1\n");
}

TEST(SettingsStore, ReadsNumbersLikeTheProfileFunctions) {
  TempFolder dir;
  dir.WriteText("t.INI",
            "[record settings]\n"
            " Wav = 1 \nMP3=1\nSamplePerSecond=0x5622\nVBR=yes\nCopyright=2\nOriginal=0X0\n"
            "BitPerSample=65544\nChannels=-1\nBitRate=-64\nMode=abc\nMinBitRate=48kbit\n"
            "[Settings]\nSort=\n");
  RecordSettings settings;
  SettingsStore store(settings, dir.File("t.INI"));
  store.LoadSettings();
  EXPECT_TRUE(settings.Wav);   // section and key names ignore case, blanks are trimmed
  EXPECT_FALSE(settings.MP3);  // both set by hand: one format, WAV, so two writers never share a take
  EXPECT_EQ(settings.SamplePerSecond, 22050u);
  EXPECT_EQ(settings.VBR, 0);          // not a number: the default
  EXPECT_EQ(settings.Copyright, -1);   // not 0: all bits set
  EXPECT_EQ(settings.Original, 0);
  EXPECT_EQ(settings.BitPerSample, 8);     // low 16 bits of 65544
  EXPECT_EQ(settings.Channels, 0xFFFF);    // low 16 bits of -1
  EXPECT_EQ(settings.BitRate, -64);
  EXPECT_EQ(settings.Mode, 0);
  EXPECT_EQ(settings.MinBitRate, 48);  // leading digits count
  EXPECT_EQ(settings.Sort, 1);         // empty value: the default

  ASSERT_TRUE(store.SaveSettings());
  RecordSettings reread;
  SettingsStore(reread, dir.File("t.INI")).LoadSettings();
  EXPECT_EQ(reread.Copyright, -1);
  EXPECT_NE(ReadText(dir.File("t.INI")).find("Copyright=1\n"), std::string::npos);

  dir.WriteText("none.INI", "[Record Settings]\nWav=0\nMP3=0\n");  // neither: MP3
  SettingsStore(reread, dir.File("none.INI")).LoadSettings();
  EXPECT_TRUE(reread.MP3);
  EXPECT_FALSE(reread.Wav);
}

TEST(SettingsStore, SaveUpdatesKeysInPlaceAndKeepsEverythingElse) {
  TempFolder dir;
  const std::string original =
      "; my notes\r\n[Folder]\r\nName=/old\r\n\r\n[Mine]\r\nColour=blue\r\n"
      "[Record Settings]\r\nBitRate=64\r\nExtra=keep me\r\n";
  dir.WriteText("t.INI", original);
  RecordSettings settings;
  SettingsStore store(settings, dir.File("t.INI"));
  store.LoadSettings();
  EXPECT_EQ(settings.Folder, "/old");
  EXPECT_EQ(settings.BitRate, 64);
  settings.Folder = "/new folder";
  ASSERT_TRUE(store.SaveSettings());

  const std::string text = ReadText(dir.File("t.INI"));
  EXPECT_EQ(text.rfind("; my notes\r\n[Folder]\r\nName=/new folder\r\n\r\n[Mine]\r\nColour=blue\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("[Record Settings]\r\nBitRate=64\r\nExtra=keep me\r\nWav=0\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Settings]\r\nSort=1\r\n"), std::string::npos);
  EXPECT_EQ(IniFile::Parse(text).Value("Mine", "colour").value_or(""), "blue");

  RecordSettings again;
  SettingsStore(again, dir.File("t.INI")).LoadSettings();
  EXPECT_EQ(again.Folder, "/new folder");
}

TEST(SettingsStore, FileFollowsTheExecutableOrTheUsersConfigFolder) {
  EXPECT_EQ(SettingsStore::IniPathFor("/opt/rec/tarnovox", true, "/home/u/.config"), "/opt/rec/tarnovox.INI");
  EXPECT_EQ(SettingsStore::IniPathFor("/opt/rec/other.bin", true, "/x"), "/opt/rec/other.INI");
  EXPECT_EQ(SettingsStore::IniPathFor("/usr/bin/tarnovox", false, "/home/u/.config"),
            "/home/u/.config/tarnovox/tarnovox.INI");

  // A file that cannot be written reports failure instead of pretending.
  TempFolder dir;
  RecordSettings settings;
  std::filesystem::create_directory(dir.File("blocked"));
  SettingsStore blocked(settings, dir.File("blocked"));  // a folder of that name
  EXPECT_FALSE(blocked.SaveSettings());
}

}  // namespace
}  // namespace tarnovox
