#include "platform/media_player_stream.h"

#include "platform/pulse_calls.h"

#include <algorithm>
#include <vector>

#include "platform/media_player_server.h"
#include "platform/volume_device_pulse.h"

namespace tarnovox {

namespace {

// What the server keeps queued for the stream. A pause or a seek is heard at
// once whatever the size (the queue is held or dropped, not played out), so it
// is chosen long enough that a busy machine never lets it run dry.
constexpr pa_usec_t kQueueUs = 500000;

}  // namespace

MediaPlayerStream::MediaPlayerStream(PulseServer& server, PulseVolumeDevice& volume)
    : server_(server), volume_(volume) {}

MediaPlayerStream::~MediaPlayerStream() { EndStream(); }

bool MediaPlayerStream::Open(const std::string& file) {
  if (!decoder_.Open(file)) {
    failure_ = decoder_.Failure();
    return false;
  }
  decoderAtStart_ = true;
  return true;
}

uint32_t MediaPlayerStream::PositionMs() const {
  const uint32_t length = decoder_.LengthMs();
  if (state_ == State::Stopped || state_ == State::Held || stream_ == nullptr) return startMs_;
  if (playedOut_) return length;
  pa_usec_t playedUs = 0;
  {
    PulseServer::Lock lock(server_);
    if (pa_stream_get_time(stream_, &playedUs) < 0) playedUs = 0;
  }
  uint64_t position = startMs_ + playedUs / 1000;
  // Only the end of the sound itself reports the length, so that the length
  // the listener is told about is reached exactly once, when nothing is left.
  if (position >= length) position = length > startMs_ ? length - 1 : startMs_;
  return static_cast<uint32_t>(position);
}

bool MediaPlayerStream::Play() {
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

void MediaPlayerStream::Pause() {
  if (state_ == State::Playing) {
    Cork(true);
    state_ = State::Paused;
  } else if (state_ == State::Stopped) {
    state_ = State::Held;
  }
}

bool MediaPlayerStream::Resume() {
  if (state_ == State::Paused) {
    Cork(false);
    state_ = State::Playing;
  } else if (state_ == State::Held) {
    if (!StartStream()) return false;
    state_ = State::Playing;
  }
  return true;
}

void MediaPlayerStream::Seek(uint32_t ms) {
  EndStream();
  startMs_ = std::min(ms, decoder_.LengthMs());
  playedOut_ = false;
  // A paused device stays paused at its new position: Resume starts it there.
  state_ = state_ == State::Paused || state_ == State::Held ? State::Held : State::Stopped;
}

void MediaPlayerStream::Abandon() {
  if (stream_ == nullptr) return;
  EndStream();
  startMs_ = decoder_.LengthMs();
  state_ = State::Stopped;
}

bool MediaPlayerStream::StartStream() {
  EndStream();
  if ((!decoderAtStart_ || startMs_ != 0) && !decoder_.SeekTo(startMs_)) {
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
  PulseServer::Lock lock(server_);
  stream_ = pa_stream_new(server_.Context(), "Playback", &spec, &map);
  if (stream_ == nullptr) {
    // A file whose format the server cannot take (a WAV declaring 4 MHz).
    failure_ = pa_strerror(pa_context_errno(server_.Context()));
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
  bool ready = pa_stream_connect_playback(stream_, nullptr, &attributes, flags, &volume, nullptr) == 0;
  while (ready && pa_stream_get_state(stream_) != PA_STREAM_READY) {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) ready = false;
    else server_.Wait();
  }
  if (!ready) {
    failure_ = pa_strerror(pa_context_errno(server_.Context()));
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
    return false;
  }
  volume_.Track(stream_);
  feeder_ = std::thread(&MediaPlayerStream::Feed, this);
  return true;
}

void MediaPlayerStream::EndStream() {
  if (stream_ == nullptr) return;
  stopFeeding_ = true;
  {
    PulseServer::Lock lock(server_);
    server_.Signal();
  }
  if (feeder_.joinable()) feeder_.join();
  PulseServer::Lock lock(server_);
  volume_.Untrack(stream_);
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_write_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
}

void MediaPlayerStream::Cork(bool cork) {
  if (stream_ == nullptr) return;
  PulseServer::Lock lock(server_);
  if (pa_operation* operation = pa_stream_cork(stream_, cork ? 1 : 0, nullptr, nullptr))
    pa_operation_unref(operation);
}

void MediaPlayerStream::Feed() {
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

bool MediaPlayerStream::WriteAll(const int16_t* samples, size_t count) {
  const auto* data = reinterpret_cast<const uint8_t*>(samples);
  const size_t bytes = count * sizeof(int16_t);
  const size_t frameBytes = sizeof(int16_t) * decoder_.Channels();
  size_t offset = 0;
  PulseServer::Lock lock(server_);
  while (offset < bytes) {
    if (stopFeeding_ || !StreamUsable()) return false;
    size_t writable = pa_stream_writable_size(stream_);
    if (writable == static_cast<size_t>(-1)) return false;
    writable = std::min(writable, bytes - offset);
    writable -= writable % frameBytes;
    if (writable == 0) {
      server_.Wait();
      continue;
    }
    if (pa_stream_write(stream_, data + offset, writable, nullptr, 0, PA_SEEK_RELATIVE) < 0) return false;
    offset += writable;
  }
  return true;
}

void MediaPlayerStream::Drain() {
  PulseServer::Lock lock(server_);
  pa_operation* operation = pa_stream_drain(stream_, OnDrained, this);
  while (!drained_ && !stopFeeding_ && StreamUsable() && operation != nullptr) server_.Wait();
  if (operation != nullptr) {
    if (!drained_) pa_operation_cancel(operation);
    pa_operation_unref(operation);
  }
  if (drained_ || !StreamUsable()) playedOut_ = true;
}

bool MediaPlayerStream::StreamUsable() const {
  return stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY;
}

void MediaPlayerStream::OnStreamEvent(pa_stream*, void* self) {
  static_cast<MediaPlayerStream*>(self)->server_.Signal();
}

void MediaPlayerStream::OnWritable(pa_stream*, size_t, void* self) {
  static_cast<MediaPlayerStream*>(self)->server_.Signal();
}

void MediaPlayerStream::OnDrained(pa_stream*, int, void* self) {
  auto* player = static_cast<MediaPlayerStream*>(self);
  player->drained_ = true;
  player->server_.Signal();
}

}  // namespace tarnovox
