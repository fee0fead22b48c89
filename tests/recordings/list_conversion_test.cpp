// The file list's conversion to MP3 over a scripted encoder library: what it leaves
// on disk for each answer, cancel and failure, where it finds the samples of a
// WAV file, and what it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "tests/recordings/list_conversion_rig.h"
#include "tests/support/fake_lame_library.h"
#include "tests/support/sound_check.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using namespace tarnovox::testing;

TEST(ListConversion, AnswersCancelAndShortSourcesLeaveTheRightFiles) {
  FakeLameLibrary lib;
  const std::vector<uint8_t> data(2304 * 2 * 3 + 3, 0);  // three chunks and an odd tail
  {
    SCOPED_TRACE("No keeps the disk as it was");
    ConversionRig rig(lib);
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
    ConversionRig rig(lib);
    rig.folder.WriteText("b.WaV", testing::WavBytes(2, 44100, 16, data));
    rig.folder.WriteText("b.mp3", std::string(5000, 'x'));
    rig.ui.answers = {true};
    std::set<std::string> whileConverting;
    lib.onEncode = [&](int call) {
      if (call == 2) whileConverting = rig.Names();
    };
    rig.Run("b.WaV");
    lib.onEncode = nullptr;
    EXPECT_TRUE(rig.ui.messages.empty());
    ASSERT_EQ(whileConverting.size(), 3u);  // the old MP3 stays until the new one is complete
    EXPECT_TRUE(whileConverting.count("b.mp3"));
    const std::string part = *whileConverting.begin();  // hidden: ".b.mp3.XXXXXX.part"
    EXPECT_TRUE(part.size() == 18 && part.starts_with(".b.mp3.") && part.ends_with(".part") &&
                std::all_of(part.begin() + 7, part.begin() + 13, [](char c) { return std::isalnum(c); }))
        << part;
    EXPECT_EQ(rig.Names(), std::set<std::string>({"b.WaV", "b.mp3"}));
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
    SCOPED_TRACE("A source of 44 bytes is refused; one sample is converted in the source's format");
    ConversionRig rig(lib);
    const int encodesBefore = lib.encodes;
    const int loadsBefore = lib.loads;
    rig.folder.WriteText("d.wav", testing::WavBytes(1, 22050, 16, std::string()));
    rig.Run("d.wav");
    EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"Can not convert \"" + rig.folder.File("d.wav") +
                                                        "\": it holds no sound: its \"data\" chunk is empty."});
    EXPECT_EQ(rig.Names(), std::set<std::string>({"d.wav"}));
    EXPECT_EQ(lib.loads, loadsBefore);
    rig.ui.messages.clear();
    rig.folder.WriteText("d.wav", testing::WavBytes(1, 22050, 16, std::vector<int16_t>{1000}));
    rig.Run("d.wav");
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(lib.encodes, encodesBefore + 1);
    EXPECT_EQ(fs::file_size(rig.folder.File("d.mp3")), lib.bytesPerEncode + lib.flushBytes);
    EXPECT_EQ(lib.lastConfig.nMode, 3);
    EXPECT_EQ(lib.lastConfig.dwSampleRate, 22050u);
  }
  {
    SCOPED_TRACE("Other extensions make no target");
    ConversionRig rig(lib);
    const int loadsBefore = lib.loads;
    rig.folder.WriteText("e.mp3.txt", testing::WavBytes(2, 44100, 16, data));
    rig.Run("e.mp3.txt");
    EXPECT_EQ(lib.loads, loadsBefore);
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.Names(), std::set<std::string>({"e.mp3.txt"}));
  }
  EXPECT_TRUE(lib.openStreams.empty());
  EXPECT_EQ(lib.loads, lib.frees);
}

