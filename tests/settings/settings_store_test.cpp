#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::SmallDisk;
using testing::TempFolder;

constexpr ListSort kByNameAscending{ListColumn::Name, SortOrder::Ascending};

// What a fresh load of `path` makes of `start`.
RecordSettings Loaded(const std::string& path, RecordSettings start = {}) {
  SettingsStore(start, path).LoadSettings();
  return start;
}
// The same for a t.INI in `dir` that holds `text`.
RecordSettings LoadedFrom(const TempFolder& dir, const std::string& text, RecordSettings start = {}) {
  dir.WriteText("t.INI", text);
  return Loaded(dir.File("t.INI"), start);
}
// What a load makes of the settings where there is no file.
RecordSettings Defaults() { return Loaded("/nonexistent/t.INI", {.bitRate = 999, .inputSource = "stale"}); }

TEST(SettingsStore, NoFileGivesDefaultsAndNineteenKeysInFourSectionsAndAChosenInputOrTakeLengthAddsASection) {
  TempFolder dir;
  RecordSettings settings;
  settings.bitRate = 999;  // overwritten by the load
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
    settings.inputSource = source;
    ASSERT_TRUE(store.SaveSettings());
    EXPECT_EQ(dir.ReadText("t.INI"), nineteen + "[Input]\nSource=" + source + "\n");
    EXPECT_EQ(Loaded(dir.File("t.INI"), {.inputSource = "stale"}), settings);
  }
  settings.inputSource = "x\n[Settings]\nSort=7";
  EXPECT_FALSE(store.SaveSettings());
  const RecordSettings reread = Loaded(dir.File("t.INI"));
  EXPECT_EQ(reread.inputSource, "");
  EXPECT_EQ(reread.listSort, kByNameAscending);

  // A timed take's length: a section of its own once chosen, kept when set
  // back to off; seconds up to a week, anything else reads as off.
  settings.inputSource = "";
  settings.stopAfterSeconds = 5400;
  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(dir.ReadText("t.INI"), nineteen + "[Input]\nSource=\n[Capture]\nStopAfter=5400\n");
  EXPECT_EQ(Loaded(dir.File("t.INI")).stopAfterSeconds, 5400u);
  settings.stopAfterSeconds = 0;
  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(dir.ReadText("t.INI"), nineteen + "[Input]\nSource=\n[Capture]\nStopAfter=0\n");
  RecordSettings seven;
  seven.stopAfterSeconds = 7;
  for (const auto& [value, seconds] : {std::pair<std::string, uint32_t>{"604800", 604800}, {"604801", 0}, {"-5", 0},
                                      {"abc", 0}, {"0x10", 16}}) {
    EXPECT_EQ(LoadedFrom(dir, "[Capture]\nStopAfter=" + value + "\n", seven).stopAfterSeconds, seconds) << value;
  }

  // The rest of the section: each key appears once chosen, in the table's
  // order, and reads back; out-of-range values read as off.
  settings.preRecordSeconds = 30;
  settings.splitEverySeconds = 900;
  settings.startLevelDb = -30;
  settings.silencePauseSeconds = 2;
  std::filesystem::remove(dir.File("t.INI"));
  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(dir.ReadText("t.INI"),
            nineteen + "[Capture]\nPreRecord=30\nSplitEvery=900\nStartLevel=-30\nSilencePause=2\n");
  EXPECT_EQ(Loaded(dir.File("t.INI")), settings);
  EXPECT_EQ(LoadedFrom(dir, "[Capture]\nPreRecord=31\nSplitEvery=-1\nStartLevel=-91\nSilencePause=86401\n"),
            Defaults());
  EXPECT_EQ(LoadedFrom(dir, "[Capture]\nStartLevel=5\n"), Defaults());
}

