#include "platform/pulse_capture_stream.h"

#include "platform/pcm_convert.h"
#include "platform/pulse_sources.h"

#include "platform/pulse_calls.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace tarnovox {

namespace {
// Frames converted in one piece (about 0.1 s at 44.1 kHz).
constexpr size_t kConvertFrames = 4096;
}  // namespace

PulseCaptureStream::PulseCaptureStream(std::string streamName, uint32_t bufferMs, std::chrono::milliseconds serverWait)
    : streamName_(std::move(streamName)), bufferMs_(bufferMs), connection_("Tarnovox", serverWait) {
  // Runs on the connection's thread: no more sound will come.
  connection_.OnLost([this](int error) {
    if (!connected_) return;
    uint32_t expected = 0;
    lost_.compare_exchange_strong(expected, static_cast<uint32_t>(error));
  });
}

PulseCaptureStream::~PulseCaptureStream() { Close(); }

// Runs on the connection's thread, with its lock held. Once the stream was
// ready, a failed stream means no more sound will come; the reader is told
// through LostCode.
void PulseCaptureStream::NoteStreamLost() {
  connection_.Signal();
  if (!connected_ || !stream_ || PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) return;
  // The server library fails a dead connection before its streams: a stream
  // that fails on a standing connection lost its input.
  const int error = pa_context_errno(connection_.Context());
  if (PA_CONTEXT_IS_GOOD(pa_context_get_state(connection_.Context()))) inputRemoved_ = true;
  uint32_t expected = 0;
  lost_.compare_exchange_strong(expected, static_cast<uint32_t>(error ? error : PA_ERR_CONNECTIONTERMINATED));
}

uint32_t PulseCaptureStream::Open(const PcmFormat& format) {
  Close();
  pa_sample_spec spec{};
  spec.format = format.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
  spec.rate = format.sampleRate;
  spec.channels = static_cast<uint8_t>(format.channels);
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return PA_ERR_NOTSUPPORTED;
  if (format.channels == 0 || format.channels > PA_CHANNELS_MAX || !pa_sample_spec_valid(&spec)) return PA_ERR_INVALID;
  frameBytes_ = static_cast<uint32_t>(pa_frame_size(&spec));
  silenceByte_ = format.bitsPerSample == 8 ? 0x80 : 0;
  format_ = format;
  convert_ = NeedsConversion(format);
  stereo_.assign(kConvertFrames * 2, 0);
  stereoBytes_ = 0;
  converted_.assign(kConvertFrames * 4, 0);
  // The stream itself carries the source's sound as 16-bit stereo.
  pa_sample_spec streamSpec = spec;
  streamSpec.format = PA_SAMPLE_S16LE;
  streamSpec.channels = 2;
  {
    std::lock_guard lock(mutex_);
    ring_.assign(static_cast<size_t>(bufferMs_) * spec.rate / 1000 * frameBytes_, 0);
    ringStart_ = 0;
    ringBytes_ = 0;
  }

  if (const int error = connection_.Connect()) return static_cast<uint32_t>(error);
  notice_.clear();
  chosenBack_ = false;
  int error = 0;
  {
    PulseConnection::Lock lock(connection_);
    const std::string device = ChosenOrDefault();
    error = ConnectStream(streamSpec, device);
    if (error == PA_ERR_NOENTITY && !device.empty()) {
      // The source went between the look-up and the connect.
      NoteMissingSource();
      error = ConnectStream(streamSpec, "");
    }
    if (error != 0) DropStream();
    else connected_ = true;
  }
  if (error != 0) {
    Close();
    // A server that did not answer in time may still make the stream later,
    // one this connection no longer knows: the next Open starts afresh.
    if (error == PA_ERR_TIMEOUT) connection_.Disconnect();
    return static_cast<uint32_t>(error);
  }
  if (!notice_.empty()) {
    connection_.Listen(*this, source_ == kDefaultOutputMonitor ? PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER
                                                               : PA_SUBSCRIPTION_MASK_SOURCE);
  }
  return 0;
}

