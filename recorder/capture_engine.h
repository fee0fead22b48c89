#pragma once
// Owns the wave-input device, its 40 buffers in one byte ring, and the WAV
// output stream of a recording. Polled every 100 ms from the recording tick.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "recorder/recorder_state.h"
#include "formats/wave_file_writer.h"
#include "platform/wave_in.h"
#include "settings/record_settings.h"

namespace tarnovox {

class CaptureAnalysis;
class UiHooks;

class CaptureEngine {
 public:
  static constexpr int kBufferCount = 40;
  static constexpr int kHalfBuffers = 20;
  // Largest data chunk a RIFF file can describe: its RIFF size (data + 36) is 32-bit.
  static constexpr uint64_t kMaxWaveDataBytes = 0xFFFFFFFFull - 36;

  CaptureEngine(WaveIn& device, RecordSettings& settings, RecorderState& state, UiHooks& hooks);

  void SetAnalysis(CaptureAnalysis* analysis) { analysis_ = analysis; }
  // Called when a file reaches the size limit; must pick the next free name and
  // store it in RecorderState::CurrentFile, or return false to end the recording.
  void SetNextFileNamer(std::function<bool()> namer) { nextFileNamer_ = std::move(namer); }
  // The data size past which a recording goes on in a new file (tests lower it).
  void SetMaxWaveDataBytes(uint64_t limit) { maxWaveDataBytes_ = limit; }

  void OpenMonitorDevice();
  void OpenRecordDevice();
  // Opens monitoring without telling a failure (for quiet retries); true when open.
  bool TryOpenMonitorDevice();
  void CloseCaptureDevice();
  // Pausing and resuming a WAV recording.
  void StopCapture();
  void StartCapture();
  void BeginWaveFile();
  void PollCapture();
  void EndWaveFile();

  // True after the WAV file could not be created or written; the recorder then
  // ends the recording and shows TakeFailureMessage(). The engine itself never
  // opens a message box in the middle of a poll.
  bool WriteFailed() const { return writeFailed_; }
  std::string TakeFailureMessage();
  // The open device stopped delivering for good (the sound server went away).
  bool DeviceLost() const { return DeviceOpen && device_.LostCode() != 0; }
  std::string LostDeviceText() const { return device_.ErrorText(device_.LostCode()); }
  // Frames the open device could not keep because no buffer was free for them.
  uint64_t LostFrames() const { return DeviceOpen ? device_.OverrunFrames() : 0; }

  // Read by the analysis and the displays.
  bool DeviceOpen = false;
  WaveFormat Format;
  uint16_t FramesPerBuffer = 4410;
  uint16_t FftSize = 4096;
  uint16_t BlockAlign = 4;
  uint32_t BytesPerSecond = 176400;
  uint32_t BytesPerBuffer = 17640;
  uint32_t HalfRingBytes = 352800;
  std::vector<uint8_t> PcmRing;
  std::array<uint32_t, kBufferCount> BufferFilled{};
  uint32_t NextSequence = 0;
  uint32_t LastSequence = 0;
  int32_t CurrentBufferIndex = -1;
  std::vector<int16_t> LeftSamples;
  std::vector<int16_t> RightSamples;
  uint32_t WaveDataBytes = 0;
  std::array<uint8_t, 44> WaveHeader{};

  const WaveBuffer& Buffer(int i) const { return buffers_[i]; }

 private:
  bool Open(bool monitoring, bool tellFailure);
  void TellSubstitute(bool monitoring, bool tell);
  void FollowChosenInput();
  // Creates CurrentFile; a name taken meanwhile moves on to the next free one.
  bool CreateWaveFile();
  void QueueWaveBuffer(int i);
  void FlushHalf(int h);
  void RequeueHalf(int h);
  void QueueAllBuffers();
  void CollectStoppedBuffers();
  bool AppendToWave(const uint8_t* data, uint32_t bytes);
  bool RollOverToNextFile();
  void FinishWaveFile();
  void ReportWriteFailure(const std::string& message);
  std::array<uint8_t, 44> BuildWaveHeader() const;
  std::vector<int> UnwrittenBuffersInCaptureOrder(bool wholeBuffersOnly) const;
  bool Writing() const;
  uint8_t* BufferData(int i) { return PcmRing.data() + static_cast<size_t>(i) * BytesPerBuffer; }

  WaveIn& device_;
  RecordSettings& settings_;
  RecorderState& state_;
  UiHooks& hooks_;
  CaptureAnalysis* analysis_ = nullptr;
  std::function<bool()> nextFileNamer_;
  uint64_t maxWaveDataBytes_ = kMaxWaveDataBytes;

  std::array<WaveBuffer, kBufferCount> buffers_;
  // Sequence number of each buffer's last queueing; unlike the header's user
  // value it is not cleared by analysis, so buffers can be written in capture order.
  std::array<uint32_t, kBufferCount> queuedSequence_{};
  WaveFileWriter WaveStream;
  bool writeFailed_ = false;
  std::string failureMessage_;
  std::string openedSource_;     // the input chosen when the device was opened
  std::string toldSubstitute_;   // the missing input last told, until it is found again
};

}  // namespace tarnovox
