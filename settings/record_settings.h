#pragma once
// The one record of persisted settings, typed for what each setting is. How
// the INI file spells them is known only to the settings store
// (settings/setting_keys.cpp), and the encoder's form of the MP3 switches
// and mode only to the encoder configuration (formats/encoder_config.cpp).
#include <array>
#include <cstdint>
#include <string>

namespace tarnovox {

// What a take is recorded into.
enum class OutputFormat { Wav, Mp3, Flac, Opus };

// How an MP3 take carries its channels. The settings dialog offers stereo,
// joint stereo and mono; dual channel comes only from a hand-edited file.
enum class ChannelMode { Stereo, JointStereo, DualChannel, Mono };

// The file list's columns, left to right.
enum class ListColumn { Name, Size, Date };
enum class SortOrder { Ascending, Descending };

// Which column the file list is sorted by, and which way.
struct ListSort {
  ListColumn column = ListColumn::Name;
  SortOrder order = SortOrder::Ascending;

  bool operator==(const ListSort&) const = default;
};

struct RecordSettings {
  std::string folder = "C:\\";  // where takes are recorded; start-up replaces one that does not exist
  OutputFormat format = OutputFormat::Mp3;
  // The WAV format: 44100, 22050 or 11025 Hz; 16 or 8 bits; 2 or 1 channels.
  uint32_t sampleRate = 44100;
  uint16_t bitsPerSample = 16;
  uint16_t channels = 2;
  // The MP3 encoding. Bit rates are in kbit/s, as chosen from the dialog's list
  // (a hand-edited file may hold others); the VBR quality 0 is best, 9 worst.
  int32_t bitRate = 128;
  ChannelMode channelMode = ChannelMode::Stereo;
  bool vbr = false;
  int32_t minBitRate = 32;
  int32_t maxBitRate = 320;
  int32_t vbrQuality = 0;
  bool copyright = false;
  bool original = false;
  bool privateFlag = false;
  // The Opus encoding in kbit/s, 6 to 256; an Opus take has the WAV page's
  // channels and 48000 Hz.
  int32_t opusBitRate = 96;
  // The file list's name, size and date columns, in pixels at 100 % scale.
  std::array<int32_t, 3> columnWidths = {160, 40, 160};
  ListSort listSort = {};  // by name, ascending
  // The input recorded from: a source name of the sound server, empty for its
  // default input, or "@DEFAULT_MONITOR@" for the sound the computer plays.
  std::string inputSource;
  // A take ends by itself once it holds this many seconds of sound (paused
  // time not counted); 0: only Stop ends it.
  uint32_t stopAfterSeconds = 0;
  // A take begins with this many seconds of the sound monitored before the
  // command that started it (0 to 30); 0: it begins at the command.
  uint32_t preRecordSeconds = 0;
  // A take goes on in the next free file once the current one holds this many
  // seconds of sound; 0: one file (until the 4 GiB limit).
  uint32_t splitEverySeconds = 0;
  // Record waits for sound: the take starts at the first buffer whose peak
  // reaches this level in dBFS (-1 to -90); 0: Record starts at once.
  int32_t startLevelDb = 0;
  // With a start level: after this many seconds below it the take pauses by
  // itself, and goes on when sound returns; 0: never.
  uint32_t silencePauseSeconds = 0;
  // A status icon on the desktop's panel shows the recorder's state and offers its commands.
  bool trayIcon = true;
  // The desktop tells of takes that start, pause, resume, go on in a new file,
  // end or fail while the main window is not the active window.
  bool notify = true;

  bool operator==(const RecordSettings&) const = default;
};

}  // namespace tarnovox
