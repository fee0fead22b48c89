#pragma once
// A capture device shaped like winmm's wave input: the application queues
// buffers, the driver fills them in queue order and hands each back with its
// byte count; the application polls instead of taking callbacks.
//
// Unlike winmm, a stall of the application loses nothing: frames captured
// while started that find no queued buffer wait, in order, in a backlog of
// the device's own (several seconds long, allocated by Open). AddBuffer fills
// the new buffer from the backlog at once and hands it back if that fills it.
// Stop and Reset keep the backlog, so frames captured before a stop still fill
// the next buffers queued, even while stopped; Open and Close discard it.
// Only frames that do not fit into the backlog are lost (OverrunFrames).
#include <atomic>
#include <cstdint>
#include <string>

namespace tarnovox {

// The source name that stands for the monitor of the default output, the sound
// "this computer plays"; a backend looks up which source that is at each Open,
// so the choice follows the user when the default output changes.
inline constexpr const char* kDefaultOutputMonitor = "@DEFAULT_MONITOR@";
// How the user knows that choice.
inline constexpr const char* kDefaultOutputMonitorText = "What this computer plays";

// What the user is told when the input they chose cannot be found and the
// default input records instead.
inline std::string MissingInputMessage(const std::string& input) {
  return "The input \"" + input + "\" is not available. Recording from the default input.";
}

// PCM format of a capture device (WAVEFORMATEX).
struct WaveFormat {
  uint16_t formatTag = 1;
  uint16_t channels = 2;
  uint32_t samplesPerSec = 44100;
  uint32_t avgBytesPerSec = 176400;
  uint16_t blockAlign = 4;
  uint16_t bitsPerSample = 16;
  uint16_t cbSize = 0;
};

// Header flags (the WHDR_* values).
constexpr uint32_t kWaveDone = 0x01;
constexpr uint32_t kWavePrepared = 0x02;
constexpr uint32_t kWaveInQueue = 0x10;

// One buffer header (WAVEHDR). The driver thread writes the data first and then
// publishes bytesRecorded and kWaveDone with release stores; the application
// reads them with acquire loads before it touches the data. bytesRecorded is
// only published when the driver hands the buffer back (full, stopped or reset).
struct WaveBuffer {
  uint8_t* data = nullptr;
  uint32_t bufferLength = 0;
  std::atomic<uint32_t> bytesRecorded{0};
  uint32_t user = 0;
  std::atomic<uint32_t> flags{0};
};

class WaveIn {
 public:
  virtual ~WaveIn() = default;

  // Opens the chosen input (see SetSource) in the given format. Returns 0 or an
  // error code that ErrorText explains. Capture does not begin before Start.
  // A chosen input that is missing is no failure: the default input opens in
  // its place and SubstituteNotice says so.
  virtual uint32_t Open(const WaveFormat& format) = 0;
  // The input later Opens capture from: a source name of the sound server,
  // empty for the server's default input, or kDefaultOutputMonitor.
  virtual void SetSource(const std::string& source) { (void)source; }
  // After an Open that found the chosen input missing and opened the default
  // input instead: the text to tell the user. Empty otherwise.
  virtual std::string SubstituteNotice() const { return {}; }
  // After such an Open: the chosen input has appeared since, so opening again
  // would capture from it.
  virtual bool SubstituteEnded() const { return false; }
  virtual void Prepare(WaveBuffer& buffer) = 0;
  virtual void Unprepare(WaveBuffer& buffer) = 0;
  // Appends a buffer to the end of the driver's queue and fills it from the
  // backlog first (handing it back at once when that fills it).
  virtual void AddBuffer(WaveBuffer& buffer) = 0;
  virtual void Start() = 0;
  // Stops capture. The buffer being filled is handed back with the bytes it
  // holds (fewer than its length); the empty queued buffers stay queued. The
  // backlog is kept.
  virtual void Stop() = 0;
  // Stops capture and hands back every queued buffer, the one in progress with
  // the bytes it holds, the others with 0. The backlog is kept.
  virtual void Reset() = 0;
  virtual void Close() = 0;
  // The platform's text for an error code, at most 127 characters.
  virtual std::string ErrorText(uint32_t code) const = 0;
  // Frames that arrived while no buffer was queued and the backlog was full
  // (lost), since Open.
  virtual uint64_t OverrunFrames() const { return 0; }
  // Non-zero (an error code for ErrorText) once an open device has stopped
  // delivering for good, for example because the sound server went away.
  virtual uint32_t LostCode() const { return 0; }
};

}  // namespace tarnovox
