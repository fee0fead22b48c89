#include "platform/player_stream.h"

#include "platform/pulse_calls.h"

#include <algorithm>
#include <vector>

#include "platform/pulse_connection.h"
#include "platform/pulse_output_volume.h"

namespace tarnovox {

namespace {

// What the server keeps queued for the stream. A pause or a seek is heard at
// once whatever the size (the queue is held or dropped, not played out), so it
// is chosen long enough that a busy machine never lets it run dry.
constexpr pa_usec_t kQueueUs = 500000;

}  // namespace

PlayerStream::PlayerStream(PulseConnection& connection, PulseOutputVolume& volume)
    : connection_(connection), volume_(volume) {}

PlayerStream::~PlayerStream() { EndStream(); }

bool PlayerStream::Open(const std::string& file) {
  if (!decoder_.Open(file)) {
    failure_ = decoder_.Failure();
    return false;
  }
  decoderAtStart_ = true;
  return true;
}

std::chrono::milliseconds PlayerStream::Position() const {
  using std::chrono::milliseconds;
  const milliseconds length = decoder_.Length();
  if (state_ == State::Stopped || state_ == State::Held || stream_ == nullptr) return start_;
  if (playedOut_) return length;
  pa_usec_t playedUs = 0;
  {
    PulseConnection::Lock lock(connection_);
    if (pa_stream_get_time(stream_, &playedUs) < 0) playedUs = 0;
  }
  const milliseconds position = start_ + milliseconds(playedUs / 1000);
  // Only the end of the sound itself reports the length, so that the length
  // the listener is told about is reached exactly once, when nothing is left.
  if (position >= length) return length > start_ ? length - milliseconds(1) : start_;
  return position;
}

bool PlayerStream::Play() {
  switch (state_) {
    case State::Stopped:
    case State::Held:
      if (!StartStream()) return false;
      state_ = State::Playing;
      return true;
    case State::Paused:
      Cork(false);
      state_ = State::Playing;
      return true;
    case State::Playing:
      return true;
  }
  return true;
}

void PlayerStream::Pause() {
  if (state_ == State::Playing) {
    Cork(true);
    state_ = State::Paused;
  } else if (state_ == State::Stopped) {
    state_ = State::Held;
  }
}

bool PlayerStream::Resume() {
  if (state_ == State::Paused) {
    Cork(false);
    state_ = State::Playing;
  } else if (state_ == State::Held) {
    if (!StartStream()) return false;
    state_ = State::Playing;
  }
  return true;
}

void PlayerStream::Seek(std::chrono::milliseconds to) {
  EndStream();
  start_ = std::min(to, decoder_.Length());
  playedOut_ = false;
  // A paused file stays paused at its new position: Resume starts it there.
  state_ = state_ == State::Paused || state_ == State::Held ? State::Held : State::Stopped;
}

void PlayerStream::Abandon() {
  if (stream_ == nullptr) return;
  EndStream();
  start_ = decoder_.Length();
  state_ = State::Stopped;
}

bool PlayerStream::StartStream() {
  EndStream();
  if ((!decoderAtStart_ || start_.count() != 0) && !decoder_.SeekTo(start_)) {
    failure_ = "The file cannot be read from the chosen position";
    return false;
  }
  decoderAtStart_ = false;
  stopFeeding_ = false;
  playedOut_ = false;
  drained_ = false;

  pa_sample_spec spec{PA_SAMPLE_S16LE, decoder_.SampleRate(), static_cast<uint8_t>(decoder_.Channels())};
  pa_channel_map map;
  pa_channel_map_init_auto(&map, spec.channels, PA_CHANNEL_MAP_DEFAULT);
  PulseConnection::Lock lock(connection_);
  stream_ = pa_stream_new(connection_.Context(), "Playback", &spec, &map);
  if (stream_ == nullptr) {
    // A file whose format the server cannot take (a WAV declaring 4 MHz).
    failure_ = pa_strerror(pa_context_errno(connection_.Context()));
    return false;
  }
  pa_stream_set_state_callback(stream_, OnStreamEvent, this);
  pa_stream_set_write_callback(stream_, OnWritable, this);
  pa_buffer_attr attributes;
  attributes.maxlength = static_cast<uint32_t>(-1);
  attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kQueueUs, &spec));
  attributes.prebuf = static_cast<uint32_t>(-1);
  attributes.minreq = static_cast<uint32_t>(-1);
  attributes.fragsize = static_cast<uint32_t>(-1);
  const pa_cvolume volume = volume_.StreamVolume(map);
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
  const auto state = [this] { return pa_stream_get_state(stream_); };
  bool ready = pa_stream_connect_playback(stream_, nullptr, &attributes, flags, &volume, nullptr) == 0;
  const bool answered =
      !ready || connection_.WaitUntil([&] { return state() == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state()); });
  ready = ready && answered && state() == PA_STREAM_READY;
  if (!ready) {
    failure_ = pa_strerror(answered ? pa_context_errno(connection_.Context()) : PA_ERR_TIMEOUT);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
    return false;
  }
  volume_.Track(stream_);
  feeder_ = std::thread(&PlayerStream::Feed, this);
  return true;
}

