#include "tags/vorbis_file_tags.h"

#include <taglib/flacfile.h>
#include <taglib/opusfile.h>
#include <taglib/xiphcomment.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/regular_file.h"
#include "platform/replacing_file.h"

namespace tarnovox {

namespace {

// The editor's fields and the comments that hold them.
constexpr std::pair<TagField, const char*> kCommentNames[] = {
    {TagField::EditTitle, "TITLE"},     {TagField::EditArtist, "ARTIST"},   {TagField::EditAlbum, "ALBUM"},
    {TagField::EditYear, "DATE"},       {TagField::EditComment, "COMMENT"}, {TagField::CmbBoxGenre, "GENRE"}};

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return {};
  std::string extension = name.substr(dot);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension;
}

// The file opened as the format its extension names; its comments are null
// when the file is not one.
struct OpenedFile {
  std::unique_ptr<TagLib::File> file;
  TagLib::Ogg::XiphComment* comments = nullptr;
};

OpenedFile OpenAsNamed(const std::string& path, const std::string& name, bool readOnly) {
  OpenedFile opened;
  if (LowerExtension(name) == ".flac") {
    auto flac = std::make_unique<TagLib::FLAC::File>(path.c_str(), true, TagLib::AudioProperties::Average);
    if (flac->isValid() && (readOnly || !flac->readOnly())) opened.comments = flac->xiphComment(true);
    opened.file = std::move(flac);
  } else {
    auto opus = std::make_unique<TagLib::Ogg::Opus::File>(path.c_str(), true, TagLib::AudioProperties::Average);
    if (opus->isValid() && (readOnly || !opus->readOnly())) opened.comments = opus->tag();
    opened.file = std::move(opus);
  }
  if (opened.comments && !opened.file->audioProperties()) opened.comments = nullptr;
  return opened;
}

std::string NotOneText(const std::string& name) {
  const bool flac = LowerExtension(name) == ".flac";
  return "Cannot open file \"" + name + "\". It is not " + (flac ? "a FLAC" : "an Ogg Opus") + " file.";
}

// Copies `from` whole into the part file.
bool CopyInto(const std::string& from, ReplacingFile& to) {
  const RegularFile source(from);
  if (!source.IsOpen()) return false;
  std::vector<uint8_t> buffer(1 << 20);
  for (long at = 0, size = source.Size(); at < size;) {
    const long n = source.ReadAt(at, buffer.data(), buffer.size());
    if (n <= 0 || !to.Write(buffer.data(), static_cast<size_t>(n))) return false;
    at += n;
  }
  return true;
}

}  // namespace

bool IsVorbisCommentFile(const std::string& name) {
  const std::string extension = LowerExtension(name);
  return extension == ".flac" || extension == ".opus";
}

VorbisFileTags::VorbisFileTags(RecorderState& state, TagEditorFields& editor, UiHooks& ui)
    : state_(state), editor_(editor), ui_(ui) {}

void VorbisFileTags::Describe() {
  const std::string name = state_.PickedFile;
  const OpenedFile opened = OpenAsNamed(name, name, true);
  if (!opened.comments) {
    ui_.ShowMessage(NotOneText(name));
    return;
  }
  const TagLib::AudioProperties* audio = opened.file->audioProperties();
  state_.FileSampleRate = static_cast<uint32_t>(audio->sampleRate());
  state_.FileChannels = audio->channels() == 1 ? 1 : 2;
  const TagLib::Ogg::FieldListMap& fields = opened.comments->fieldListMap();
  for (const auto& [field, comment] : kCommentNames) {
    const auto found = fields.find(comment);
    if (found != fields.end() && !found->second.isEmpty())
      editor_.SetText(field, found->second.front().to8Bit(false));
  }
}

bool VorbisFileTags::Write() {
  const std::string name = state_.CurrentFile;
  ReplacingFile copy;
  if (!copy.Create(name) || !CopyInto(name, copy)) {
    const int error = copy.Error() != 0 ? copy.Error() : errno;
    ui_.ShowMessage("Cannot open file \"" + name + "\". " + std::strerror(error));
    return false;
  }
  {
    OpenedFile opened = OpenAsNamed(copy.PartPath(), name, false);
    if (!opened.comments) {
      ui_.ShowMessage(NotOneText(name));
      return false;
    }
    for (const auto& [field, comment] : kCommentNames) {
      const std::string text = editor_.Text(field);
      if (text.empty()) opened.comments->removeFields(comment);
      else opened.comments->addField(comment, TagLib::String(text, TagLib::String::Latin1), true);
    }
    if (!opened.file->save()) {
      ui_.ShowMessage("Stream write error");
      return false;
    }
  }
  if (!copy.Commit(true)) {
    ui_.ShowMessage(std::string("Stream write error. ") + std::strerror(copy.Error()));
    return false;
  }
  return true;
}

}  // namespace tarnovox
