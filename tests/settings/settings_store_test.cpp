#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::TempFolder;

// What a fresh load of `path` makes of `start`.
RecordSettings Loaded(const std::string& path, RecordSettings start = {}) {
  SettingsStore(start, path).LoadSettings();
  return start;
}

TEST(SettingsStore, NoFileGivesDefaultsAndNineteenKeysInFourSectionsAndAChosenInputAddsASection) {
  TempFolder dir;
  RecordSettings settings;
  settings.BitRate = 999;  // overwritten by the load
  SettingsStore store(settings, dir.File("t.INI"));
  store.LoadSettings();
  // What was loaded is what is written: the file shows every default, and the
  // default input has no section.
  ASSERT_TRUE(store.SaveSettings());
  const std::string nineteen = dir.ReadText("t.INI");
  EXPECT_EQ(nineteen,
            "[Folder]\nName=C:\\\n"
            "[Record Settings]\nWav=0\nSamplePerSecond=44100\nBitPerSample=16\nChannels=2\nMP3=1\nBitRate=128\n"
            "Mode=0\nVBR=0\nMinBitRate=32\nMaxBitRate=320\nVBRQuality=0\nCopyright=0\nOriginal=0\nPrivate=0\n"
            "[Grid Column Width]\nCol0=160\nCol1=40\nCol2=160\n"
            "[Settings]\nSort=1\n");

  for (const std::string source : {"@DEFAULT_MONITOR@", "alsa_input.usb-Mic_01-00.analog-stereo", ""}) {
    settings.Source = source;
    ASSERT_TRUE(store.SaveSettings());
    EXPECT_EQ(dir.ReadText("t.INI"), nineteen + "[Input]\nSource=" + source + "\n");
    const RecordSettings reread = Loaded(dir.File("t.INI"), {.Source = "stale"});
    EXPECT_EQ(reread.Source, source);
    EXPECT_FALSE(reread.Wav);
    EXPECT_EQ(reread.Sort, 1);
  }
  settings.Source = "x\n[Settings]\nSort=7";
  EXPECT_FALSE(store.SaveSettings());
  const RecordSettings reread = Loaded(dir.File("t.INI"));
  EXPECT_EQ(reread.Source, "");
  EXPECT_EQ(reread.Sort, 1);
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
  EXPECT_EQ(settings.Channels, 2);         // low 16 bits of -1: no channel count the capture offers
  EXPECT_EQ(settings.BitRate, -64);
  EXPECT_EQ(settings.Mode, 0);
  EXPECT_EQ(settings.MinBitRate, 48);  // leading digits count
  EXPECT_EQ(settings.Sort, 1);         // empty value: the default

  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(Loaded(dir.File("t.INI")).Copyright, -1);
  EXPECT_NE(dir.ReadText("t.INI").find("Copyright=1\n"), std::string::npos);

  // Neither format: MP3. A format the capture does not offer: the default one.
  dir.WriteText("none.INI", "[Record Settings]\nWav=0\nMP3=0\nSamplePerSecond=0\nChannels=3\nBitPerSample=24\n");
  const RecordSettings reread = Loaded(dir.File("none.INI"));
  EXPECT_TRUE(reread.MP3);
  EXPECT_FALSE(reread.Wav);
  EXPECT_EQ(reread.SamplePerSecond, 44100u);
  EXPECT_EQ(reread.Channels, 2);
  EXPECT_EQ(reread.BitPerSample, 16);
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

  const std::string text = dir.ReadText("t.INI");
  EXPECT_EQ(text.rfind("; my notes\r\n[Folder]\r\nName=/new folder\r\n\r\n[Mine]\r\nColour=blue\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("[Record Settings]\r\nBitRate=64\r\nExtra=keep me\r\nWav=0\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Settings]\r\nSort=1\r\n"), std::string::npos);
  EXPECT_EQ(IniFile::Parse(text).Value("Mine", "colour").value_or(""), "blue");

  EXPECT_EQ(Loaded(dir.File("t.INI")).Folder, "/new folder");
}

TEST(SettingsStore, OddFolderNamesComeBackByteForByteAndANewlineIsNeverWritten) {
  TempFolder dir;
  RecordSettings settings;
  SettingsStore store(settings, dir.File("t.INI"));
  for (const std::string folder :
       {" lead", "trail ", "\t both \t", "a=b;c[d]", "[x]", ";x", "\"q\"", "\"", "caf\xE9\xFF"}) {
    settings.Folder = folder;
    ASSERT_TRUE(store.SaveSettings());
    const RecordSettings reread = Loaded(dir.File("t.INI"));
    EXPECT_EQ(reread.Folder, folder);
    EXPECT_EQ(reread.Sort, 1);
  }
  // A line break cannot live in a line of the file: the folder is not
  // written (the user is told), so it cannot add keys of its own.
  settings.Folder = "/tmp/a\nSort=5\r\n[Record Settings]\nWav=1";
  EXPECT_FALSE(store.SaveSettings());
  const RecordSettings reread = Loaded(dir.File("t.INI"));
  EXPECT_EQ(reread.Folder, "caf\xE9\xFF");
  EXPECT_EQ(reread.Sort, 1);
  EXPECT_FALSE(reread.Wav);
}

TEST(SettingsStore, AFileThatExistsButCannotBeReadIsNeverOverwritten) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo.INI").c_str(), 0600), 0);  // nor waited on
  dir.WriteText("locked.INI", "[Settings]\nSort=4\n");
  std::filesystem::permissions(dir.File("locked.INI"), std::filesystem::perms::none);
  const bool rootReadsAnyway = std::ifstream(dir.File("locked.INI")).good();
  for (const char* name : {"fifo.INI", "locked.INI"}) {
    if (rootReadsAnyway && name == std::string("locked.INI")) continue;
    RecordSettings settings;
    SettingsStore store(settings, dir.File(name));
    store.LoadSettings();
    EXPECT_FALSE(store.SaveSettings()) << name;
  }
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("fifo.INI").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  std::filesystem::permissions(dir.File("locked.INI"), std::filesystem::perms::owner_read);
  EXPECT_EQ(dir.ReadText("locked.INI"), "[Settings]\nSort=4\n");
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
