#pragma once
// A media player shaped like the media control commands: a file is opened as a
// device with a small nonzero identifier and then driven by play, pause, resume,
// seek, status and close. Positions and lengths are in milliseconds.
#include <cstdint>
#include <string>

namespace tarnovox {

// Device types of the open command: WAV files play on the first, MP3 and WMA
// files on the second. Both reach the same decoder on this platform.
inline constexpr char kWaveAudioDevice[] = "waveaudio";
inline constexpr char kMpegVideoDevice[] = "MPEGvideo";

enum class MediaStatusItem : uint32_t { Length = 1, Position = 2 };

// Results of the commands; 0 is success.
inline constexpr uint32_t kMediaOk = 0;
inline constexpr uint32_t kMediaInvalidDevice = 257;
inline constexpr uint32_t kMediaUnknownDeviceType = 263;
inline constexpr uint32_t kMediaCannotOpenFile = 275;
inline constexpr uint32_t kMediaNoSoundServer = 266;
inline constexpr uint32_t kMediaOutputFailed = 276;

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;

  // Opens `file` on a device of `deviceType`. On success sets `device` to a
  // nonzero identifier; the length is known from then on and the device stands
  // at position 0. Fails for a file that cannot be decoded.
  virtual uint32_t Open(const std::string& deviceType, const std::string& file, uint16_t& device) = 0;
  // Plays from the current position. A playing or finished device is left as it is.
  virtual uint32_t Play(uint16_t device) = 0;
  // Stops the sound and the position. A device stopped by a seek is held there,
  // so that Resume starts it.
  virtual uint32_t Pause(uint16_t device) = 0;
  // Continues a paused device.
  virtual uint32_t Resume(uint16_t device) = 0;
  // Stops the device at `toMs` (at most the length); it waits there until Play,
  // or, when it was paused, until Resume.
  virtual uint32_t Seek(uint16_t device, uint32_t toMs) = 0;
  // The length, or the position that the listener hears; the position equals the
  // length exactly once the file has played out. `value` is untouched on error.
  virtual uint32_t Status(uint16_t device, MediaStatusItem item, uint32_t& value) = 0;
  virtual uint32_t Close(uint16_t device) = 0;
  // Why the last command failed with `code`, for the user; a player that
  // knows the system's reason gives that instead.
  virtual std::string ErrorText(uint32_t code) const {
    switch (code) {
      case kMediaCannotOpenFile: return "The file cannot be opened or holds no sound";
      case kMediaNoSoundServer: return "No sound server is running";
      case kMediaOutputFailed: return "The sound output cannot start";
      case kMediaUnknownDeviceType: return "The file type cannot be played";
      default: return "Media error " + std::to_string(code);
    }
  }
};

}  // namespace tarnovox