// A new default output may bring a monitor back; a new source is the chosen
// one only by its name.
void PulseCaptureStream::OnServerEvent(pa_context* context, int type, uint32_t index) {
  const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
  if (facility != PA_SUBSCRIPTION_EVENT_SOURCE) {
    chosenBack_ = true;
    return;
  }
  if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_NEW) return;
  pa_operation* operation = pa_context_get_source_info_by_index(
      context, index,
      [](pa_context*, const pa_source_info* info, int last, void* self) {
        auto* stream = static_cast<PulseCaptureStream*>(self);
        if (last == 0 && info != nullptr && info->name != nullptr && stream->source_ == info->name)
          stream->chosenBack_ = true;
      },
      this);
  if (operation != nullptr) pa_operation_unref(operation);
}

std::string PulseCaptureStream::ChosenOrDefault() {
  const auto waitFor = [this](pa_operation* operation) { connection_.WaitFor(operation); };
  if (std::optional<std::string> found = ResolveSource(connection_.Context(), waitFor, source_)) return *found;
  NoteMissingSource();
  return {};
}

// A missing source is known by its name only; the sound the computer plays by
// the words the input list shows for it.
void PulseCaptureStream::NoteMissingSource() {
  notice_ = MissingInputMessage(source_ == kDefaultOutputMonitor ? kDefaultOutputMonitorText : source_);
}

int PulseCaptureStream::ConnectStream(const pa_sample_spec& spec, const std::string& device) {
  DropStream();
  pa_context* context = connection_.Context();
  stream_ = pa_stream_new(context, streamName_.c_str(), &spec, nullptr);
  if (!stream_) return pa_context_errno(context);
  pa_stream_set_state_callback(
      stream_, [](pa_stream*, void* self) { static_cast<PulseCaptureStream*>(self)->NoteStreamLost(); }, this);
  pa_stream_set_read_callback(stream_, OnRead, this);
  // Fragments of about 20 ms keep the ring filling smoothly between reads.
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(20000, &spec));
  // A chosen input that goes away ends the stream instead of the server
  // moving it to another input without a word.
  const auto flags =
      static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | (device.empty() ? 0 : PA_STREAM_DONT_MOVE));
  if (pa_stream_connect_record(stream_, device.empty() ? nullptr : device.c_str(), &attr, flags) < 0)
    return pa_context_errno(context);
  pa_stream_state_t state = PA_STREAM_CREATING;
  const bool settled = connection_.WaitUntil([&] {
    state = pa_stream_get_state(stream_);
    return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
  });
  if (!settled) return PA_ERR_TIMEOUT;
  if (state == PA_STREAM_READY) return 0;
  const int error = pa_context_errno(context);
  return error ? error : PA_ERR_NOENTITY;
}

void PulseCaptureStream::DropStream() {
  if (!stream_) return;
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_read_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
}

void PulseCaptureStream::OnRead(pa_stream* stream, size_t, void* self) {
  auto* device = static_cast<PulseCaptureStream*>(self);
  while (pa_stream_readable_size(stream) > 0) {
    const void* data = nullptr;
    size_t bytes = 0;
    if (pa_stream_peek(stream, &data, &bytes) < 0) return;
    if (bytes == 0) return;
    // A hole in the stream (no data) becomes silence, so the time line stays intact.
    if (device->convert_) device->DeliverConverted(static_cast<const uint8_t*>(data), bytes);
    else device->Deliver(static_cast<const uint8_t*>(data), bytes);
    pa_stream_drop(stream);
  }
}

