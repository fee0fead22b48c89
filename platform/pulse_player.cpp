#include "platform/pulse_player.h"

#include "platform/player_stream.h"

namespace tarnovox {

namespace {

PlayerError Failure(PlayerError::Kind kind, std::string reason) { return PlayerError{kind, std::move(reason)}; }

const PlayerError kNothingOpen{PlayerError::Kind::NothingOpen, {}};

}  // namespace

PulsePlayer::PulsePlayer(PulseConnection& connection, PulseOutputVolume& volume)
    : connection_(connection), volume_(volume) {
  connection_.AddClient(*this);
}

PulsePlayer::~PulsePlayer() {
  Close();
  connection_.RemoveClient(*this);
}

void PulsePlayer::ConnectionLost() {
  if (file_ != nullptr) file_->Abandon();
}

PlayerResult PulsePlayer::Open(const std::string& file) {
  Close();
  if (const int error = connection_.Connect(); error != 0)
    return Failure(PlayerError::Kind::NoSoundServer, PulseConnection::ErrorText(error));
  auto opened = std::make_unique<PlayerStream>(connection_, volume_);
  if (!opened->Open(file)) return Failure(PlayerError::Kind::CannotOpenFile, opened->Failure());
  file_ = std::move(opened);
  return std::nullopt;
}

PlayerResult PulsePlayer::Play() {
  if (file_ == nullptr) return kNothingOpen;
  // The server may have gone and come back since the file was opened.
  if (const int error = connection_.Connect(); error != 0)
    return Failure(PlayerError::Kind::OutputFailed, PulseConnection::ErrorText(error));
  if (!file_->Play()) return Failure(PlayerError::Kind::OutputFailed, file_->Failure());
  return std::nullopt;
}

PlayerResult PulsePlayer::Pause() {
  if (file_ == nullptr) return kNothingOpen;
  file_->Pause();
  return std::nullopt;
}

PlayerResult PulsePlayer::Resume() {
  if (file_ == nullptr) return kNothingOpen;
  if (!file_->Resume()) return Failure(PlayerError::Kind::OutputFailed, file_->Failure());
  return std::nullopt;
}

PlayerResult PulsePlayer::Seek(std::chrono::milliseconds to) {
  if (file_ == nullptr) return kNothingOpen;
  file_->Seek(to);
  return std::nullopt;
}

std::chrono::milliseconds PulsePlayer::Position() const {
  return file_ != nullptr ? file_->Position() : std::chrono::milliseconds(0);
}

std::chrono::milliseconds PulsePlayer::Length() const {
  return file_ != nullptr ? file_->Length() : std::chrono::milliseconds(0);
}

void PulsePlayer::Close() { file_.reset(); }

}  // namespace tarnovox
