#include "recorder/mp3_recorder.h"

#include "formats/encoder_config.h"

namespace tarnovox {

Mp3Recorder::Mp3Recorder(WaveIn& waveIn, DynamicLibraryLoader& loader, RecordSettings& settings,
                         RecorderState& state, UiHooks& ui)
    : waveIn_(waveIn), settings_(settings), state_(state), ui_(ui), encoder_(loader, ui) {}

Mp3Recorder::~Mp3Recorder() {
  if (deviceOpen_) CloseDevice();
}

void Mp3Recorder::Start() {
  if (deviceOpen_) return;
  lostFrames_ = 0;
  if (!encoder_.Load(false)) return;
  if (!encoder_.Init(RecordingConfig(settings_))) {
    encoder_.Release();
    return;
  }
  const uint32_t chunk = encoder_.SamplesPerChunk();
  samples_.assign(static_cast<size_t>(kBufferCount) * chunk, 0);
  chunkBytes_ = chunk * 2;
  settings_.BitPerSample = 16;
  if (!OpenDevice()) {
    encoder_.Release();
    return;
  }
  if (!CreateOutputFile()) {
    CloseDevice();
    encoder_.Release();
    return;
  }
  QueueAll();
  waveIn_.Start();
  state_.recording = true;
}

bool Mp3Recorder::OpenDevice() {
  format_ = WaveFormat{};
  format_.formatTag = 1;
  format_.channels = settings_.Mode == lame_enc::kModeMono ? 1 : 2;
  format_.samplesPerSec = kSampleRate;
  format_.bitsPerSample = 16;
  format_.blockAlign = static_cast<uint16_t>(2 * format_.channels);
  format_.avgBytesPerSec = format_.blockAlign * kSampleRate;
  format_.cbSize = 0;
  waveIn_.SetSource(settings_.Source);
  const uint32_t code = waveIn_.Open(format_);
  if (code != 0) {
    ui_.ShowMessage(waveIn_.ErrorText(code));
    return false;
  }
  // The take goes on from the default input; the user is told which.
  if (const std::string notice = waveIn_.SubstituteNotice(); !notice.empty()) ui_.ShowMessage(notice);
  deviceOpen_ = true;
  return true;
}

bool Mp3Recorder::CreateOutputFile() {
  if (state_.CurrentFile.empty()) return true;
  // Created exclusively: a name taken since it was chosen moves on to the next.
  const std::string error = CreateUnderAFreeName([this] { return file_.Create(state_.CurrentFile); },
                                                 [this] { return file_.NameTaken(); }, nextFileNamer_);
  if (!error.empty()) ui_.ShowMessage(error);
  return error.empty();
}

void Mp3Recorder::QueueAll() {
  sequence_ = 0;
  for (int i = 0; i < kBufferCount; ++i) {
    WaveBuffer& buffer = buffers_[i];
    buffer.data = reinterpret_cast<uint8_t*>(samples_.data() + static_cast<size_t>(i) * encoder_.SamplesPerChunk());
    buffer.bufferLength = chunkBytes_;
    buffer.bytesRecorded.store(0, std::memory_order_relaxed);
    buffer.user = ++sequence_;
    buffer.flags.store(0, std::memory_order_relaxed);
    waveIn_.Prepare(buffer);
    waveIn_.AddBuffer(buffer);
  }
}

// The driver publishes a byte count only when it hands a buffer back, and it
// fills buffers in queue order; so every buffer with bytes is finished, and
// the lowest sequence number among them is the oldest sound.
int Mp3Recorder::OldestHandedBack() const {
  int oldest = -1;
  for (int i = 0; i < kBufferCount; ++i) {
    if (buffers_[i].bytesRecorded.load(std::memory_order_acquire) == 0) continue;
    if (oldest < 0 || buffers_[i].user < buffers_[oldest].user) oldest = i;
  }
  return oldest;
}

bool Mp3Recorder::WriteOutput() {
  auto out = encoder_.Output();
  if (!file_.IsOpen() || out.empty()) return true;
  const std::string error = file_.Append(out.data(), out.size());
  if (error.empty()) return true;
  ui_.ShowMessage("Stream write error. " + error);
  return false;
}

bool Mp3Recorder::EncodeBuffer(int index) {
  WaveBuffer& buffer = buffers_[index];
  const uint32_t bytes = buffer.bytesRecorded.load(std::memory_order_acquire);
  if (!encoder_.Encode(reinterpret_cast<const int16_t*>(buffer.data), bytes / 2)) return false;
  if (!WriteOutput()) return false;
  buffer.bytesRecorded.store(0, std::memory_order_relaxed);
  buffer.user = ++sequence_;
  waveIn_.AddBuffer(buffer);
  return true;
}

void Mp3Recorder::EncodeHandedBack(int limit) {
  for (int n = 0; n < limit && deviceOpen_; ++n) {
    const int index = OldestHandedBack();
    if (index < 0) return;
    if (!EncodeBuffer(index)) {
      Abandon();
      return;
    }
  }
}

void Mp3Recorder::EncodeEverythingHandedBack() {
  // Re-queued buffers fill at once from what the device kept while none was
  // queued; a bound keeps a device that never stops from holding us here.
  for (int round = 0; round < 1000 && deviceOpen_ && OldestHandedBack() >= 0; ++round)
    EncodeHandedBack(kBufferCount);
}

void Mp3Recorder::EncodeFilledBuffers() {
  if (!deviceOpen_) return;
  EncodeHandedBack(kBufferCount);
  if (!deviceOpen_) return;
  lostFrames_ = waveIn_.OverrunFrames();
  if (const uint32_t lost = waveIn_.LostCode()) {
    // The sound server went away: keep everything that arrived, end the file
    // on a whole frame and say why.
    const std::string reason = waveIn_.ErrorText(lost);
    waveIn_.Stop();
    EncodeEverythingHandedBack();
    FinishFile();
    if (deviceOpen_) CloseDevice();
    state_.recording = false;
    ui_.ShowMessage(reason);
    return;
  }
  waveIn_.Start();
}

void Mp3Recorder::Pause() {
  if (!deviceOpen_) return;
  waveIn_.Stop();
  // Everything handed back so far, the partial buffer last.
  EncodeEverythingHandedBack();
}

void Mp3Recorder::Resume() {
  if (deviceOpen_) waveIn_.Start();
}

void Mp3Recorder::Stop() {
  if (deviceOpen_) {
    // Collect the sound since the last tick before the encoder is flushed.
    waveIn_.Stop();
    EncodeEverythingHandedBack();
    if (deviceOpen_) lostFrames_ = waveIn_.OverrunFrames();
  }
  FinishFile();
  state_.recording = false;
  if (deviceOpen_) CloseDevice();
}

void Mp3Recorder::FinishFile() {
  if (encoder_.StreamOpen() && encoder_.Flush()) WriteOutput();
  encoder_.Release();
  const std::string error = file_.Close();
  if (!error.empty()) ui_.ShowMessage("Stream write error. " + error);
}

void Mp3Recorder::CloseDevice() {
  waveIn_.Reset();
  for (WaveBuffer& buffer : buffers_) waveIn_.Unprepare(buffer);
  waveIn_.Close();
  deviceOpen_ = false;
}

void Mp3Recorder::Abandon() {
  encoder_.Release();
  (void)file_.Close();
  CloseDevice();
  state_.recording = false;
}

}  // namespace tarnovox