TEST(ListConversion, FailuresFullDiskAndCancelKeepTheOldMp3ByteForByte) {
  struct Case {
    const char* what;
    std::function<void(FakeLameLibrary&, ConversionRig&)> arrange;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"library missing", [](FakeLameLibrary& lib, ConversionRig&) { lib.loadFails = true; }, "Lame_enc.dll did not found"},
      {"init fails", [](FakeLameLibrary& lib, ConversionRig&) { lib.initResult = 2; }, "BE_ERR code-2"},
      {"encoder fails half-way",
       [](FakeLameLibrary& lib, ConversionRig&) {
         lib.encodeResult = 3;
         lib.encodeFailsAtCall = 3;
       },
       "BE_ERR code-3"},
      {"flush fails", [](FakeLameLibrary& lib, ConversionRig&) { lib.deinitResult = 4; }, "BE_ERR code-4"},
      {"closing the stream fails", [](FakeLameLibrary& lib, ConversionRig&) { lib.closeResult = 5; }, "BE_ERR code-5"},
      {"cancel half-way; a flush would show its failing code",
       [](FakeLameLibrary& lib, ConversionRig& rig) {
         lib.onEncode = [&rig](int call) {
           if (call == 2) rig.progress.cancel();  // Cancel clicked while the second chunk is encoded
         };
         lib.deinitResult = 4;
       },
       ""},
      {"source cut short half-way",
       [](FakeLameLibrary& lib, ConversionRig& rig) {
         lib.onEncode = [&rig](int call) {
           if (call == 2) fs::resize_file(rig.folder.File("a.wav"), 5000);
         };
       },
       "Stream read error"},
      // The disk holds 16 pages: the WAV takes 5 and the old MP3 2.
      {"the second chunk's bytes do not fit",
       [](FakeLameLibrary& lib, ConversionRig& rig) {
         lib.bytesPerEncode = 32768;
         rig.disk.emplace("64k", rig.folder.Path());
       },
       "Stream write error. No space left on device"},
      {"the flush bytes do not fit",
       [](FakeLameLibrary& lib, ConversionRig& rig) {
         lib.flushBytes = 65536;
         rig.disk.emplace("64k", rig.folder.Path());
       },
       "Stream write error. No space left on device"},
  };
  for (const Case& c : cases) {
    for (const bool oldMp3 : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (oldMp3 ? ", old MP3" : ", no old MP3"));
      FakeLameLibrary lib;
      ConversionRig rig(lib);
      c.arrange(lib, rig);
      if (rig.disk && !rig.disk->Available()) continue;  // mounting a tmpfs needs root
      rig.WriteSource(oldMp3);
      rig.Run("a.wav");
      EXPECT_EQ(rig.ui.messages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
      rig.ExpectUntouched(oldMp3);
      EXPECT_TRUE(lib.openStreams.empty());
      EXPECT_EQ(lib.loads, lib.frees);
      EXPECT_EQ(rig.library.calls, std::vector<std::string>({"Rescan", "ApplySort"}));
    }
  }
}

TEST(ListConversion, RecordingOfSourceOrTargetStopsTheConversion) {
  auto refusal = [](const std::string& source, const std::string& recording) {
    return std::vector<std::string>{"Can not convert \"" + source + "\": \"" + recording +
                                    "\" is being recorded. Nothing was converted or overwritten."};
  };
  {
    SCOPED_TRACE("Recording of the target started while the question was open");
    FakeLameLibrary lib;
    ConversionRig rig(lib);
    rig.WriteSource(true);
    rig.ui.onAsk = [&] { rig.StartRecording(rig.folder.File("a.mp3")); };
    rig.Run("a.wav");
    EXPECT_EQ(rig.ui.messages, refusal(rig.folder.File("a.wav"), rig.folder.File("a.mp3")));
    EXPECT_EQ(lib.loads, 0);
    rig.ExpectUntouched(true);
  }
  {
    SCOPED_TRACE("A target that someone else created meanwhile is not replaced without a question");
    FakeLameLibrary lib;
    ConversionRig rig(lib);
    rig.WriteSource(false);
    lib.onEncode = [&](int call) {
      if (call == 2) rig.folder.WriteText("a.mp3", "theirs");
    };
    rig.Run("a.wav");
    EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"Can not convert \"" + rig.folder.File("a.wav") + "\": \"" +
                                                        rig.folder.File("a.mp3") +
                                                        "\" was created by someone else during the conversion "
                                                        "and is kept."});
    EXPECT_EQ(rig.folder.ReadText("a.mp3"), "theirs");
    EXPECT_EQ(rig.Names(), std::set<std::string>({"a.wav", "a.mp3"}));
  }
}