// Runs on the server's thread. The server's pieces need not end on a whole
// frame: the rest waits in stereo_ for the next piece.
void PulseCaptureStream::DeliverConverted(const uint8_t* data, size_t bytes) {
  auto* gathered = reinterpret_cast<uint8_t*>(stereo_.data());
  const size_t capacity = stereo_.size() * sizeof(int16_t);
  while (bytes > 0) {
    const size_t take = std::min(bytes, capacity - stereoBytes_);
    if (data) std::memcpy(gathered + stereoBytes_, data, take);
    else std::memset(gathered + stereoBytes_, 0, take);
    stereoBytes_ += take;
    if (data) data += take;
    bytes -= take;
    const size_t frames = stereoBytes_ / 4;
    Deliver(converted_.data(), ConvertFromStereo16(stereo_.data(), frames, format_, converted_.data()));
    const size_t rest = stereoBytes_ - frames * 4;
    std::memmove(gathered, gathered + frames * 4, rest);
    stereoBytes_ = rest;
  }
}

// Runs on the server's thread. Frames that arrive before Start or after Stop
// are not part of the capture; only those that do not fit into the ring are lost.
void PulseCaptureStream::Deliver(const uint8_t* data, size_t bytes) {
  std::lock_guard lock(mutex_);
  if (started_) Keep(data, bytes);
}

// Appends to the ring what fits and counts the rest as lost. Caller holds mutex_.
void PulseCaptureStream::Keep(const uint8_t* data, size_t bytes) {
  if (ring_.empty()) return;
  const size_t fits = std::min(bytes, ring_.size() - ringBytes_) / frameBytes_ * frameBytes_;
  overrunFrames_ += (bytes - fits) / frameBytes_;
  size_t done = 0;
  while (done < fits) {
    const size_t end = (ringStart_ + ringBytes_) % ring_.size();
    const size_t piece = std::min(fits - done, ring_.size() - end);
    if (data) std::memcpy(ring_.data() + end, data + done, piece);
    else std::memset(ring_.data() + end, silenceByte_, piece);
    ringBytes_ += piece;
    done += piece;
  }
}

size_t PulseCaptureStream::Read(uint8_t* out, size_t maxBytes) {
  std::lock_guard lock(mutex_);
  size_t wanted = std::min(maxBytes, ringBytes_) / frameBytes_ * frameBytes_;
  size_t done = 0;
  while (done < wanted) {
    const size_t piece = std::min(wanted - done, ring_.size() - ringStart_);
    std::memcpy(out + done, ring_.data() + ringStart_, piece);
    ringStart_ = (ringStart_ + piece) % ring_.size();
    ringBytes_ -= piece;
    done += piece;
  }
  return done;
}

size_t PulseCaptureStream::Available() const {
  std::lock_guard lock(mutex_);
  return ringBytes_;
}

void PulseCaptureStream::Start() {
  std::lock_guard lock(mutex_);
  started_ = stream_ != nullptr;
}

void PulseCaptureStream::Stop() {
  std::lock_guard lock(mutex_);
  started_ = false;
}

void PulseCaptureStream::Close() {
  const bool wasLost = lost_ != 0;
  connected_ = false;
  Stop();
  connection_.Listen(*this, 0);
  if (connection_.Context() != nullptr) {
    PulseConnection::Lock lock(connection_);
    DropStream();
  }
  // A connection whose stream stopped for good is made anew by the next Open.
  if (wasLost) connection_.Disconnect();
  std::lock_guard lock(mutex_);
  overrunFrames_ = 0;
  lost_ = 0;
  inputRemoved_ = false;
  ringStart_ = 0;
  ringBytes_ = 0;
}

std::string PulseCaptureStream::ErrorText(uint32_t code) const {
  const char* text = pa_strerror(static_cast<int>(code));
  std::string result = text ? text : "Unknown error";
  if (result.size() > 127) result.resize(127);
  return result;
}

uint64_t PulseCaptureStream::OverrunFrames() const {
  std::lock_guard lock(mutex_);
  return overrunFrames_;
}

}  // namespace tarnovox
