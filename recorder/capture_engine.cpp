#include "recorder/capture_engine.h"

#include <algorithm>

#include "formats/append_file.h"
#include "recorder/collaborators.h"
#include "recorder/ui_hooks.h"
#include "formats/wave_format.h"

namespace tarnovox {
namespace {

// True when sequence a was queued before b, also across the 32-bit wrap.
bool QueuedBefore(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

}  // namespace

CaptureEngine::CaptureEngine(WaveIn& device, RecordSettings& settings, RecorderState& state, UiHooks& hooks)
    : device_(device), settings_(settings), state_(state), hooks_(hooks) {}

void CaptureEngine::OpenMonitorDevice() { Open(true, true); }
void CaptureEngine::OpenRecordDevice() { Open(false, true); }
bool CaptureEngine::TryOpenMonitorDevice() { return Open(true, false) || DeviceOpen; }

bool CaptureEngine::Open(bool monitoring, bool tellFailure) {
  if (DeviceOpen) return false;
  WaveFormat format;
  if (monitoring) {
    FramesPerBuffer = 4410;
    FftSize = 4096;
  } else {
    if (settings_.MP3) settings_.SamplePerSecond = 44100;
    switch (settings_.SamplePerSecond) {
      case 44100: FramesPerBuffer = 4410; FftSize = 4096; break;
      case 22050: FramesPerBuffer = 2205; FftSize = 2048; break;
      case 11025: FramesPerBuffer = 1102; FftSize = 1024; break;
      default: break;  // an unlisted rate keeps the geometry of the previous open
    }
    format.channels = settings_.Channels;
    format.samplesPerSec = settings_.SamplePerSecond;
    format.bitsPerSample = settings_.BitPerSample;
    format.blockAlign = static_cast<uint16_t>((settings_.BitPerSample >> 3) * settings_.Channels);
    format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
  }
  BlockAlign = format.blockAlign;
  BytesPerSecond = format.avgBytesPerSec;
  BytesPerBuffer = static_cast<uint32_t>(FramesPerBuffer) * BlockAlign;
  HalfRingBytes = kHalfBuffers * BytesPerBuffer;
  PcmRing.assign(static_cast<size_t>(kBufferCount) * BytesPerBuffer, 0);
  LeftSamples.assign(2u * FramesPerBuffer, 0);
  RightSamples.assign(2u * FramesPerBuffer, 0);

  device_.SetSource(settings_.Source);
  uint32_t code = device_.Open(format);
  if (code != 0) {
    if (tellFailure) hooks_.ShowMessage(device_.ErrorText(code));
    return false;
  }
  openedSource_ = settings_.Source;
  TellSubstitute(monitoring, tellFailure);
  Format = format;
  DeviceOpen = true;
  QueueAllBuffers();
  device_.Start();
  return true;
}

// A missing input is told at start-up and at every Record; reopening
// monitoring after a stop does not repeat what the user was just told.
void CaptureEngine::TellSubstitute(bool monitoring, bool tell) {
  const std::string notice = device_.SubstituteNotice();
  if (notice.empty()) {
    toldSubstitute_.clear();
    return;
  }
  if (!tell || (monitoring && notice == toldSubstitute_)) return;
  hooks_.ShowMessage(notice);
  toldSubstitute_ = notice;
}

// Monitoring follows the input chosen in the settings, also when a missing one
// turns up; a recording keeps the input it began with.
void CaptureEngine::FollowChosenInput() {
  if (!DeviceOpen || state_.recording) return;
  if (openedSource_ == settings_.Source && !device_.SubstituteEnded()) return;
  CloseCaptureDevice();
  OpenMonitorDevice();
}

void CaptureEngine::QueueWaveBuffer(int i) {
  WaveBuffer& buffer = buffers_[i];
  ++NextSequence;
  buffer.data = BufferData(i);
  buffer.bufferLength = BytesPerBuffer;
  buffer.bytesRecorded.store(0, std::memory_order_relaxed);
  buffer.user = NextSequence;
  buffer.flags.store(0, std::memory_order_relaxed);
  queuedSequence_[i] = NextSequence;
  device_.Prepare(buffer);
  device_.AddBuffer(buffer);
}

void CaptureEngine::QueueAllBuffers() {
  for (int i = 0; i < kBufferCount; ++i) QueueWaveBuffer(i);
}

void CaptureEngine::CloseCaptureDevice() {
  if (!DeviceOpen) return;
  device_.Reset();
  for (auto& buffer : buffers_) device_.Unprepare(buffer);
  device_.Close();
  DeviceOpen = false;
}

void CaptureEngine::StopCapture() {
  if (!DeviceOpen) return;
  device_.Stop();
  CollectStoppedBuffers();
}

void CaptureEngine::StartCapture() {
  if (DeviceOpen) device_.Start();
}

// The device hands back the buffer it was filling partly filled when it stops.
// A half is only flushed when all 20 of its buffers are full, so such a buffer
// would hold its half back for good. Instead everything captured so far is
// written now, in capture order, and the ring starts afresh for the resume.
void CaptureEngine::CollectStoppedBuffers() {
  if (Writing()) {
    for (int i : UnwrittenBuffersInCaptureOrder(false)) {
      if (!AppendToWave(BufferData(i), buffers_[i].bytesRecorded.load(std::memory_order_acquire))) break;
    }
  }
  device_.Reset();
  QueueAllBuffers();
}

std::vector<int> CaptureEngine::UnwrittenBuffersInCaptureOrder(bool wholeBuffersOnly) const {
  std::vector<int> indices;
  for (int i = 0; i < kBufferCount; ++i) {
    uint32_t bytes = buffers_[i].bytesRecorded.load(std::memory_order_acquire);
    if (bytes == BytesPerBuffer || (!wholeBuffersOnly && bytes > 0)) indices.push_back(i);
  }
  std::sort(indices.begin(), indices.end(),
            [this](int a, int b) { return QueuedBefore(queuedSequence_[a], queuedSequence_[b]); });
  return indices;
}

void CaptureEngine::PollCapture() {
  FollowChosenInput();
  if (!DeviceOpen) return;
  CurrentBufferIndex = -1;
  for (int i = 0; i < kBufferCount; ++i) {
    BufferFilled[i] = buffers_[i].bytesRecorded.load(std::memory_order_acquire) == BytesPerBuffer ? 1 : 0;
    if (BufferFilled[i] && buffers_[i].user > LastSequence) {
      LastSequence = buffers_[i].user;
      CurrentBufferIndex = i;
    }
  }
  if (CurrentBufferIndex >= 0) {
    if (analysis_) {
      if (state_.recording) analysis_->SplitRecordBuffer();
      else analysis_->SplitMonitorBuffer();
      analysis_->MeasurePeaks();
    }
    buffers_[CurrentBufferIndex].user = 0;
    if (analysis_ && !state_.Minimized) analysis_->RefreshMeters();
  }
  auto halfComplete = [this](int h) {
    uint32_t sum = 0;
    for (int i = h * kHalfBuffers; i < (h + 1) * kHalfBuffers; ++i) sum += BufferFilled[i];
    return sum == kHalfBuffers;
  };
  const bool first = halfComplete(0), second = halfComplete(1);
  // A late poll may find both halves complete: write them in capture order.
  if (first && second && QueuedBefore(queuedSequence_[kHalfBuffers], queuedSequence_[0])) {
    FlushHalf(1);
    FlushHalf(0);
    return;
  }
  if (first) FlushHalf(0);
  if (second) FlushHalf(1);
}

bool CaptureEngine::Writing() const {
  return state_.recording && !state_.CurrentFile.empty() && settings_.Wav && WaveStream.IsOpen() && !writeFailed_;
}

void CaptureEngine::FlushHalf(int h) {
  if (Writing()) AppendToWave(BufferData(h * kHalfBuffers), HalfRingBytes);
  RequeueHalf(h);
  device_.Start();
}

void CaptureEngine::RequeueHalf(int h) {
  for (int i = h * kHalfBuffers; i < (h + 1) * kHalfBuffers; ++i) {
    ++NextSequence;
    buffers_[i].bytesRecorded.store(0, std::memory_order_relaxed);
    buffers_[i].user = NextSequence;
    queuedSequence_[i] = NextSequence;
    device_.AddBuffer(buffers_[i]);
  }
}

std::array<uint8_t, 44> CaptureEngine::BuildWaveHeader() const {
  // From the format the device was opened with, which is the format of the data.
  WaveHeaderFields fields;
  fields.channels = Format.channels;
  fields.sampleRate = Format.samplesPerSec;
  fields.bytesPerSecond = BytesPerSecond;
  fields.blockAlign = BlockAlign;
  fields.bitsPerSample = Format.bitsPerSample;
  fields.dataBytes = WaveDataBytes;
  return MakeWaveHeader(fields);
}

bool CaptureEngine::AppendToWave(const uint8_t* data, uint32_t bytes) {
  if (writeFailed_ || !WaveStream.IsOpen()) return false;
  if (WaveStream.DataBytes() + bytes > maxWaveDataBytes_ && WaveStream.DataBytes() > 0 && !RollOverToNextFile())
    return false;
  std::string error = WaveStream.Append(data, bytes, BlockAlign);
  WaveDataBytes = static_cast<uint32_t>(WaveStream.DataBytes());
  // Keep the sizes in the header true after every write, so a recording whose
  // program dies plays back up to its last write.
  std::string headerError = WaveStream.WriteHeader(BuildWaveHeader());
  if (!error.empty() || !headerError.empty()) {
    ReportWriteFailure("Stream write error. " + (error.empty() ? headerError : error));
    return false;
  }
  return true;
}

// A RIFF file cannot describe more than 4 GiB of data: the recording goes on,
// without a gap, in the next free record number.
bool CaptureEngine::RollOverToNextFile() {
  FinishWaveFile();
  if (!nextFileNamer_ || !nextFileNamer_()) {
    ReportWriteFailure("The recording was ended: no free file name is left for its continuation.");
    return false;
  }
  WaveDataBytes = 0;
  WaveHeader = BuildWaveHeader();
  return CreateWaveFile();
}

bool CaptureEngine::CreateWaveFile() {
  // Another program may take the chosen name after it was checked; the file is
  // created exclusively and never truncated, so go on with the next free number.
  const std::string error = CreateUnderAFreeName([this] { return WaveStream.Create(state_.CurrentFile, WaveHeader); },
                                                 [this] { return WaveStream.NameTaken(); }, nextFileNamer_);
  if (!error.empty()) ReportWriteFailure(error);
  return error.empty();
}

void CaptureEngine::ReportWriteFailure(const std::string& message) {
  writeFailed_ = true;
  if (failureMessage_.empty()) failureMessage_ = message;
}

std::string CaptureEngine::TakeFailureMessage() {
  std::string message;
  message.swap(failureMessage_);
  return message;
}

void CaptureEngine::BeginWaveFile() {
  if (!DeviceOpen) return;
  device_.Reset();
  state_.recording = true;
  NextSequence = 0;
  LastSequence = 0;
  WaveDataBytes = 0;
  writeFailed_ = false;
  failureMessage_.clear();
  WaveHeader = BuildWaveHeader();
  // No file, no recording: the recorder closes the device and goes back to monitoring.
  if (!state_.CurrentFile.empty() && !CreateWaveFile()) state_.recording = false;
  QueueAllBuffers();
  device_.Start();
}

void CaptureEngine::EndWaveFile() {
  if (!DeviceOpen || state_.CurrentFile.empty()) return;
  // The remaining full buffers, in the order they were captured (after a late
  // poll the second half can hold older sound than the first).
  for (int i : UnwrittenBuffersInCaptureOrder(true)) {
    if (buffers_[i].user != 0 && analysis_) {
      CurrentBufferIndex = i;
      analysis_->SplitRecordBuffer();
    }
    if (!Writing() || !AppendToWave(BufferData(i), BytesPerBuffer)) break;
  }
  FinishWaveFile();
  state_.recording = false;
}

void CaptureEngine::FinishWaveFile() {
  if (!WaveStream.IsOpen()) return;
  WaveDataBytes = static_cast<uint32_t>(WaveStream.DataBytes());
  WaveHeader = BuildWaveHeader();
  std::string error = WaveStream.WriteHeader(WaveHeader);
  std::string closeError = WaveStream.Close();
  if (error.empty()) error = closeError;
  if (!error.empty()) ReportWriteFailure("Stream write error. " + error);
}

}  // namespace tarnovox