// Several files: an existing target is replaced only after its own Yes, a
// non-WAV row is left out, and a take of any one target begun during a
// question refuses them all.
TEST(ListConversion, SeveralFilesAskPerTargetAndARecordingRefusesThemAll) {
  FakeLameLibrary lib;
  ConversionRig rig(lib);
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    rig.folder.WriteText(name, testing::WavBytes(2, 44100, 16, std::vector<int16_t>(2304 * 2, 9)));
  rig.folder.WriteText("a.mp3", OldMp3());
  rig.folder.WriteText("b.mp3", OldMp3());
  const std::vector<std::string> files = {rig.folder.File("a.wav"), rig.folder.File("b.wav"),
                                          rig.folder.File("c.wav"), rig.folder.File("a.mp3")};
  rig.ui.answers = {true, true};
  rig.ui.onAsk = [&] { rig.StartRecording(rig.folder.File("c.mp3")); };
  rig.Convert(files);
  EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"Can not convert \"" + rig.folder.File("c.wav") + "\": \"" +
                                                      rig.folder.File("c.mp3") +
                                                      "\" is being recorded. Nothing was converted or overwritten."});
  EXPECT_EQ(lib.loads, 0);
  EXPECT_TRUE(rig.library.calls.empty());
  EXPECT_TRUE(rig.folder.ReadText("a.mp3") == OldMp3() && rig.folder.ReadText("b.mp3") == OldMp3());
  EXPECT_EQ(rig.Names(), std::set<std::string>({"a.wav", "b.wav", "c.wav", "a.mp3", "b.mp3"}));

  rig.ui = {};
  rig.state.mode = RecorderMode::Monitoring;
  rig.ui.answers = {false, true};  // keep a.mp3, replace b.mp3
  rig.Convert(files);
  EXPECT_EQ(rig.ui.questions.size(), 2u);
  EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];
  EXPECT_TRUE(rig.folder.ReadText("a.mp3") == OldMp3());
  EXPECT_EQ(fs::file_size(rig.folder.File("b.mp3")), 2 * lib.bytesPerEncode + lib.flushBytes);
  EXPECT_EQ(fs::file_size(rig.folder.File("c.mp3")), 2 * lib.bytesPerEncode + lib.flushBytes);
  EXPECT_EQ(rig.progress.shown, "2 WAV files in " + rig.folder.Path() + " -> 2 MP3 files");
  EXPECT_EQ(rig.Names(), std::set<std::string>({"a.wav", "b.wav", "c.wav", "a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(rig.library.calls, std::vector<std::string>({"Rescan", "ApplySort"}));
}

// The job runs while the window thread goes on: the output folder (the current
// folder, against which the picked bare name resolves) may change under it,
// and the program may close. Neither breaks the conversion or leaves a part file.
TEST(ListConversion, AFolderChangeOrAClosingProgramDuringTheJobLeavesNoPartFile) {
  const fs::path before = fs::current_path();
  {
    SCOPED_TRACE("the output folder changes after the second chunk");
    FakeLameLibrary lib;
    ConversionRig rig(lib);
    testing::TempFolder other;
    rig.WriteSource(false);
    fs::current_path(rig.folder.path());
    lib.onEncode = [&](int call) {
      if (call == 2) fs::current_path(other.path());
    };
    rig.Convert({"a.wav"});
    EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];
    EXPECT_EQ(rig.Names(), std::set<std::string>({"a.wav", "a.mp3"}));
    EXPECT_EQ(fs::file_size(rig.folder.File("a.mp3")), 4 * lib.bytesPerEncode + lib.flushBytes);
    EXPECT_TRUE(fs::is_empty(other.path()));
  }
  {
    SCOPED_TRACE("the main window closes while the second chunk is encoded");
    FakeLameLibrary lib;
    ConversionRig rig(lib);
    rig.WriteSource(true);
    std::atomic<bool> reached = false;
    lib.onEncode = [&](int call) {
      if (call != 2) return;
      reached = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    rig.convert.ConvertFiles({rig.folder.File("a.wav")}, ConversionTarget::Mp3);
    while (!reached) std::this_thread::yield();
    rig.convert.CancelAndWait();
    rig.ExpectUntouched(true);  // the old MP3 as it was, no part file
    rig.posted.RunAll();
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_TRUE(rig.library.calls.empty());  // nothing is done for a closing program
    EXPECT_LE(lib.encodes, 3);
    EXPECT_TRUE(lib.openStreams.empty());
    EXPECT_EQ(lib.loads, lib.frees);
  }
  fs::current_path(before);
}

TEST(ListConversion, EncodesTheDataChunkWhereverItLies) {
  std::vector<int16_t> samples(2304 + 10, 9);
  samples[0] = 0x1234;
  samples[2304] = 0x0567;
  const std::string data = Bytes(samples);
  const std::string trailer = Chunk("LIST", std::string(5000, '\x7f'));
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"18-byte fmt; odd LIST, fact and unknown chunks before the data, LIST after",
       Wave({Chunk("LIST", "INFOabc"), Chunk("fmt ", Fmt(1, 2, 44100, 16, 18)), Chunk("fact", Le(2314, 4)),
             Chunk("junk", std::string(9, 'j')), Chunk("data", data), trailer})},
      {"40-byte extensible PCM", Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16, 40)), Chunk("data", data), trailer})},
      {"data size beyond the end of the file",
       Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(1000000, 4) + data})},
      // Recorders that never came back to the header leave 0 or all ones.
      {"data size 0, the sound to the end of the file",
       Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(0, 4) + data})},
      {"data size 0xFFFFFFFF", Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(0xFFFFFFFF, 4) + data})},
  };
  for (const auto& [what, file] : cases) {
    SCOPED_TRACE(what);
    FakeLameLibrary lib;
    ConversionRig rig(lib);
    rig.folder.WriteText("a.wav", file);
    rig.Run("a.wav");
    EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];
    EXPECT_EQ(lib.encodedCounts, std::vector<uint32_t>({2304, 10}));
    EXPECT_EQ(lib.firstSamples, std::vector<uint16_t>({0x1234, 0x0567}));
    EXPECT_EQ(rig.progress.last, 100);
  }
}

