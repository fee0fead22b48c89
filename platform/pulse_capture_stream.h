#pragma once
// A capture stream on the desktop's sound server: a record stream on the
// chosen source (the default one unless told otherwise), on a connection of
// its own. The connection's thread appends arriving frames to a ring that
// Read empties. Every wait for the server is bounded by the connection's wait.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/capture_stream.h"
#include "platform/pulse_connection.h"

struct pa_context;
struct pa_stream;
struct pa_sample_spec;

namespace tarnovox {

class PulseCaptureStream final : public CaptureStream, private PulseConnection::Listener {
 public:
  // Long enough for a capture thread held up by a slow disk for several seconds.
  static constexpr uint32_t kDefaultBufferMs = 15000;
  // Opening waits for the server at most this long: the window thread opens.
  static constexpr std::chrono::milliseconds kServerWait{2000};

  explicit PulseCaptureStream(std::string streamName = "Capture", uint32_t bufferMs = kDefaultBufferMs,
                              std::chrono::milliseconds serverWait = kServerWait);
  ~PulseCaptureStream() override;

  uint32_t Open(const PcmFormat& format) override;
  void SetSource(const std::string& source) override { source_ = source; }
  std::string SubstituteNotice() const override { return notice_; }
  bool SubstituteEnded() const override { return chosenBack_.load(); }
  void Start() override;
  void Stop() override;
  size_t Read(uint8_t* out, size_t maxBytes) override;
  size_t Available() const override;
  void Close() override;
  std::string ErrorText(uint32_t code) const override;
  uint64_t OverrunFrames() const override;
  uint32_t LostCode() const override { return lost_.load(); }
  bool InputRemoved() const override { return inputRemoved_.load(); }

 private:
  static void OnRead(pa_stream* stream, size_t bytes, void* self);
  // Converts the server's 16-bit stereo into the open format, then delivers.
  void DeliverConverted(const uint8_t* data, size_t bytes);
  void NoteStreamLost();
  // `data` null: that many bytes of silence.
  void Deliver(const uint8_t* data, size_t bytes);
  void Keep(const uint8_t* data, size_t bytes);
  // With the connection's lock held: a record stream on `device` (empty: the
  // default source), ready. Returns 0 or the server's error code.
  int ConnectStream(const pa_sample_spec& spec, const std::string& device);
  // With the connection's lock held: the source to open, noting a missing choice.
  std::string ChosenOrDefault();
  void NoteMissingSource();
  // After a substituting open: watches for the chosen source (or a default
  // output) to appear. Events come on the connection's thread.
  void OnServerEvent(pa_context* context, int type, uint32_t index) override;
  // With the connection's lock held.
  void DropStream();

  std::string streamName_;
  uint32_t bufferMs_;
  std::string source_;
  std::string notice_;
  PulseConnection connection_;
  pa_stream* stream_ = nullptr;
  uint32_t frameBytes_ = 4;
  uint8_t silenceByte_ = 0;
  // The server always delivers 16-bit stereo; other formats are made here.
  PcmFormat format_;
  bool convert_ = false;
  std::vector<int16_t> stereo_;      // whole frames gathered from the server's pieces
  size_t stereoBytes_ = 0;           // of which this many are filled
  std::vector<uint8_t> converted_;   // one converted piece

  // Shared with the server's thread and the reader.
  mutable std::mutex mutex_;
  bool started_ = false;
  // A ring of whole frames, allocated by Open.
  std::vector<uint8_t> ring_;
  size_t ringStart_ = 0;
  size_t ringBytes_ = 0;
  uint64_t overrunFrames_ = 0;
  std::atomic<bool> connected_{false};
  std::atomic<uint32_t> lost_{0};
  std::atomic<bool> inputRemoved_{false};
  std::atomic<bool> chosenBack_{false};
};

}  // namespace tarnovox
