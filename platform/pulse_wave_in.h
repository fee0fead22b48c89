#pragma once
// Wave input on the desktop's sound server: a record stream on the chosen
// source (the default one unless told otherwise). The server's thread plays the driver: it copies arriving frames into
// the queued buffers in order and hands each back when full; frames that find
// no queued buffer wait in a backlog that AddBuffer empties.
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/wave_in.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_sample_spec;

namespace tarnovox {

class PulseWaveIn final : public WaveIn {
 public:
  // Long enough for a window thread that is held up for several seconds.
  static constexpr uint32_t kDefaultBacklogMs = 15000;

  explicit PulseWaveIn(std::string streamName = "Capture", uint32_t backlogMs = kDefaultBacklogMs);
  ~PulseWaveIn() override;

  uint32_t Open(const WaveFormat& format) override;
  void SetSource(const std::string& source) override { source_ = source; }
  std::string SubstituteNotice() const override { return notice_; }
  bool SubstituteEnded() const override { return chosenBack_.load(); }
  void Prepare(WaveBuffer& buffer) override;
  void Unprepare(WaveBuffer& buffer) override;
  void AddBuffer(WaveBuffer& buffer) override;
  void Start() override;
  void Stop() override;
  void Reset() override;
  void Close() override;
  std::string ErrorText(uint32_t code) const override;
  uint64_t OverrunFrames() const override;
  uint32_t LostCode() const override { return lost_.load(); }

 private:
  static void OnRead(pa_stream* stream, size_t bytes, void* self);
  // Converts the server's 16-bit stereo into the open format, then delivers.
  void DeliverConverted(const uint8_t* data, size_t bytes);
  static void OnStateChange(void* self);
  void NoteLost();
  // `data` null: that many bytes of silence.
  void Deliver(const uint8_t* data, size_t bytes);
  size_t FillQueue(const uint8_t* data, size_t bytes);
  void Keep(const uint8_t* data, size_t bytes);
  void DrainBacklog();
  void HandBackHead(uint32_t bytes);
  uint32_t Fail(int error);
  // With the loop's lock held: a record stream on `device` (empty: the default
  // source), ready. Returns 0 or the server's error code.
  int ConnectStream(const pa_sample_spec& spec, const std::string& device);
  // With the loop's lock held: the source to open, noting a missing choice.
  std::string ChosenOrDefault();
  void NoteMissingSource();
  // With the loop's lock held, after a substituting open: watches for the
  // chosen source (or a default output) to appear.
  void WatchForChosenSource();
  static void OnServerEvent(pa_context* context, int type, uint32_t index, void* self);
  void DropStream();

  std::string streamName_;
  uint32_t backlogMs_;
  std::string source_;
  std::string notice_;
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  uint32_t frameBytes_ = 4;
  uint8_t silenceByte_ = 0;
  // The server always delivers 16-bit stereo; other formats are made here.
  WaveFormat format_;
  bool convert_ = false;
  std::vector<int16_t> stereo_;      // whole frames gathered from the server's pieces
  size_t stereoBytes_ = 0;           // of which this many are filled
  std::vector<uint8_t> converted_;   // one converted piece

  // Shared with the server's thread.
  mutable std::mutex mutex_;
  std::deque<WaveBuffer*> queue_;
  uint32_t fill_ = 0;  // bytes already in the buffer at the head of the queue
  bool started_ = false;
  // A ring of whole frames, allocated by Open. Only ever holds frames while the
  // queue is empty, so its frames always come after those in the queue.
  std::vector<uint8_t> backlog_;
  size_t backlogStart_ = 0;
  size_t backlogBytes_ = 0;
  uint64_t overrunFrames_ = 0;
  std::atomic<bool> connected_{false};
  std::atomic<uint32_t> lost_{0};
  std::atomic<bool> chosenBack_{false};
};

}  // namespace tarnovox
