#include "mp3/wav_to_mp3.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/wave_format.h"
#include "mp3/encoder_config.h"

namespace tarnovox {

namespace fs = std::filesystem;

namespace {

std::string UpperExtension(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension;
}

// 8-bit WAV samples are unsigned around 128; the encoder takes signed 16-bit.
void Widen8Bit(const uint8_t* in, size_t count, int16_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>((in[i] - 128) * 256);
}

}  // namespace

WavToMp3::WavToMp3(DynamicLibraryLoader& loader, RecordSettings& settings, RecorderState& state,
                   UiHooks& ui, PlaybackControl& playback, RecordingsLibrary& library,
                   ConvertProgress& progress)
    : loader_(loader), settings_(settings), state_(state), ui_(ui), playback_(playback),
      library_(library), progress_(progress) {}

std::string WavToMp3::TargetName(const std::string& source) {
  return fs::path(source).replace_extension(".mp3").string();
}

void WavToMp3::pmWav2MP3Click() {
  const std::string source = state_.CurrentFile;
  if (UpperExtension(source) != ".WAV") return;
  playback_.ClosePlayback();
  WavSourceFormat format;
  std::string error;
  if (!ReadWavSourceFormat(source, format, error)) {
    ui_.ShowMessage(error);
    return;
  }
  const std::string target = TargetName(source);
  std::error_code ignored;
  if (fs::exists(target, ignored) &&
      !ui_.AskYesNo(target + " already exists.\rDo you want to overwrite it?", "Confirm")) {
    return;
  }
  fs::remove(target, ignored);
  progress_.SetFileGridEnabled(false);
  progress_.Show(source, target);
  Convert(source, target, format);
  if (progress_.Cancelled()) fs::remove(target, ignored);
  progress_.SetFileGridEnabled(true);
  ui_.ProcessMessages();
  ui_.SetBusyCursor(true);
  library_.Rescan();
  ui_.SetBusyCursor(false);
  progress_.Close();
  library_.ApplySort();
}

void WavToMp3::Convert(const std::string& source, const std::string& target,
                       const WavSourceFormat& format) {
  Mp3Encoder encoder(loader_, ui_);  // releases stream and library on every way out
  if (!encoder.Load(true)) return;
  encoder.QueryVersion();
  if (!encoder.Init(ConversionConfig(settings_, format.sampleRate, format.channels))) return;
  const uint32_t chunk = encoder.SamplesPerChunk();
  piece_.assign(static_cast<size_t>(chunk) * 2, 0);
  pcm_.assign(chunk, 0);
  errno = 0;
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) {
    ui_.ShowMessage(StreamErrorText("Cannot create file \"%s\". %s", target, errno ? errno : EACCES));
    return;
  }
  errno = 0;
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    ui_.ShowMessage(StreamErrorText("Cannot open file \"%s\". %s", source, errno ? errno : ENOENT));
    return;
  }
  std::error_code sizeError;
  const uintmax_t size = fs::file_size(source, sizeError);
  const uint32_t total = sizeError ? 0 : static_cast<uint32_t>(std::min<uintmax_t>(size, UINT32_MAX));
  if (!EncodePieces(encoder, in, out, format, total)) return;
  if (encoder.Flush()) WriteOutput(encoder, out);
  encoder.Close();
}

bool WavToMp3::EncodePieces(Mp3Encoder& encoder, std::ifstream& in, std::ofstream& out,
                            const WavSourceFormat& format, uint32_t total) {
  const uint32_t bytesPerSample = format.bitsPerSample / 8;
  const uint32_t fullPiece = encoder.SamplesPerChunk() * bytesPerSample;
  uint32_t consumed = kWaveHeaderBytes;
  in.seekg(consumed);
  while (consumed < total) {
    ui_.ProcessMessages();
    const uint32_t piece = std::min(fullPiece, total - consumed);
    in.read(reinterpret_cast<char*>(piece_.data()), piece);
    if (in.gcount() != static_cast<std::streamsize>(piece)) {
      ui_.ShowMessage("Stream read error");
      return false;
    }
    // A trailing odd byte of a 16-bit file is read but is not a sample.
    const uint32_t count = piece / bytesPerSample;
    if (bytesPerSample == 1) {
      Widen8Bit(piece_.data(), count, pcm_.data());
    } else {
      std::memcpy(pcm_.data(), piece_.data(), static_cast<size_t>(count) * 2);
    }
    if (!encoder.Encode(pcm_.data(), count)) return false;
    if (!WriteOutput(encoder, out)) return false;
    consumed += piece;
    progress_.SetProgress(static_cast<int>(uint64_t{consumed} * 100 / total));
    if (progress_.Cancelled()) break;
  }
  return true;
}

bool WavToMp3::WriteOutput(Mp3Encoder& encoder, std::ofstream& out) {
  auto bytes = encoder.Output();
  if (bytes.empty()) return true;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out.flush()) return true;
  ui_.ShowMessage("Stream write error");
  return false;
}

}  // namespace tarnovox