TEST(SettingsStore, TrayIconAndNotifyAreWrittenOnlyOnceChosen) {
  TempFolder dir;
  dir.WriteText("t.INI", "[Settings]\nSort=2\nTrayIcon=0\n");
  RecordSettings settings;
  SettingsStore store(settings, dir.File("t.INI"));
  store.LoadSettings();
  EXPECT_FALSE(settings.trayIcon);
  EXPECT_TRUE(settings.notify);
  ASSERT_TRUE(store.SaveSettings());
  const std::string saved = dir.ReadText("t.INI");
  EXPECT_NE(saved.find("[Settings]\nSort=2\nTrayIcon=0\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("Notify"), std::string::npos) << saved;
  settings.notify = false;
  ASSERT_TRUE(store.SaveSettings());
  EXPECT_FALSE(Loaded(dir.File("t.INI")).notify);
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
  // Section and key names ignore case, blanks are trimmed; both formats set
  // by hand: one format, WAV, so two writers never share a take.
  EXPECT_EQ(settings.format, OutputFormat::Wav);
  EXPECT_EQ(settings.sampleRate, 22050u);
  EXPECT_FALSE(settings.vbr);        // not a number: the default
  EXPECT_TRUE(settings.copyright);   // not 0: on
  EXPECT_FALSE(settings.original);
  EXPECT_EQ(settings.bitsPerSample, 8);     // low 16 bits of 65544
  EXPECT_EQ(settings.channels, 2);          // low 16 bits of -1: no channel count the capture offers
  EXPECT_EQ(settings.bitRate, -64);
  EXPECT_EQ(settings.channelMode, ChannelMode::Stereo);
  EXPECT_EQ(settings.minBitRate, 48);  // leading digits count
  EXPECT_EQ(settings.listSort, kByNameAscending);  // empty value: the default

  ASSERT_TRUE(store.SaveSettings());
  EXPECT_TRUE(Loaded(dir.File("t.INI")).copyright);
  EXPECT_NE(dir.ReadText("t.INI").find("Copyright=1\n"), std::string::npos);

  // Neither format: MP3. A format the capture does not offer: the default one.
  EXPECT_EQ(LoadedFrom(dir, "[Record Settings]\nWav=0\nMP3=0\nSamplePerSecond=0\nChannels=3\nBitPerSample=24\n"),
            Defaults());
}

// Every field away from its default comes back from the file as it was
// saved, and the modes and orders are spelt with the file's numbers.
TEST(SettingsStore, EveryFieldComesBackAndModesAndOrdersKeepTheirNumbers) {
  const std::pair<ChannelMode, std::string> modes[] = {{ChannelMode::Stereo, "Mode=0\n"},
                                                       {ChannelMode::JointStereo, "Mode=1\n"},
                                                       {ChannelMode::DualChannel, "Mode=2\n"},
                                                       {ChannelMode::Mono, "Mode=3\n"}};
  const std::pair<ListSort, std::string> sorts[] = {
      {{ListColumn::Name, SortOrder::Ascending}, "Sort=1\n"}, {{ListColumn::Name, SortOrder::Descending}, "Sort=2\n"},
      {{ListColumn::Size, SortOrder::Ascending}, "Sort=3\n"}, {{ListColumn::Size, SortOrder::Descending}, "Sort=4\n"},
      {{ListColumn::Date, SortOrder::Ascending}, "Sort=5\n"}, {{ListColumn::Date, SortOrder::Descending}, "Sort=6\n"}};
  TempFolder dir;
  int n = 0;
  for (const auto& [mode, modeLine] : modes) {
    for (const auto& [sort, sortLine] : sorts) {
      const bool odd = ++n % 2 == 1;
      RecordSettings settings{.folder = "/rec " + std::to_string(n),
                              .format = odd ? OutputFormat::Wav : OutputFormat::Mp3,
                              .sampleRate = odd ? 22050u : 11025u,
                              .bitsPerSample = 8,
                              .channels = 1,
                              .bitRate = 192 + n,
                              .channelMode = mode,
                              .vbr = odd,
                              .minBitRate = 64 + n,
                              .maxBitRate = 256 - n,
                              .vbrQuality = n % 10,
                              .copyright = !odd,
                              .original = odd,
                              .privateFlag = !odd,
                              .columnWidths = {100 + n, 50 + n, -n},
                              .listSort = sort,
                              .inputSource = odd ? "@DEFAULT_MONITOR@" : "usb-mic"};
      const std::string path = dir.File(std::to_string(n) + ".INI");
      ASSERT_TRUE(SettingsStore(settings, path).SaveSettings());
      const std::string text = dir.ReadText(std::to_string(n) + ".INI");
      EXPECT_TRUE(Loaded(path) == settings) << text;
      EXPECT_NE(text.find(odd ? "Wav=1\n" : "Wav=0\n"), std::string::npos) << text;
      EXPECT_NE(text.find(odd ? "MP3=0\n" : "MP3=1\n"), std::string::npos) << text;
      EXPECT_NE(text.find(odd ? "VBR=1\nMinBitRate" : "VBR=0\nMinBitRate"), std::string::npos) << text;
      EXPECT_NE(text.find(modeLine), std::string::npos) << text;
      EXPECT_NE(text.find(sortLine), std::string::npos) << text;
    }
  }
}

TEST(SettingsStore, ModesAndOrdersTheRecorderDoesNotKnowReadAsTheDefaults) {
  TempFolder dir;
  for (const std::string value : {"7", "-1", "0x10"}) {
    dir.WriteText("t.INI", "[Record Settings]\nMode=" + value + "\nWav=1\n[Settings]\nSort=" + value + "\n");
    RecordSettings settings;
    SettingsStore store(settings, dir.File("t.INI"));
    store.LoadSettings();
    EXPECT_EQ(settings.channelMode, ChannelMode::Stereo) << value;
    EXPECT_EQ(settings.listSort, kByNameAscending) << value;
    EXPECT_EQ(settings.format, OutputFormat::Wav) << value;  // the rest of the file still counts
    ASSERT_TRUE(store.SaveSettings());
    const std::string text = dir.ReadText("t.INI");
    EXPECT_NE(text.find("Mode=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Sort=1\n"), std::string::npos) << text;
  }
  const RecordSettings byDate{.listSort = {ListColumn::Date, SortOrder::Descending}, .inputSource = ""};
  for (const std::string value : {"0", "-5", "0x80000001"})
    EXPECT_EQ(LoadedFrom(dir, "[Settings]\nSort=" + value + "\n", byDate).listSort, kByNameAscending) << value;
  // Dual channel is no item of the dialog, but the encoder takes it.
  EXPECT_EQ(LoadedFrom(dir, "[Record Settings]\nMode=2\n").channelMode, ChannelMode::DualChannel);
}

// "Format" names FLAC and Opus in any letter case and outranks the flags,
// which still say the nearest older format; a file with only the flags is
// written back byte for byte until FLAC or Opus is chosen.
TEST(SettingsStore, FormatNamesFlacAndOpusAndFlagsStayForOlderVersions) {
  TempFolder dir;
  const std::string old = "[Record Settings]\nWav=1\nMP3=0\n";
  const std::pair<std::string, OutputFormat> names[] = {
      {"flac", OutputFormat::Flac}, {"OPUS", OutputFormat::Opus}, {"Wav", OutputFormat::Wav},
      {"mp3", OutputFormat::Mp3},   {"ogg", OutputFormat::Wav}};
  for (const auto& [name, format] : names)
    EXPECT_EQ(LoadedFrom(dir, old + "Format=" + name + "\n").format, format) << name;
  for (const auto& [rate, taken] : {std::pair<std::string, int32_t>{"6", 6}, {"256", 256}, {"5", 96}, {"257", 96}})
    EXPECT_EQ(LoadedFrom(dir, "[Record Settings]\nOpusBitRate=" + rate + "\n").opusBitRate, taken) << rate;

  RecordSettings settings;
  SettingsStore store(settings, dir.File("t.INI"));
  dir.WriteText("t.INI", old);
  store.LoadSettings();
  ASSERT_TRUE(store.SaveSettings());
  const std::string wavFile = dir.ReadText("t.INI");
  EXPECT_EQ(wavFile.find("Format"), std::string::npos) << wavFile;
  EXPECT_EQ(wavFile.find("Opus"), std::string::npos) << wavFile;
  dir.WriteText("t.INI", wavFile);
  ASSERT_TRUE(store.SaveSettings());
  EXPECT_EQ(dir.ReadText("t.INI"), wavFile);

  const std::tuple<OutputFormat, std::string, std::string> chosen[] = {
      {OutputFormat::Flac, "Wav=1\n", "Format=FLAC\n"},
      {OutputFormat::Opus, "MP3=1\n", "Format=Opus\nOpusBitRate=48\n"},
      {OutputFormat::Wav, "Wav=1\n", "Format=WAV\n"}};
  for (const auto& [format, flag, lines] : chosen) {
    settings.format = format;
    settings.opusBitRate = 48;
    ASSERT_TRUE(store.SaveSettings());
    const std::string text = dir.ReadText("t.INI");
    EXPECT_NE(text.find(flag), std::string::npos) << text;
    EXPECT_NE(text.find(lines), std::string::npos) << text;
    EXPECT_TRUE(Loaded(dir.File("t.INI")) == settings) << text;
  }
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
  EXPECT_EQ(settings.folder, "/old");
  EXPECT_EQ(settings.bitRate, 64);
  settings.folder = "/new folder";
  ASSERT_TRUE(store.SaveSettings());

  const std::string text = dir.ReadText("t.INI");
  EXPECT_EQ(text.rfind("; my notes\r\n[Folder]\r\nName=/new folder\r\n\r\n[Mine]\r\nColour=blue\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("[Record Settings]\r\nBitRate=64\r\nExtra=keep me\r\nWav=0\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Settings]\r\nSort=1\r\n"), std::string::npos);
  EXPECT_EQ(IniFile::Parse(text).Value("Mine", "colour").value_or(""), "blue");

  EXPECT_EQ(Loaded(dir.File("t.INI")).folder, "/new folder");
}

TEST(SettingsStore, OddFolderNamesComeBackByteForByteAndANewlineIsNeverWritten) {
  TempFolder dir;
  RecordSettings settings;
  SettingsStore store(settings, dir.File("t.INI"));
  for (const std::string folder :
       {" lead", "trail ", "\t both \t", "a=b;c[d]", "[x]", ";x", "\"q\"", "\"", "caf\xE9\xFF"}) {
    settings.folder = folder;
    ASSERT_TRUE(store.SaveSettings());
    EXPECT_EQ(Loaded(dir.File("t.INI")), settings);
  }
  // A line break cannot live in a line of the file: the folder is not
  // written (the user is told), so it cannot add keys of its own.
  settings.folder = "/tmp/a\nSort=5\r\n[Record Settings]\nWav=1";
  EXPECT_FALSE(store.SaveSettings());
  const RecordSettings reread = Loaded(dir.File("t.INI"));
  EXPECT_EQ(reread.folder, "caf\xE9\xFF");
  EXPECT_EQ(reread.listSort, kByNameAscending);
  EXPECT_EQ(reread.format, OutputFormat::Mp3);
}

TEST(SettingsStore, AFileThatExistsButCannotBeReadIsNeverOverwritten) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo.INI").c_str(), 0600), 0);  // nor waited on
  dir.WriteText("locked.INI", "[Settings]\nSort=4\n");
  std::filesystem::permissions(dir.File("locked.INI"), std::filesystem::perms::none);
  const bool rootReadsAnyway = std::ifstream(dir.File("locked.INI")).good();
  std::filesystem::create_directory(dir.File("folder.INI"));
  for (const char* name : {"fifo.INI", "locked.INI", "folder.INI"}) {
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

// The file is replaced whole, as the user set it up: its permissions stay, a
// link stays a link to the updated file, and nothing else is written through.
TEST(SettingsStore, SaveKeepsTheFilesModeAndLinkAndWritesNothingElse) {
  TempFolder dir;
  namespace fs = std::filesystem;
  dir.WriteText("t.INI", "[Mine]\nColour=blue\n");
  ::chmod(dir.File("t.INI").c_str(), 0640);
  fs::create_directory(dir.File("real"));
  dir.WriteText("real/linked.INI", "[Settings]\nSort=4\n");
  fs::create_symlink("real/linked.INI", dir.File("linked.INI"));
  dir.WriteText("victim", "not the settings");
  fs::create_symlink("victim", dir.File("t.INI.new"));
  RecordSettings settings;
  settings.folder = "/saved";
  for (const char* name : {"t.INI", "linked.INI"}) ASSERT_TRUE(SettingsStore(settings, dir.File(name)).SaveSettings());

  struct stat info {};
  ASSERT_EQ(::stat(dir.File("t.INI").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Loaded(dir.File("t.INI")).folder, "/saved");
  EXPECT_EQ(IniFile::Load(dir.File("t.INI")).Value("Mine", "Colour").value_or(""), "blue");
  EXPECT_TRUE(fs::is_symlink(dir.File("linked.INI")));
  EXPECT_EQ(fs::read_symlink(dir.File("linked.INI")), "real/linked.INI");
  EXPECT_EQ(Loaded(dir.File("real/linked.INI")).folder, "/saved");
  EXPECT_EQ(dir.ReadText("victim"), "not the settings");
  EXPECT_EQ(dir.Listing("real"), "linked.INI:" + std::to_string(fs::file_size(dir.File("real/linked.INI"))) + " ");
}

TEST(SettingsStore, AFolderThatCannotBeWrittenKeepsTheOldFile) {
  // A read-only mount stops root as well; others are stopped by the folder's mode.
  SmallDisk disk("64k");
  const std::string before = "[Settings]\nSort=4\n";
  std::ofstream(disk.File("t.INI")) << before;
  ::chmod(disk.Path().c_str(), 0555);
  if (disk.Available()) {
    ASSERT_TRUE(disk.RemountReadOnly());
  }
  RecordSettings settings;
  SettingsStore store(settings, disk.File("t.INI"));
  store.LoadSettings();
  settings.folder = "/changed";
  EXPECT_FALSE(store.SaveSettings());
  EXPECT_EQ(testing::ReadFileText(disk.File("t.INI")), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.Path()), {}), 1);
  ::chmod(disk.Path().c_str(), 0755);
}

TEST(SettingsStore, FileFollowsTheExecutableOrTheUsersConfigFolder) {
  EXPECT_EQ(SettingsStore::IniPathFor("/opt/rec/tarnovox", true, "/home/u/.config"), "/opt/rec/tarnovox.INI");
  EXPECT_EQ(SettingsStore::IniPathFor("/opt/rec/other.bin", true, "/x"), "/opt/rec/other.INI");
  EXPECT_EQ(SettingsStore::IniPathFor("/usr/bin/tarnovox", false, "/home/u/.config"),
            "/home/u/.config/tarnovox/tarnovox.INI");
}

}  // namespace
}  // namespace tarnovox
