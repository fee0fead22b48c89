#include "formats/wav_to_mp3.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "formats/wave_format.h"
#include "formats/encoder_config.h"

namespace tarnovox {

namespace fs = std::filesystem;

namespace {

std::string UpperExtension(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension;
}

// Whether two paths name the same file; bare names resolve against the
// current folder, which is the output folder.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  auto normal = [](const std::string& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored);
    const fs::path canonical = fs::weakly_canonical(absolute, ignored);
    return canonical.empty() ? absolute.lexically_normal() : canonical;
  };
  return normal(a) == normal(b);
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
  // CurrentFile becomes the recording's path when a recording starts while
  // messages run, so the source is taken once, here.
  const std::string source = state_.CurrentFile;
  if (UpperExtension(source) != ".WAV") return;
  const std::string target = TargetName(source);
  if (!RecordingAllows(source, target)) return;
  playback_.ClosePlayback();
  WavSourceFormat format;
  std::string error;
  if (!ReadWavSourceFormat(source, format, error)) {
    ui_.ShowMessage(error);
    return;
  }
  std::error_code ignored;
  const bool targetExists = fs::exists(target, ignored);
  if (targetExists && !ui_.AskYesNo(target + " already exists.\rDo you want to overwrite it?", "Confirm")) {
    return;
  }
  if (!RecordingAllows(source, target)) return;
  progress_.SetFileGridEnabled(false);
  progress_.Show(source, target);
  Convert(source, target, format, targetExists);
  progress_.SetFileGridEnabled(true);
  ui_.ProcessMessages();
  ui_.SetBusyCursor(true);
  library_.Rescan();
  ui_.SetBusyCursor(false);
  progress_.Close();
  library_.ApplySort();
}

bool WavToMp3::RecordingAllows(const std::string& source, const std::string& target) {
  if (!state_.recording) return true;
  const std::string& recording = state_.CurrentFile;
  if (!SameFile(recording, source) && !SameFile(recording, target)) return true;
  ui_.ShowMessage("Can not convert \"" + source + "\": \"" + recording +
                  "\" is being recorded. Nothing was converted or overwritten.");
  return false;
}

void WavToMp3::Convert(const std::string& source, const std::string& target, const WavSourceFormat& format,
                       bool mayReplace) {
  Mp3Encoder encoder(loader_);  // releases stream and library on every way out
  if (!encoder.Load(true)) return ui_.ShowMessage(encoder.Failure());
  encoder.QueryVersion();
  if (!encoder.Init(ConversionConfig(settings_, format.sampleRate, format.channels)))
    return ui_.ShowMessage(encoder.Failure());
  const uint32_t chunk = encoder.SamplesPerChunk();
  piece_.assign(static_cast<size_t>(chunk) * 2, 0);
  pcm_.assign(chunk, 0);
  ReplacingFile out;  // removed on every way out but the commit
  if (!out.Create(target)) {
    ui_.ShowMessage(StreamErrorText("Cannot create file \"%s\". %s", target, out.Error()));
    return;
  }
  errno = 0;
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    ui_.ShowMessage(StreamErrorText("Cannot open file \"%s\". %s", source, errno ? errno : ENOENT));
    return;
  }
  const bool encoded = EncodePieces(encoder, in, out, format, source, target);
  if (!encoder.Failure().empty()) ui_.ShowMessage(encoder.Failure());
  if (!encoded) return;
  // A cancel keeps the old target, so the encoder is not flushed for nothing.
  if (progress_.Cancelled()) return;
  const bool flushed = encoder.Flush() && WriteOutput(encoder, out);
  encoder.Close();
  if (!encoder.Failure().empty()) ui_.ShowMessage(encoder.Failure());
  if (!flushed || encoder.LastResult() != lame_enc::kBeErrSuccessful) return;
  if (!RecordingAllows(source, target)) return;
  if (!out.Commit(mayReplace)) {
    ui_.ShowMessage(out.Error() == EEXIST
                        ? "Can not convert \"" + source + "\": \"" + target +
                              "\" was created by someone else during the conversion and is kept."
                        : StreamErrorText("Cannot create file \"%s\". %s", target, out.Error()));
  }
}

bool WavToMp3::EncodePieces(Mp3Encoder& encoder, std::ifstream& in, ReplacingFile& out,
                            const WavSourceFormat& format, const std::string& source,
                            const std::string& target) {
  const uint32_t bytesPerSample = format.bitsPerSample / 8;
  const uint32_t fullPiece = encoder.SamplesPerChunk() * bytesPerSample;
  const uint32_t total = format.dataBytes;
  uint32_t consumed = 0;
  in.seekg(static_cast<std::streamoff>(format.dataOffset));
  while (consumed < total) {
    ui_.ProcessMessages();
    if (!RecordingAllows(source, target)) return false;
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

bool WavToMp3::WriteOutput(Mp3Encoder& encoder, ReplacingFile& out) {
  auto bytes = encoder.Output();
  if (bytes.empty() || out.Write(bytes.data(), bytes.size())) return true;
  ui_.ShowMessage(std::string("Stream write error. ") + std::strerror(out.Error()));
  return false;
}

}  // namespace tarnovox
