#include "tags/mp3_file_tags.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/regular_file.h"
#include "tags/genre_names.h"
#include "tags/id3v1_tag.h"
#include "tags/mpeg_frame_header.h"

namespace tarnovox {

namespace {

constexpr long kSmallestDescribedFile = 1000;
constexpr size_t kHeadBytes = 3104;
constexpr long kTagBytes = 128;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string OpenErrorText(const std::string& name, int error) {
  std::error_code ignored;
  std::string shown = std::filesystem::absolute(name, ignored).string();
  if (shown.empty()) shown = name;
  return "Cannot open file \"" + shown + "\". " + std::strerror(error);
}

// Size of an open file, or -1.
long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  return std::ftell(file);
}

bool ReadAt(std::FILE* file, long offset, uint8_t* buffer, size_t bytes) {
  return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(buffer, 1, bytes, file) == bytes;
}

}  // namespace

Mp3FileTags::Mp3FileTags(RecorderState& state, TagEditorFields& editor, UiHooks& ui)
    : state_(state), editor_(editor), ui_(ui) {}

void Mp3FileTags::FillGenreList() {
  for (std::string_view name : GenreNames) editor_.AddGenreItem(std::string(name));
}

void Mp3FileTags::DescribeMp3File() {
  const std::string name = state_.PickedFile;
  const RegularFile file(name);
  if (!file.IsOpen()) {
    ui_.ShowMessage(OpenErrorText(name, errno));
    return;
  }
  const long size = file.Size();
  if (size < kSmallestDescribedFile) return;

  std::array<uint8_t, kHeadBytes> head{};
  const size_t headBytes = std::min(kHeadBytes, static_cast<size_t>(size));
  Id3v1Tag tail{};
  if (file.ReadAt(0, head.data(), headBytes) != static_cast<long>(headBytes) ||
      file.ReadAt(size - kTagBytes, tail.data(), tail.size()) != static_cast<long>(tail.size())) {
    ui_.ShowMessage("Stream read error");
    return;
  }

  const auto sync = FindFrameSync(head.data(), headBytes);
  if (!sync) return;
  state_.FileSampleRate = 0;
  const MpegFrameFormat format = ReadFrameFormat(head[*sync + 1], head[*sync + 2], head[*sync + 3]);
  state_.FileSampleRate = format.SampleRate;
  state_.FileChannels = format.Channels;

  if (!HasId3v1Identifier(tail.data())) return;
  const Id3v1Fields fields = ReadId3v1Tag(tail);
  editor_.SetText(TagField::EditTitle, fields.Title);
  editor_.SetText(TagField::EditArtist, fields.Artist);
  editor_.SetText(TagField::EditAlbum, fields.Album);
  editor_.SetText(TagField::EditYear, fields.Year);
  editor_.SetText(TagField::EditComment, fields.Comment);
  editor_.SetText(TagField::CmbBoxGenre, "");
  if (!fields.Genre.empty()) editor_.SetText(TagField::CmbBoxGenre, fields.Genre);
}

bool Mp3FileTags::WriteId3v1Tag() {
  Id3v1Fields fields;
  fields.Title = editor_.Text(TagField::EditTitle);
  fields.Artist = editor_.Text(TagField::EditArtist);
  fields.Album = editor_.Text(TagField::EditAlbum);
  fields.Year = editor_.Text(TagField::EditYear);
  fields.Comment = editor_.Text(TagField::EditComment);
  fields.Genre = editor_.Text(TagField::CmbBoxGenre);
  const Id3v1Tag tag = BuildId3v1Tag(fields);

  const std::string name = state_.CurrentFile;
  std::FILE* file = std::fopen(name.c_str(), "r+b");
  if (file == nullptr) {
    ui_.ShowMessage(OpenErrorText(name, errno));
    return false;
  }
  // A file shorter than a tag cannot end with one: the tag is appended.
  const long size = FileSize(file);
  long writeAt = size;
  Id3v1Tag tail{};
  if (size < 0 || (size >= kTagBytes && !ReadAt(file, size - kTagBytes, tail.data(), tail.size()))) {
    // Without knowing whether a tag is there, writing could add a second one.
    std::fclose(file);
    ui_.ShowMessage("Stream read error");
    return false;
  }
  if (size >= kTagBytes && HasId3v1Identifier(tail.data())) writeAt = size - kTagBytes;
  // Switching from reading to writing needs a seek in between.
  bool ok = std::fseek(file, writeAt, SEEK_SET) == 0 && std::fwrite(tag.data(), 1, tag.size(), file) == tag.size();
  // The file is closed also when the write failed; closing flushes, so its
  // result is part of the write.
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) ui_.ShowMessage("Stream write error");
  return ok;
}

}  // namespace tarnovox
