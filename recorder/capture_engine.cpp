#include "recorder/capture_engine.h"

#include <algorithm>
#include <chrono>

#include "platform/pcm_convert.h"

namespace tarnovox {

namespace {
// Bytes read from a stream at a time: 0.25 s of 44.1 kHz 16-bit stereo.
constexpr size_t kReadBytes = 44100;
}  // namespace

CaptureEngine::CaptureEngine(CaptureStream& monitor, CaptureStream& mp3Stream)
    : monitor_(monitor), mp3Stream_(mp3Stream), readBuffer_(kReadBytes) {}

CaptureEngine::~CaptureEngine() {
  StopThread();
  if (takeRunning_) EndTake();
  CloseTakeStream();
  CloseMonitoring();
}

void CaptureEngine::StartThread() {
  if (thread_.joinable()) return;
  {
    std::lock_guard lock(threadMutex_);
    quit_ = false;
  }
  thread_ = std::thread([this] { Run(); });
}

void CaptureEngine::StopThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(threadMutex_);
    quit_ = true;
  }
  threadWake_.notify_all();
  thread_.join();
}

void CaptureEngine::Run() {
  std::unique_lock lock(threadMutex_);
  while (!quit_) {
    threadWake_.wait_for(lock, std::chrono::milliseconds(kReadIntervalMs), [this] { return quit_; });
    if (quit_) break;
    lock.unlock();
    Pump();
    lock.lock();
  }
}

void CaptureEngine::Pump() {
  std::lock_guard lock(mutex_);
  if (monitorOpen_) ReadMonitor();
  if (mp3Open_) ReadMp3Stream();
  Publish();
}

void CaptureEngine::ReadMonitor() {
  const bool takeOnMonitor = takeStream_ == &monitor_;
  while (size_t bytes = monitor_.Read(readBuffer_.data(), readBuffer_.size())) {
    FeedMeters(readBuffer_.data(), bytes);
    if (ring_.On()) FeedSharedTake(readBuffer_.data(), bytes);
    else if (takeOnMonitor) Write(readBuffer_.data(), bytes);
  }
}

void CaptureEngine::ReadMp3Stream() {
  const bool takeOnStream = takeStream_ == &mp3Stream_;
  while (size_t bytes = mp3Stream_.Read(readBuffer_.data(), readBuffer_.size())) {
    if (takeOnStream) Write(readBuffer_.data(), bytes);
  }
}

void CaptureEngine::Write(const uint8_t* frames, size_t bytes) {
  if (!writer_ || !writer_->Failure().empty()) return;
  if (frameLimit_ > 0) {
    const uint64_t room = (frameLimit_ - framesWritten_) * takeFrameBytes_;
    bytes = static_cast<size_t>(std::min<uint64_t>(bytes, room));
    if (bytes == 0) return;
  }
  writer_->Append(frames, bytes);
  framesWritten_ += bytes / takeFrameBytes_;
}

void CaptureEngine::FeedSharedTake(const uint8_t* frames, size_t bytes) {
  const uint64_t first = ring_.End();
  ring_.Push(frames, bytes);
  if (!sharedTake_) return;
  gate_.Feed(reinterpret_cast<const int16_t*>(frames), first, bytes / 4, ring_.Oldest(),
             [this](uint64_t from, uint64_t to) { WriteKept(from, to); });
}

// Frames the gate let through, from the ring, in the take's format. A take
// that waited for sound creates its file now.
void CaptureEngine::WriteKept(uint64_t from, uint64_t to) {
  if (createFile_) {
    startFailure_ = createFile_();
    createFile_ = nullptr;
  }
  if (!startFailure_.empty()) return;
  ring_.Visit(from, to, [this](const uint8_t* frames, size_t bytes) {
    if (!NeedsConversion(sharedFormat_)) return Write(frames, bytes);
    converted_.resize(bytes / 4 * sharedFormat_.BlockAlign());
    Write(converted_.data(), ConvertFromStereo16(reinterpret_cast<const int16_t*>(frames), bytes / 4,
                                                 sharedFormat_, converted_.data()));
  });
}

void CaptureEngine::FeedMeters(const uint8_t* frames, size_t bytes) {
  const size_t blockBytes = gathering_.size();
  if (blockBytes == 0) return;
  while (bytes > 0) {
    const size_t take = std::min(bytes, blockBytes - gathered_);
    std::copy_n(frames, take, gathering_.data() + gathered_);
    gathered_ += take;
    frames += take;
    bytes -= take;
    if (gathered_ < blockBytes) continue;
    gathered_ = 0;
    std::lock_guard lock(publishedMutex_);
    newest_.format = monitorFormat_;
    newest_.frames = framesPerBuffer_;
    newest_.fftSize = fftSize_;
    newest_.pcm.swap(gathering_);
    gathering_.resize(blockBytes);
    ++newestSequence_;
  }
}

