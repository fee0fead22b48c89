#include "platform/volume_device_pulse.h"

#include "platform/pulse_calls.h"

#include <algorithm>

#include "platform/media_player_server.h"

namespace tarnovox {

namespace {

uint32_t Pack(uint16_t left, uint16_t right) { return static_cast<uint32_t>(right) << 16 | left; }

}  // namespace

PulseVolumeDevice::PulseVolumeDevice(PulseServer& server) : server_(server) { server_.AddClient(*this); }

PulseVolumeDevice::~PulseVolumeDevice() {
  Close();
  server_.RemoveClient(*this);
}

// The server subscribes the new connection itself.
void PulseVolumeDevice::ConnectionLost() { streams_.clear(); }

pa_volume_t PulseVolumeDevice::ToServerVolume(uint16_t volume) {
  return volume == 0xFFFF ? PA_VOLUME_NORM : volume;
}

uint16_t PulseVolumeDevice::FromServerVolume(pa_volume_t volume) {
  return volume >= 0xFFFF ? 0xFFFF : static_cast<uint16_t>(volume);
}

uint32_t PulseVolumeDevice::Open() {
  const int error = server_.Connect();
  if (error != 0) return static_cast<uint32_t>(error);
  Subscribe(true);
  return 0;
}

std::string PulseVolumeDevice::ErrorText(uint32_t code) const {
  return PulseServer::ErrorText(static_cast<int>(code));
}

uint32_t PulseVolumeDevice::GetVolume() const { return volume_.load(); }

void PulseVolumeDevice::SetVolume(uint32_t volume) {
  volume_ = volume;
  // Also the moment to notice a server that went and came back.
  if (server_.Connect() != 0) return;
  PulseServer::Lock lock(server_);
  for (const auto& [index, map] : streams_) {
    const pa_cvolume channels = StreamVolume(map);
    // Waiting for the server's answer keeps the mixer's view and ours in step.
    server_.WaitFor(pa_context_set_sink_input_volume(server_.Context(), index, &channels, nullptr, nullptr));
  }
}

void PulseVolumeDevice::Close() { Subscribe(false); }

pa_cvolume PulseVolumeDevice::StreamVolume(const pa_channel_map& map) const {
  const uint32_t volume = volume_.load();
  const auto left = static_cast<uint16_t>(volume & 0xFFFF);
  const auto right = static_cast<uint16_t>(volume >> 16);
  pa_cvolume channels;
  if (map.channels == 1) {
    pa_cvolume_set(&channels, 1, ToServerVolume(std::max(left, right)));
    return channels;
  }
  pa_cvolume_set(&channels, map.channels, ToServerVolume(std::max(left, right)));
  pa_cvolume_set_position(&channels, &map, PA_CHANNEL_POSITION_FRONT_LEFT, ToServerVolume(left));
  pa_cvolume_set_position(&channels, &map, PA_CHANNEL_POSITION_FRONT_RIGHT, ToServerVolume(right));
  return channels;
}

void PulseVolumeDevice::Track(pa_stream* stream) {
  const uint32_t index = pa_stream_get_index(stream);
  if (index == PA_INVALID_INDEX) return;
  const pa_channel_map& map = *pa_stream_get_channel_map(stream);
  streams_[index] = map;
  // PipeWire's PulseAudio service plays a new stream at full volume whatever
  // volume it was connected with: set it again now that the stream exists.
  const pa_cvolume channels = StreamVolume(map);
  server_.WaitFor(pa_context_set_sink_input_volume(server_.Context(), index, &channels, nullptr, nullptr));
}

void PulseVolumeDevice::Untrack(pa_stream* stream) { streams_.erase(pa_stream_get_index(stream)); }

void PulseVolumeDevice::Subscribe(bool on) {
  server_.Listen(*this, on ? PA_SUBSCRIPTION_MASK_SINK_INPUT : PA_SUBSCRIPTION_MASK_NULL);
}

void PulseVolumeDevice::OnServerEvent(pa_context* context, int type, uint32_t index) {
  if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_CHANGE) return;
  if (streams_.count(index) == 0) return;
  if (pa_operation* operation = pa_context_get_sink_input_info(context, index, OnStreamInfo, this))
    pa_operation_unref(operation);
}

void PulseVolumeDevice::OnStreamInfo(pa_context*, const pa_sink_input_info* info, int last, void* self) {
  auto* device = static_cast<PulseVolumeDevice*>(self);
  if (last != 0 || info == nullptr || device->streams_.count(info->index) == 0) return;
  const pa_cvolume& channels = info->volume;
  if (channels.channels == 1) {
    const uint16_t both = FromServerVolume(channels.values[0]);
    device->volume_ = Pack(both, both);
    return;
  }
  const uint16_t left = FromServerVolume(pa_cvolume_get_position(&channels, &info->channel_map, PA_CHANNEL_POSITION_FRONT_LEFT));
  const uint16_t right = FromServerVolume(pa_cvolume_get_position(&channels, &info->channel_map, PA_CHANNEL_POSITION_FRONT_RIGHT));
  device->volume_ = Pack(left, right);
}

}  // namespace tarnovox
