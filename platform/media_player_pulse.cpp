#include "platform/media_player_pulse.h"

#include <strings.h>

#include "platform/media_player_server.h"
#include "platform/media_player_stream.h"

namespace tarnovox {

PulseMediaPlayer::PulseMediaPlayer(PulseServer& server, PulseVolumeDevice& volume)
    : server_(server), volume_(volume) {
  server_.AddClient(*this);
}

PulseMediaPlayer::~PulseMediaPlayer() {
  devices_.clear();
  server_.RemoveClient(*this);
}

void PulseMediaPlayer::ConnectionLost() {
  for (auto& [id, stream] : devices_) stream->Abandon();
}

uint32_t PulseMediaPlayer::Open(const std::string& deviceType, const std::string& file, uint16_t& device) {
  // Device type names are not case-sensitive, as with the media commands.
  if (strcasecmp(deviceType.c_str(), kWaveAudioDevice) != 0 && strcasecmp(deviceType.c_str(), kMpegVideoDevice) != 0)
    return kMediaUnknownDeviceType;
  if (const int error = server_.Connect(); error != 0)
    return Failed(kMediaNoSoundServer, PulseServer::ErrorText(error));
  auto stream = std::make_unique<MediaPlayerStream>(server_, volume_);
  if (!stream->Open(file)) return Failed(kMediaCannotOpenFile, stream->Failure());
  device = NextDeviceId();
  devices_[device] = std::move(stream);
  return kMediaOk;
}

uint32_t PulseMediaPlayer::Play(uint16_t device) {
  MediaPlayerStream* stream = Find(device);
  if (stream == nullptr) return kMediaInvalidDevice;
  // The server may have gone and come back since the file was opened.
  if (const int error = server_.Connect(); error != 0)
    return Failed(kMediaOutputFailed, PulseServer::ErrorText(error));
  return stream->Play() ? kMediaOk : Failed(kMediaOutputFailed, stream->Failure());
}

uint32_t PulseMediaPlayer::Failed(uint32_t code, std::string reason) {
  lastError_ = code;
  lastReason_ = std::move(reason);
  return code;
}

std::string PulseMediaPlayer::ErrorText(uint32_t code) const {
  if (code == lastError_ && !lastReason_.empty()) return lastReason_;
  return MediaPlayer::ErrorText(code);
}

uint32_t PulseMediaPlayer::Pause(uint16_t device) {
  MediaPlayerStream* stream = Find(device);
  if (stream == nullptr) return kMediaInvalidDevice;
  stream->Pause();
  return kMediaOk;
}

uint32_t PulseMediaPlayer::Resume(uint16_t device) {
  MediaPlayerStream* stream = Find(device);
  if (stream == nullptr) return kMediaInvalidDevice;
  return stream->Resume() ? kMediaOk : Failed(kMediaOutputFailed, stream->Failure());
}

uint32_t PulseMediaPlayer::Seek(uint16_t device, uint32_t toMs) {
  MediaPlayerStream* stream = Find(device);
  if (stream == nullptr) return kMediaInvalidDevice;
  stream->Seek(toMs);
  return kMediaOk;
}

uint32_t PulseMediaPlayer::Status(uint16_t device, MediaStatusItem item, uint32_t& value) {
  MediaPlayerStream* stream = Find(device);
  if (stream == nullptr) return kMediaInvalidDevice;
  value = item == MediaStatusItem::Length ? stream->LengthMs() : stream->PositionMs();
  return kMediaOk;
}

uint32_t PulseMediaPlayer::Close(uint16_t device) {
  return devices_.erase(device) != 0 ? kMediaOk : kMediaInvalidDevice;
}

MediaPlayerStream* PulseMediaPlayer::Find(uint16_t device) const {
  auto it = devices_.find(device);
  return it == devices_.end() ? nullptr : it->second.get();
}

uint16_t PulseMediaPlayer::NextDeviceId() {
  // Identifiers are not reused at once, so a stale one cannot reach a newer file.
  do {
    ++lastId_;
  } while (lastId_ == 0 || devices_.count(lastId_) != 0);
  return lastId_;
}

}  // namespace tarnovox