void CaptureEngine::Publish() {
  TakeProgress progress;
  if (takeRunning_ && writer_) {
    progress.file = writer_->CurrentFile();
    progress.failure = startFailure_.empty() ? writer_->Failure() : startFailure_;
    progress.limitReached = frameLimit_ > 0 && framesWritten_ >= frameLimit_;
    progress.armed = sharedTake_ && gate_.Armed();
    progress.silencePaused = sharedTake_ && gate_.SilencePaused();
    progress.framesWritten = framesWritten_;
  }
  if (takeStream_) {
    progress.lostFrames = takeStream_->OverrunFrames() - overrunAtStart_;
    progress.sampleRate = takeStream_ == &monitor_ ? monitorFormat_.sampleRate : mp3Rate_;
    if (takeStream_ == &mp3Stream_) {
      progress.streamLostCode = mp3Stream_.LostCode();
      progress.streamInputRemoved = progress.streamLostCode != 0 && mp3Stream_.InputRemoved();
    }
  }
  std::lock_guard lock(publishedMutex_);
  progress_ = std::move(progress);
}

TakeProgress CaptureEngine::Progress() const {
  std::lock_guard lock(publishedMutex_);
  return progress_;
}

bool CaptureEngine::TakeNewestBlock(MeterBlock& block) {
  std::lock_guard lock(publishedMutex_);
  if (newestSequence_ == takenSequence_) return false;
  takenSequence_ = newestSequence_;
  block = newest_;
  return true;
}

void CaptureEngine::SetGeometry(uint32_t sampleRate) {
  switch (sampleRate) {
    case 44100: framesPerBuffer_ = 4410; fftSize_ = 4096; break;
    case 22050: framesPerBuffer_ = 2205; fftSize_ = 2048; break;
    case 11025: framesPerBuffer_ = 1102; fftSize_ = 1024; break;
    default: break;  // an unlisted rate keeps the geometry of the open before
  }
}

void CaptureEngine::ResetMeters() {
  gathering_.assign(static_cast<size_t>(framesPerBuffer_) * monitorFormat_.BlockAlign(), 0);
  gathered_ = 0;
}

uint32_t CaptureEngine::OpenMonitorStream(const PcmFormat& format, const std::string& source) {
  monitor_.SetSource(source);
  if (const uint32_t code = monitor_.Open(format)) return code;
  monitorSource_ = source;
  monitorFormat_ = format;
  SetGeometry(format.sampleRate);
  ResetMeters();
  monitorOpen_ = true;
  return 0;
}

uint32_t CaptureEngine::OpenMonitoring(const std::string& source, uint32_t sampleRate, uint64_t preFrames) {
  std::lock_guard lock(mutex_);
  if (monitorOpen_) return 0;
  PcmFormat format;  // 16-bit stereo
  format.sampleRate = sampleRate;
  const uint32_t code = OpenMonitorStream(format, source);
  if (code != 0) return code;
  // One read more than asked: a start level finds its onset anywhere in the newest read.
  preFrames_ = preFrames;
  ring_.Resize(preFrames > 0 ? preFrames + kReadBytes / 4 : 0, 4);
  monitor_.Start();
  return 0;
}

void CaptureEngine::CloseMonitoring() {
  std::lock_guard lock(mutex_);
  if (!monitorOpen_) return;
  monitor_.Close();
  monitorOpen_ = false;
  if (takeStream_ == &monitor_) takeStream_ = nullptr;
}

uint32_t CaptureEngine::MonitorLostCode() const { return monitorOpen_ ? monitor_.LostCode() : 0; }

uint32_t CaptureEngine::OpenWavTakeStream(const PcmFormat& format, const std::string& source) {
  CloseMonitoring();
  std::lock_guard lock(mutex_);
  ring_.Resize(0, 4);
  preFrames_ = 0;
  const uint32_t code = OpenMonitorStream(format, source);
  if (code == 0) {
    takeStream_ = &monitor_;
    takeFrameBytes_ = format.BlockAlign();
  }
  return code;
}

uint32_t CaptureEngine::OpenMp3TakeStream(const PcmFormat& format, const std::string& source) {
  std::lock_guard lock(mutex_);
  mp3Stream_.SetSource(source);
  if (const uint32_t code = mp3Stream_.Open(format)) return code;
  mp3Open_ = true;
  mp3Rate_ = format.sampleRate;
  takeStream_ = &mp3Stream_;
  takeFrameBytes_ = format.BlockAlign();
  return 0;
}

