#pragma once
// The capture path. The monitoring stream feeds the meters and, reopened in a
// WAV take's format, the take itself; an MP3 take captures through a stream of
// its own beside it. With pre-record or a start level the monitoring stream
// stays open for the take instead, keeps its newest seconds in a ring and
// hands the take the kept frames, then the live ones. The engine's capture thread reads both streams and hands
// the take's frames to its writer in the order they were captured, so nothing
// the window thread does (a modal box, a slow paint, a big folder) can lose or
// delay sound.
//
// Every operation but Pump is called from the window thread; they and the
// capture thread take turns on the streams and the writer.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "formats/take_writer.h"
#include "platform/capture_stream.h"
#include "recorder/pre_record_ring.h"
#include "recorder/take_gate.h"

namespace tarnovox {

// One display's worth of monitored sound: the newest whole block of
// FramesPerBuffer frames, in the format the monitoring stream was open in.
struct MeterBlock {
  PcmFormat format;
  uint32_t frames = 4410;
  uint16_t fftSize = 4096;
  std::vector<uint8_t> pcm;
};

// What the capture thread tells of a running take after every read.
struct TakeProgress {
  std::string file;         // the file the take writes now
  std::string failure;      // the writer failed: the take must end, and this is why
  uint64_t lostFrames = 0;  // frames the take's stream could not keep
  uint32_t sampleRate = 44100;
  uint32_t streamLostCode = 0;  // the MP3 take's own stream stopped for good
  bool streamInputRemoved = false;  // ... because its input went away
  bool limitReached = false;    // the take holds the frames it was to end at
  bool armed = false;           // a shared take waits for its first sound (no file yet)
  bool silencePaused = false;   // a shared take waits for sound to return
  uint64_t framesWritten = 0;   // frames in the take so far
};

// A take on the monitoring stream (see OpenMonitoring's `preFrames`).
struct SharedTake {
  PcmFormat format;  // the writer's; converted from the stream's 16-bit stereo
  TakeRules rules;
  uint64_t frameLimit = 0;  // 0: none
  // Creates the take's file when its first frame is to be written (a take
  // that waits for sound has none before); empty when it exists already.
  // Returns "" or the failure to tell.
  std::function<std::string()> createFile;
};

class CaptureEngine {
 public:
  // How often the capture thread reads the streams.
  static constexpr int kReadIntervalMs = 40;

  CaptureEngine(CaptureStream& monitor, CaptureStream& mp3Stream);
  // Stops the capture thread, ends a take that still runs and closes both
  // streams, so no server thread writes into memory that goes with the engine.
  ~CaptureEngine();
  CaptureEngine(const CaptureEngine&) = delete;
  CaptureEngine& operator=(const CaptureEngine&) = delete;

  // The capture thread. Without it (in tests) the work is done by Pump calls.
  void StartThread();
  void StopThread();
  // Reads what the streams kept, writes the take's share, keeps the newest
  // block for the meters.
  void Pump();

  // Opens the monitoring stream (16-bit stereo, 44100 Hz unless told) on
  // `source`. With `preFrames` it keeps the newest that many frames (and one
  // read more) for takes begun by BeginSharedTake; the ring is allocated only
  // then. Returns 0 or the stream's error code (ErrorText explains it).
  uint32_t OpenMonitoring(const std::string& source, uint32_t sampleRate = 44100, uint64_t preFrames = 0);
  // What monitoring was opened with: its rate and the frames kept before a take.
  uint32_t MonitoringRate() const { return monitorFormat_.sampleRate; }
  uint64_t PreRecordFrames() const { return preFrames_; }
  void CloseMonitoring();
  bool MonitoringOpen() const { return monitorOpen_; }
  // The input monitoring was opened on, and whether the stream opened the
  // default input in place of a missing one (the text to tell), or found the
  // missing one back since.
  const std::string& MonitoringSource() const { return monitorSource_; }
  std::string MonitorSubstituteNotice() const { return monitor_.SubstituteNotice(); }
  bool MonitorSubstituteEnded() const { return monitor_.SubstituteEnded(); }
  // Non-zero once the monitoring stream stopped delivering for good.
  uint32_t MonitorLostCode() const;
  // The monitoring stream stopped because its input went away (the server stays).
  bool MonitorInputRemoved() const { return monitorOpen_ && monitor_.InputRemoved(); }
  std::string ErrorText(uint32_t code) const { return monitor_.ErrorText(code); }

