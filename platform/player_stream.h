#pragma once
// The player's open file: its decoder and, while it sounds, a playback stream
// on the default sink fed by a thread of its own. A seek ends the stream; the
// next play starts a new one at the seek position, so the position is always
// the start position plus the stream's own playing time.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/audio_file_decoder.h"

struct pa_stream;
struct pa_operation;

namespace tarnovox {

class PulseConnection;
class PulseOutputVolume;

class PlayerStream {
 public:
  PlayerStream(PulseConnection& connection, PulseOutputVolume& volume);
  ~PlayerStream();
  PlayerStream(const PlayerStream&) = delete;
  PlayerStream& operator=(const PlayerStream&) = delete;

  bool Open(const std::string& file);
  // Why the last Open or Play failed, in the system's words.
  const std::string& Failure() const { return failure_; }
  std::chrono::milliseconds Length() const { return decoder_.Length(); }
  // The position the listener hears; exactly the length once played out.
  std::chrono::milliseconds Position() const;

  bool Play();
  void Pause();
  bool Resume();
  void Seek(std::chrono::milliseconds to);
  // The server connection is going away: the stream ends with it and the file
  // counts as played out, so the playback ends instead of standing still.
  void Abandon();

 private:
  enum class State { Stopped, Held, Playing, Paused };

  bool StartStream();
  void EndStream();
  void Cork(bool cork);
  void Feed();
  bool WriteAll(const int16_t* samples, size_t count);
  void Drain();
  bool StreamUsable() const;
  static void OnStreamEvent(pa_stream* stream, void* self);
  static void OnWritable(pa_stream* stream, size_t bytes, void* self);
  static void OnDrained(pa_stream* stream, int success, void* self);

  PulseConnection& connection_;
  PulseOutputVolume& volume_;
  AudioFileDecoder decoder_;
  State state_ = State::Stopped;
  std::string failure_;
  std::chrono::milliseconds start_{0};  // file position at which the current stream began
  bool decoderAtStart_ = true;  // the decoder still stands where Open left it

  pa_stream* stream_ = nullptr;
  std::thread feeder_;
  std::atomic<bool> stopFeeding_{false};
  std::atomic<bool> playedOut_{false};
  bool drained_ = false;  // guarded by the connection's lock
};

}  // namespace tarnovox
