// The "Convert  to MP3" command: what it leaves on disk for each answer,
// cancel, short and odd sources, and the source's own format.
#include <gtest/gtest.h>

#include <filesystem>

#include "mp3/wav_to_mp3.h"
#include "tests/mp3/mp3_probe.h"
#include "tests/support/sound_check.h"
#include "tests/support/fake_lame_library.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using testing::FakeLameLibrary;

class FakeProgress : public ConvertProgress {
 public:
  void Show(const std::string& s, const std::string& t) override { shown = s + " -> " + t; cancelled = false; }
  void SetProgress(int percent) override {
    last = percent;
    if (++pieces == cancelAfter) cancelled = true;  // as if Cancel was clicked meanwhile
  }
  bool Cancelled() const override { return cancelled; }
  void Close() override { ++closes; }
  void SetFileGridEnabled(bool enabled) override { grid.push_back(enabled); }
  std::string shown;
  int cancelAfter = -1, pieces = 0, last = -1, closes = 0;
  bool cancelled = false;
  std::vector<bool> grid;
};

struct Rig {
  RecordSettings settings;
  RecorderState state;
  testing::ScriptedUiHooks ui;
  testing::FakePlayback playback{state};
  testing::FakeRecordings library;
  FakeProgress progress;
  testing::TempFolder folder;
  WavToMp3 convert;
  explicit Rig(DynamicLibraryLoader& loader)
      : convert(loader, settings, state, ui, playback, library, progress) {}
  void Run(const std::string& name) {
    state.CurrentFile = folder.File(name);
    convert.pmWav2MP3Click();
  }
};

TEST(WavToMp3, AnswersCancelAndShortSourcesLeaveTheRightFiles) {
  FakeLameLibrary lib;
  const std::vector<uint8_t> data(2304 * 2 * 3 + 3, 0);  // three chunks and an odd tail
  {
    SCOPED_TRACE("No keeps the disk as it was");
    Rig rig(lib);
    rig.folder.WriteText("a.wav", testing::WavBytes(2, 44100, 16, data));
    rig.folder.WriteText("a.mp3", "old");
    rig.Run("a.wav");
    EXPECT_EQ(rig.ui.questions, std::vector<std::string>{"Confirm: " + rig.folder.File("a.mp3") +
                                                         " already exists.\rDo you want to overwrite it?"});
    EXPECT_EQ(rig.folder.Read("a.mp3"), std::vector<uint8_t>({'o', 'l', 'd'}));
    EXPECT_EQ(lib.loads, 0);
    EXPECT_EQ(rig.library.calls.size(), 0u);
  }
  {
    SCOPED_TRACE("Yes replaces the target; pieces follow the chunk, the odd byte is no sample");
    Rig rig(lib);
    rig.folder.WriteText("b.WaV", testing::WavBytes(2, 44100, 16, data));
    rig.folder.WriteText("b.mp3", std::string(5000, 'x'));
    rig.ui.answers = {true};
    rig.Run("b.WaV");
    EXPECT_EQ(lib.encodedCounts, std::vector<uint32_t>({2304, 2304, 2304, 1}));
    EXPECT_EQ(fs::file_size(rig.folder.File("b.mp3")), 4 * lib.bytesPerEncode + lib.flushBytes);
    EXPECT_EQ(lib.versions, 1);
    EXPECT_EQ(rig.progress.grid, std::vector<bool>({false, true}));
    EXPECT_EQ(rig.library.calls, std::vector<std::string>({"Rescan", "ApplySort"}));
    EXPECT_EQ(rig.ui.busyChanges, std::vector<bool>({true, false}));
    EXPECT_EQ(rig.progress.closes, 1);
    EXPECT_EQ(rig.playback.Count("ClosePlayback"), 1);
  }
  {
    SCOPED_TRACE("Cancel flushes, then deletes the target");
    Rig rig(lib);
    const int deinitsBefore = lib.deinits;
    rig.folder.WriteText("c.wav", testing::WavBytes(2, 44100, 16, data));
    rig.progress.cancelAfter = 2;
    rig.Run("c.wav");
    EXPECT_EQ(lib.deinits, deinitsBefore + 1);
    EXPECT_FALSE(fs::exists(rig.folder.File("c.mp3")));
    EXPECT_EQ(rig.library.calls, std::vector<std::string>({"Rescan", "ApplySort"}));
  }
  {
    SCOPED_TRACE("A source of 44 bytes gives only the flush bytes");
    Rig rig(lib);
    const int encodesBefore = lib.encodes;
    rig.folder.WriteText("d.wav", testing::WavBytes(1, 22050, 16, std::string()));
    rig.Run("d.wav");
    EXPECT_EQ(lib.encodes, encodesBefore);
    EXPECT_EQ(fs::file_size(rig.folder.File("d.mp3")), lib.flushBytes);
    EXPECT_EQ(lib.lastConfig.nMode, 3);
    EXPECT_EQ(lib.lastConfig.dwSampleRate, 22050u);
  }
  {
    SCOPED_TRACE("Other extensions and undescribable WAV files make no target");
    Rig rig(lib);
    const int loadsBefore = lib.loads;
    rig.folder.WriteText("e.mp3.txt", testing::WavBytes(2, 44100, 16, data));
    rig.Run("e.mp3.txt");
    std::string floatWav = testing::WavBytes(2, 44100, 32, data);
    floatWav[20] = 3;  // IEEE float
    rig.folder.WriteText("f.wav", floatWav);
    rig.Run("f.wav");
    rig.folder.WriteText("g.wav", "RIFF");
    rig.Run("g.wav");
    EXPECT_EQ(lib.loads, loadsBefore);
    EXPECT_EQ(rig.ui.messages.size(), 2u);
    EXPECT_FALSE(fs::exists(rig.folder.File("f.mp3")) || fs::exists(rig.folder.File("g.mp3")));
  }
  EXPECT_TRUE(lib.openStreams.empty());
  EXPECT_EQ(lib.loads, lib.frees);
}