void PlayerStream::EndStream() {
  if (stream_ == nullptr) return;
  stopFeeding_ = true;
  {
    PulseConnection::Lock lock(connection_);
    connection_.Signal();
  }
  if (feeder_.joinable()) feeder_.join();
  PulseConnection::Lock lock(connection_);
  volume_.Untrack(stream_);
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_write_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
}

void PlayerStream::Cork(bool cork) {
  if (stream_ == nullptr) return;
  PulseConnection::Lock lock(connection_);
  if (pa_operation* operation = pa_stream_cork(stream_, cork ? 1 : 0, nullptr, nullptr))
    pa_operation_unref(operation);
}

void PlayerStream::Feed() {
  std::vector<int16_t> chunk;
  bool streamLost = false;
  while (!stopFeeding_) {
    chunk.clear();
    const bool more = decoder_.Read(chunk);
    if (!chunk.empty() && !WriteAll(chunk.data(), chunk.size())) {
      streamLost = !stopFeeding_;
      break;
    }
    if (!more) break;
  }
  if (!stopFeeding_ && !streamLost) Drain();
  // A stream the server ended (or that broke) will never sound again: report it
  // played out so that the playback ends instead of standing still forever.
  if (streamLost) playedOut_ = true;
}

bool PlayerStream::WriteAll(const int16_t* samples, size_t count) {
  const auto* data = reinterpret_cast<const uint8_t*>(samples);
  const size_t bytes = count * sizeof(int16_t);
  const size_t frameBytes = sizeof(int16_t) * decoder_.Channels();
  size_t offset = 0;
  PulseConnection::Lock lock(connection_);
  while (offset < bytes) {
    if (stopFeeding_ || !StreamUsable()) return false;
    size_t writable = pa_stream_writable_size(stream_);
    if (writable == static_cast<size_t>(-1)) return false;
    writable = std::min(writable, bytes - offset);
    writable -= writable % frameBytes;
    if (writable == 0) {
      connection_.Wait();
      continue;
    }
    if (pa_stream_write(stream_, data + offset, writable, nullptr, 0, PA_SEEK_RELATIVE) < 0) return false;
    offset += writable;
  }
  return true;
}

void PlayerStream::Drain() {
  PulseConnection::Lock lock(connection_);
  pa_operation* operation = pa_stream_drain(stream_, OnDrained, this);
  while (!drained_ && !stopFeeding_ && StreamUsable() && operation != nullptr) connection_.Wait();
  if (operation != nullptr) {
    if (!drained_) pa_operation_cancel(operation);
    pa_operation_unref(operation);
  }
  if (drained_ || !StreamUsable()) playedOut_ = true;
}

bool PlayerStream::StreamUsable() const {
  return stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY;
}

void PlayerStream::OnStreamEvent(pa_stream*, void* self) {
  static_cast<PlayerStream*>(self)->connection_.Signal();
}

void PlayerStream::OnWritable(pa_stream*, size_t, void* self) {
  static_cast<PlayerStream*>(self)->connection_.Signal();
}

void PlayerStream::OnDrained(pa_stream*, int, void* self) {
  auto* player = static_cast<PlayerStream*>(self);
  player->drained_ = true;
  player->connection_.Signal();
}

}  // namespace tarnovox