  // A WAV take captures through the monitoring stream reopened in `format`;
  // an MP3 take through the second stream, beside monitoring. Returns 0 or the
  // stream's error code (for the WAV take monitoring is closed either way).
  uint32_t OpenWavTakeStream(const PcmFormat& format, const std::string& source);
  uint32_t OpenMp3TakeStream(const PcmFormat& format, const std::string& source);
  std::string Mp3SubstituteNotice() const { return mp3Stream_.SubstituteNotice(); }
  std::string Mp3ErrorText(uint32_t code) const { return mp3Stream_.ErrorText(code); }
  // Closes a take stream whose take could not begin.
  void CloseTakeStream();
  // Hands the take's writer to the capture thread and starts capturing into it.
  // With a `frameLimit` the take takes that many frames and no more, paused
  // time not counted; Progress() then tells that the limit was reached.
  void BeginTake(std::unique_ptr<TakeWriter> writer, uint64_t frameLimit = 0);
  // A take fed from the monitoring stream, which stays open: it begins with
  // the kept frames its rules ask for. False when monitoring keeps none.
  bool BeginSharedTake(std::unique_ptr<TakeWriter> writer, SharedTake take);
  // Stops the take's capture and writes everything captured so far.
  void PauseTake();
  void ResumeTake();
  // Stops capture, writes every frame captured up to now, finishes the file
  // and closes the take's stream (after a WAV take monitoring is closed).
  // Returns the take's failure text, empty when it ended well.
  std::string EndTake(TakeProgress* last = nullptr);
  // Marks the running take where it is now: what the take's stream holds is
  // written first, so the mark falls on the last frame captured, counted from
  // the current file's start without paused time. Returns the mark's number in
  // the take (0 when no take runs) and, in `failure`, the text the user is told
  // when its label file could not be written.
  int MarkTake(std::string& failure);
  bool TakeRunning() const { return takeRunning_; }
  TakeProgress Progress() const;

  // The newest block of monitored sound, when one was completed since the last
  // call; false otherwise.
  bool TakeNewestBlock(MeterBlock& block);
  // The block geometry follows the rate: 4410 frames at 44100 Hz, 2205 at
  // 22050, 1102 at 11025; another rate keeps the geometry of the open before.
  uint32_t FramesPerBuffer() const { return framesPerBuffer_; }
  uint16_t FftSize() const { return fftSize_; }

 private:
  void Run();
  void SetGeometry(uint32_t sampleRate);
  // The caller holds mutex_: opens the monitoring stream in `format`, not yet started.
  uint32_t OpenMonitorStream(const PcmFormat& format, const std::string& source);
  // The caller holds mutex_.
  void ReadMonitor();
  void ReadMp3Stream();
  void Write(const uint8_t* frames, size_t bytes);
  // The shared take's part: keeps the frames and writes what the gate lets through.
  void FeedSharedTake(const uint8_t* frames, size_t bytes);
  void WriteKept(uint64_t from, uint64_t to);
  std::string EndSharedTake();
  void FeedMeters(const uint8_t* frames, size_t bytes);
  void Publish();
  void ResetMeters();

  CaptureStream& monitor_;
  CaptureStream& mp3Stream_;

  // Streams, writer and take: shared by the window and capture threads.
  std::mutex mutex_;
  std::atomic<bool> monitorOpen_{false};
  std::string monitorSource_;
  PcmFormat monitorFormat_;
  bool mp3Open_ = false;
  uint32_t mp3Rate_ = 44100;  // the second stream's rate: 48000 for an Opus take
  std::atomic<bool> takeRunning_{false};
  CaptureStream* takeStream_ = nullptr;
  uint32_t takeFrameBytes_ = 4;
  std::unique_ptr<TakeWriter> writer_;
  uint64_t frameLimit_ = 0;  // 0: none
  uint64_t framesWritten_ = 0;
  int marks_ = 0;  // marks made in the take
  std::vector<uint8_t> readBuffer_;

  // The shared take: the ring, the gate and the writer's format.
  PreRecordRing ring_;
  uint64_t preFrames_ = 0;
  TakeGate gate_;
  bool sharedTake_ = false;
  PcmFormat sharedFormat_;
  std::function<std::string()> createFile_;
  std::string startFailure_;  // the file could not be created
  uint64_t overrunAtStart_ = 0;
  std::vector<uint8_t> converted_;

  uint32_t framesPerBuffer_ = 4410;
  uint16_t fftSize_ = 4096;
  std::vector<uint8_t> gathering_;  // the block being filled
  size_t gathered_ = 0;

  mutable std::mutex publishedMutex_;
  MeterBlock newest_;
  uint64_t newestSequence_ = 0;
  uint64_t takenSequence_ = 0;
  TakeProgress progress_;

  std::mutex threadMutex_;
  std::condition_variable threadWake_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace tarnovox
