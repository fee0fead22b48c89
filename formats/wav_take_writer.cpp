#include "formats/wav_take_writer.h"

#include <algorithm>

#include "formats/append_file.h"
#include "formats/wave_mark_chunks.h"

namespace tarnovox {

WavTakeWriter::WavTakeWriter(const PcmFormat& format, NextTakeFile nextFile, uint64_t maxDataBytes)
    : format_(format), nextFile_(std::move(nextFile)), maxDataBytes_(maxDataBytes) {}

std::array<uint8_t, kWaveHeaderBytes> WavTakeWriter::Header(uint32_t trailingBytes) const {
  WaveHeaderFields fields;
  fields.channels = format_.channels;
  fields.sampleRate = format_.sampleRate;
  fields.bytesPerSecond = format_.BytesPerSecond();
  fields.blockAlign = format_.BlockAlign();
  fields.bitsPerSample = format_.bitsPerSample;
  fields.dataBytes = static_cast<uint32_t>(file_.DataBytes());
  fields.trailingBytes = trailingBytes;
  return MakeWaveHeader(fields);
}

std::string WavTakeWriter::Create(const std::string& path) {
  path_ = path;
  // Another program may take the chosen name after it was checked: go on with
  // the next free number.
  const std::string error = CreateUnderAFreeName(
      [this] { return file_.Create(path_, Header()); }, [this] { return file_.NameTaken(); },
      [this] {
        if (!nextFile_) return false;
        path_ = nextFile_();
        return !path_.empty();
      });
  if (!error.empty()) Fail(error);
  else marks_.Begin(path_, format_.sampleRate);
  return error;
}

std::string WavTakeWriter::AddMark(const std::string& text) {
  if (!file_.IsOpen()) return {};
  return marks_.Add(file_.DataBytes() / format_.BlockAlign(), text);
}

bool WavTakeWriter::Append(const uint8_t* frames, size_t bytes) {
  // Pieces small enough for the 32-bit sizes of one write.
  constexpr size_t kPiece = 1 << 24;
  const size_t frameBytes = format_.BlockAlign();
  while (bytes > 0) {
    const size_t piece = std::min(bytes, kPiece / frameBytes * frameBytes);
    if (!AppendPiece(frames, static_cast<uint32_t>(piece))) return false;
    frames += piece;
    bytes -= piece;
  }
  return failure_.empty();
}

bool WavTakeWriter::AppendPiece(const uint8_t* frames, uint32_t bytes) {
  if (!failure_.empty() || !file_.IsOpen()) return false;
  if (file_.DataBytes() + bytes > maxDataBytes_ && file_.DataBytes() > 0 && !ContinueInNextFile()) return false;
  const std::string error = file_.Append(frames, bytes, format_.BlockAlign());
  const std::string headerError = file_.WriteHeader(Header());
  if (!error.empty() || !headerError.empty()) {
    Fail("Stream write error. " + (error.empty() ? headerError : error));
    return false;
  }
  return true;
}

// A RIFF file cannot describe more than 4 GiB of data, and a take may be
// asked to go on in parts: either way the next free record number takes the
// frames that follow, without a gap.
bool WavTakeWriter::ContinueInNextFile() {
  if (!Finish()) return false;
  const std::string next = nextFile_ ? nextFile_() : std::string();
  if (next.empty()) {
    Fail("The recording was ended: no free file name is left for its continuation.");
    return false;
  }
  return Create(next).empty();
}

// The marks' chunks go after the data only in a file that ends well and whose
// RIFF size can still count them; the label file holds the marks either way.
// Until the header is rewritten it describes the data alone, which every
// reader reads.
bool WavTakeWriter::WriteMarkChunks(uint32_t& trailingBytes) {
  trailingBytes = 0;
  if (marks_.Marks().empty() || !failure_.empty()) return true;
  const std::vector<uint8_t> chunks = MakeWaveMarkChunks(marks_.Marks());
  const uint64_t trailing = (file_.DataBytes() & 1) + chunks.size();
  if (36 + file_.DataBytes() + trailing > 0xFFFFFFFFull) return false;
  if (!file_.AppendAfterData(chunks).empty()) return false;
  trailingBytes = static_cast<uint32_t>(trailing);
  return true;
}

bool WavTakeWriter::Finish() {
  if (!file_.IsOpen()) return failure_.empty();
  // Chunks that did not fit on the disk cost the file nothing: it ends with
  // its whole data as before, and the label file holds the marks.
  uint32_t trailingBytes = 0;
  (void)WriteMarkChunks(trailingBytes);
  std::string error = file_.WriteHeader(Header(trailingBytes));
  const std::string closeError = file_.Close();
  if (error.empty()) error = closeError;
  if (!error.empty()) Fail("Stream write error. " + error);
  return error.empty() && failure_.empty();
}

void WavTakeWriter::Fail(const std::string& text) {
  if (failure_.empty()) failure_ = text;
}

}  // namespace tarnovox
