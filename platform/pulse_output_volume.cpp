#include "platform/pulse_output_volume.h"

#include "platform/pulse_calls.h"

#include <algorithm>

namespace tarnovox {

PulseOutputVolume::PulseOutputVolume(PulseConnection& connection) : connection_(connection) {
  connection_.AddClient(*this);
}

PulseOutputVolume::~PulseOutputVolume() {
  Close();
  connection_.RemoveClient(*this);
}

// The connection subscribes the new one itself.
void PulseOutputVolume::ConnectionLost() { streams_.clear(); }

pa_volume_t PulseOutputVolume::ToServerVolume(uint16_t volume) {
  return volume == 0xFFFF ? PA_VOLUME_NORM : volume;
}

uint16_t PulseOutputVolume::FromServerVolume(pa_volume_t volume) {
  return volume >= 0xFFFF ? 0xFFFF : static_cast<uint16_t>(volume);
}

std::optional<std::string> PulseOutputVolume::Open() {
  if (const int error = connection_.Connect(); error != 0) return PulseConnection::ErrorText(error);
  Subscribe(true);
  return std::nullopt;
}

StereoVolume PulseOutputVolume::Get() const { return volume_.load(); }

void PulseOutputVolume::Set(StereoVolume volume) {
  volume_ = volume;
  // Also the moment to notice a server that went and came back.
  if (connection_.Connect() != 0) return;
  PulseConnection::Lock lock(connection_);
  for (const auto& [index, map] : streams_) {
    const pa_cvolume channels = StreamVolume(map);
    // Waiting for the server's answer keeps the mixer's view and ours in step.
    connection_.WaitFor(pa_context_set_sink_input_volume(connection_.Context(), index, &channels, nullptr, nullptr));
  }
}

void PulseOutputVolume::Close() { Subscribe(false); }

pa_cvolume PulseOutputVolume::StreamVolume(const pa_channel_map& map) const {
  const StereoVolume volume = volume_.load();
  const pa_volume_t louder = ToServerVolume(std::max(volume.left, volume.right));
  pa_cvolume channels;
  pa_cvolume_set(&channels, map.channels, louder);
  if (map.channels == 1) return channels;
  pa_cvolume_set_position(&channels, &map, PA_CHANNEL_POSITION_FRONT_LEFT, ToServerVolume(volume.left));
  pa_cvolume_set_position(&channels, &map, PA_CHANNEL_POSITION_FRONT_RIGHT, ToServerVolume(volume.right));
  return channels;
}

void PulseOutputVolume::Track(pa_stream* stream) {
  const uint32_t index = pa_stream_get_index(stream);
  if (index == PA_INVALID_INDEX) return;
  const pa_channel_map& map = *pa_stream_get_channel_map(stream);
  streams_[index] = map;
  // PipeWire's PulseAudio service plays a new stream at full volume whatever
  // volume it was connected with: set it again now that the stream exists.
  const pa_cvolume channels = StreamVolume(map);
  connection_.WaitFor(pa_context_set_sink_input_volume(connection_.Context(), index, &channels, nullptr, nullptr));
}

void PulseOutputVolume::Untrack(pa_stream* stream) { streams_.erase(pa_stream_get_index(stream)); }

void PulseOutputVolume::Subscribe(bool on) {
  connection_.Listen(*this, on ? PA_SUBSCRIPTION_MASK_SINK_INPUT : PA_SUBSCRIPTION_MASK_NULL);
}

void PulseOutputVolume::OnServerEvent(pa_context* context, int type, uint32_t index) {
  if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_CHANGE) return;
  if (streams_.count(index) == 0) return;
  if (pa_operation* operation = pa_context_get_sink_input_info(context, index, OnStreamInfo, this))
    pa_operation_unref(operation);
}

void PulseOutputVolume::OnStreamInfo(pa_context*, const pa_sink_input_info* info, int last, void* self) {
  auto* volume = static_cast<PulseOutputVolume*>(self);
  if (last != 0 || info == nullptr || volume->streams_.count(info->index) == 0) return;
  const pa_cvolume& channels = info->volume;
  if (channels.channels == 1) {
    const uint16_t both = FromServerVolume(channels.values[0]);
    volume->volume_ = StereoVolume{both, both};
    return;
  }
  const pa_channel_map& map = info->channel_map;
  volume->volume_ = StereoVolume{
      FromServerVolume(pa_cvolume_get_position(&channels, &map, PA_CHANNEL_POSITION_FRONT_LEFT)),
      FromServerVolume(pa_cvolume_get_position(&channels, &map, PA_CHANNEL_POSITION_FRONT_RIGHT))};
}

}  // namespace tarnovox