void CaptureEngine::CloseTakeStream() {
  std::lock_guard lock(mutex_);
  if (mp3Open_) mp3Stream_.Close();
  mp3Open_ = false;
  if (takeStream_ == &monitor_ && monitorOpen_) {
    monitor_.Close();
    monitorOpen_ = false;
  }
  takeStream_ = nullptr;
}

void CaptureEngine::BeginTake(std::unique_ptr<TakeWriter> writer, uint64_t frameLimit) {
  {
    std::lock_guard lock(mutex_);
    if (!takeStream_) return;
    writer_ = std::move(writer);
    frameLimit_ = frameLimit;
    framesWritten_ = 0;
    marks_ = 0;
    takeRunning_ = true;
    takeStream_->Start();
    Publish();
  }
}

bool CaptureEngine::BeginSharedTake(std::unique_ptr<TakeWriter> writer, SharedTake take) {
  std::lock_guard lock(mutex_);
  if (!monitorOpen_ || !ring_.On()) return false;
  ReadMonitor();  // what the stream holds was captured before the command: kept, not yet the take's
  writer_ = std::move(writer);
  sharedFormat_ = take.format;
  takeFrameBytes_ = take.format.BlockAlign();
  frameLimit_ = take.frameLimit;
  framesWritten_ = 0;
  createFile_ = std::move(take.createFile);
  startFailure_.clear();
  overrunAtStart_ = monitor_.OverrunFrames();
  takeStream_ = &monitor_;
  sharedTake_ = true;
  takeRunning_ = true;
  gate_.Begin(take.rules, ring_.End(), ring_.Oldest(), [this](uint64_t from, uint64_t to) { WriteKept(from, to); });
  Publish();
  return true;
}

// Writes everything captured up to now; monitoring stays open.
std::string CaptureEngine::EndSharedTake() {
  ReadMonitor();
  gate_.End();
  if (writer_ && !createFile_ && startFailure_.empty()) writer_->Finish();  // a take that never began has no file
  Publish();
  std::string failure = startFailure_.empty() && writer_ ? writer_->Failure() : startFailure_;
  writer_.reset();
  createFile_ = nullptr;
  sharedTake_ = false;
  takeRunning_ = false;
  takeStream_ = nullptr;
  overrunAtStart_ = 0;
  return failure;
}

void CaptureEngine::PauseTake() {
  std::lock_guard lock(mutex_);
  if (!takeStream_) return;
  if (sharedTake_) {
    ReadMonitor();
    gate_.Pause();
    Publish();
    return;
  }
  takeStream_->Stop();
  if (takeStream_ == &monitor_) ReadMonitor();
  else ReadMp3Stream();
  Publish();
}

int CaptureEngine::MarkTake(std::string& failure) {
  std::lock_guard lock(mutex_);
  if (!takeRunning_ || !takeStream_ || !writer_ || !writer_->Failure().empty()) return 0;
  if (takeStream_ == &monitor_) ReadMonitor();
  else ReadMp3Stream();
  ++marks_;
  failure = writer_->AddMark("Mark " + std::to_string(marks_));
  return marks_;
}

void CaptureEngine::ResumeTake() {
  std::lock_guard lock(mutex_);
  if (sharedTake_) {
    ReadMonitor();  // captured during the pause: kept, not written
    gate_.Resume(ring_.End());
  } else if (takeStream_) {
    takeStream_->Start();
  }
}

std::string CaptureEngine::EndTake(TakeProgress* last) {
  std::lock_guard lock(mutex_);
  if (!takeStream_) return {};
  if (sharedTake_) {
    std::string failure = EndSharedTake();
    if (last) {
      std::lock_guard published(publishedMutex_);
      *last = progress_;
    }
    Publish();
    return failure;
  }
  takeStream_->Stop();
  if (takeStream_ == &monitor_) ReadMonitor();
  else ReadMp3Stream();
  if (writer_) writer_->Finish();
  Publish();
  if (last) {
    std::lock_guard published(publishedMutex_);
    *last = progress_;
  }
  std::string failure = writer_ ? writer_->Failure() : std::string();
  writer_.reset();
  takeRunning_ = false;
  if (takeStream_ == &mp3Stream_) {
    mp3Stream_.Close();
    mp3Open_ = false;
  } else {
    monitor_.Close();
    monitorOpen_ = false;
  }
  takeStream_ = nullptr;
  Publish();
  return failure;
}

}  // namespace tarnovox
