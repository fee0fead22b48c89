#pragma once
// A capture stream of the sound server: opened on an input in a PCM format,
// it keeps every frame that arrives between Start and Stop, in order, in a
// buffer of its own (several seconds long) until Read takes them. Frames that
// do not fit into that buffer are lost and counted; nothing else is.
//
// Open, Start, Stop and Close are called by one thread; Read, Available and
// the counters may be called by another (the capture thread) at the same time.
#include <cstddef>
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

// How the user knows an input: its source name, or the words for the sound
// the computer plays.
inline std::string InputName(const std::string& source) {
  return source == kDefaultOutputMonitor ? kDefaultOutputMonitorText : source;
}

// What the user is told when the input a recording came from goes away (a
// device unplugged) and the recording ends there.
inline std::string RemovedInputMessage(const std::string& input) {
  return "The input \"" + input + "\" was disconnected. The recording was ended; it keeps what was recorded.";
}

// Interleaved PCM: 8-bit unsigned or 16-bit signed little-endian samples.
struct PcmFormat {
  uint32_t sampleRate = 44100;
  uint16_t channels = 2;
  uint16_t bitsPerSample = 16;

  uint16_t BlockAlign() const { return static_cast<uint16_t>(bitsPerSample / 8 * channels); }
  uint32_t BytesPerSecond() const { return BlockAlign() * sampleRate; }
  bool operator==(const PcmFormat&) const = default;
};

class CaptureStream {
 public:
  virtual ~CaptureStream() = default;

  // The input later Opens capture from: a source name of the sound server,
  // empty for the server's default input, or kDefaultOutputMonitor.
  virtual void SetSource(const std::string& source) { (void)source; }
  // Opens the chosen input in `format`, dropping what an earlier Open kept.
  // Returns 0 or an error code that ErrorText explains. Nothing is kept before
  // Start. A chosen input that is missing is no failure: the default input
  // opens in its place and SubstituteNotice says so.
  virtual uint32_t Open(const PcmFormat& format) = 0;
  // After an Open that opened the default input in place of a missing one:
  // the text to tell the user. Empty otherwise.
  virtual std::string SubstituteNotice() const { return {}; }
  // After such an Open: the chosen input has appeared since.
  virtual bool SubstituteEnded() const { return false; }
  // Keeps arriving frames from now on.
  virtual void Start() = 0;
  // Keeps no more frames; those kept so far stay readable.
  virtual void Stop() = 0;
  // Moves up to `maxBytes` of the oldest kept frames (whole frames only) to
  // `out`; returns the bytes moved.
  virtual size_t Read(uint8_t* out, size_t maxBytes) = 0;
  // Bytes of whole frames that Read would move now.
  virtual size_t Available() const = 0;
  // Drops the stream and everything it kept.
  virtual void Close() = 0;
  // The platform's text for an error code, at most 127 characters.
  virtual std::string ErrorText(uint32_t code) const = 0;
  // Frames that arrived while the buffer was full (lost), since Open.
  virtual uint64_t OverrunFrames() const { return 0; }
  // Non-zero (an error code for ErrorText) once an open stream has stopped
  // delivering for good, for example because the sound server went away.
  virtual uint32_t LostCode() const { return 0; }
  // Once LostCode is non-zero: the stream stopped because its input went away
  // (a device unplugged) while the sound server stays; the stream is not moved
  // to another input behind the user's back.
  virtual bool InputRemoved() const { return false; }
};

}  // namespace tarnovox