TEST(ListConversion, RefusesWhatItCannotEncodeAndSaysWhatItFound) {
  const std::string data = Chunk("data", std::string(4608, '\0'));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {Wave({Chunk("fmt ", Fmt(3, 2, 44100, 32, 18)), data}),
       "it is not a PCM WAV file: format tag 3, 2 channels, 32 bits."},
      {Wave({Chunk("fmt ", Fmt(3, 2, 44100, 32, 40)), data}),
       "it is not a PCM WAV file: format tag 65534, sub-format 3, 2 channels, 32 bits."},
      {Wave({Chunk("fmt ", Fmt(1, 2, 44100, 24)), data}),
       "it has 2 channels, 24 bits; only 1 or 2 channels of 8 or 16 bits can be converted."},
      {Wave({Chunk("fmt ", Fmt(1, 3, 44100, 16)), data}),
       "it has 3 channels, 16 bits; only 1 or 2 channels of 8 or 16 bits can be converted."},
      {Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16) + Le(0, 4)), data}),
       "its \"fmt \" chunk has 20 bytes; 16, 18 or 40 are supported."},
      {Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), Chunk("LIST", "INFO")}), "it has no \"data\" chunk."},
      {Wave({data}), "it has no \"fmt \" chunk."},
      {Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(0, 4)}),
       "it holds no sound: its \"data\" chunk is empty."},
      {Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(4608, 4)}),
       "it holds no sound: its \"data\" chunk is empty."},
      {Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(0xFFFFFFFF, 4) + "abc"}),
       "it holds no sound: its \"data\" chunk has 3 bytes, less than one sample of every channel."},
      {"RIFF", "it is not a WAV file (no RIFF WAVE header)."},
  };
  FakeLameLibrary lib;
  for (const auto& [file, reason] : cases) {
    SCOPED_TRACE(reason);
    ConversionRig rig(lib);
    rig.folder.WriteText("x.wav", file);
    rig.Run("x.wav");
    const std::string expected = "Can not convert \"" + rig.folder.File("x.wav") + "\": " + reason;
    EXPECT_EQ(rig.ui.messages, std::vector<std::string>{expected});
    EXPECT_EQ(rig.Names(), std::set<std::string>({"x.wav"}));
  }
  // A FIFO named like a WAV file is refused at once instead of waited on.
  ConversionRig rig(lib);
  ASSERT_EQ(::mkfifo(rig.folder.File("pipe.wav").c_str(), 0600), 0);
  rig.Run("pipe.wav");
  EXPECT_EQ(rig.ui.messages,
            std::vector<std::string>{"Cannot open file \"" + rig.folder.File("pipe.wav") + "\". Operation not supported"});
  EXPECT_EQ(lib.loads, 0);
}

}  // namespace
}  // namespace tarnovox