TEST(WavToMp3, RealLibraryKeepsTheSourceFormat) {
  DlopenLoader loader;
  Rig rig(loader);
  rig.settings.Mode = 1;  // not used by the conversion
  rig.folder.WriteText("mono.wav", testing::WavBytes(1, 22050, 16, testing::Tone(1000, 22050, 1, 1.5)));
  std::vector<uint8_t> eightBit;
  for (int16_t v : testing::Tone(500, 11025, 2, 1.5)) eightBit.push_back(static_cast<uint8_t>((v >> 8) + 128));
  rig.folder.WriteText("eight.wav", testing::WavBytes(2, 11025, 8, eightBit));
  rig.Run("mono.wav");
  rig.Run("eight.wav");
  EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];

  auto mono = testing::DecodeMp3(rig.folder.File("mono.mp3"));
  ASSERT_TRUE(mono.ok);
  EXPECT_EQ(mono.sampleRate, 22050);
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(testing::ReadFrameHeaders(rig.folder.File("mono.mp3")).at(0).mode, 3);
  EXPECT_NEAR(mono.Seconds(), 1.5, 0.15);
  EXPECT_NEAR(testing::ToneHz(mono.left, 22050), 1000, 10);

  auto eight = testing::DecodeMp3(rig.folder.File("eight.mp3"));
  ASSERT_TRUE(eight.ok);
  EXPECT_EQ(eight.sampleRate, 11025);
  EXPECT_EQ(eight.channels, 2);
  EXPECT_EQ(testing::ReadFrameHeaders(rig.folder.File("eight.mp3")).at(0).mode, 0);
  EXPECT_NEAR(eight.Seconds(), 1.5, 0.15);
  EXPECT_NEAR(testing::ToneHz(eight.right, 11025), 500, 10);
}

}  // namespace
}  // namespace tarnovox
