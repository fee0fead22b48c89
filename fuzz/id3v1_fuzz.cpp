// ID3v1: reading any 128 bytes, and writing fields from the input into a file
// then reading them back from it.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "tags/genre_names.h"
#include "tags/id3v1_tag.h"
#include "tags/mp3_file_tags.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/support/scripted_ui_hooks.h"

using namespace tarnovox;

namespace {

// What a field holding `text` reads back as: cut to the width, up to a zero byte.
std::string Stored(std::string_view text, size_t width) {
  text = text.substr(0, width);
  return std::string(text.substr(0, text.find('\0')));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 128) {
    Id3v1Tag raw;
    std::memcpy(raw.data(), data, raw.size());
    const Id3v1Fields read = ReadId3v1Tag(raw);
    if (read.Title.size() > 30 || read.Comment.size() > 29 || read.Year.size() > 4) fuzz::Fail("field too wide");
  }
  // The input is: audio bytes up to a zero, then six zero-separated fields.
  const std::string_view audio = fuzz::TakeText(data, size);
  testing::PlainTagEditor editor;
  const TagField fields[] = {TagField::EditTitle,   TagField::EditArtist,  TagField::EditAlbum,
                             TagField::EditYear,    TagField::EditComment, TagField::CmbBoxGenre};
  for (TagField field : fields) editor.SetText(field, std::string(fuzz::TakeText(data, size)));

  const fuzz::InputFile file(reinterpret_cast<const uint8_t*>(audio.data()), audio.size(), ".mp3");
  RecorderState state;
  state.CurrentFile = file.Path();
  testing::ScriptedUiHooks ui;
  Mp3FileTags tags(state, editor, ui);
  if (!tags.WriteId3v1Tag()) fuzz::Fail("tag not written");
  if (!tags.WriteId3v1Tag()) fuzz::Fail("tag not rewritten");  // over the first, not after it

  std::ifstream in(file.Path(), std::ios::binary | std::ios::ate);
  const auto fileSize = static_cast<size_t>(in.tellg());
  const bool hadTag = audio.size() >= 128 && audio.substr(audio.size() - 128, 3) == "TAG";
  if (fileSize != (hadTag ? audio.size() : audio.size() + 128)) fuzz::Fail("file size after writing");
  Id3v1Tag tail;
  in.seekg(static_cast<std::streamoff>(fileSize - tail.size()));
  in.read(reinterpret_cast<char*>(tail.data()), tail.size());
  const Id3v1Fields back = ReadId3v1Tag(tail);
  auto text = [&](TagField field) { return editor.Text(field); };
  const std::string genre = text(TagField::CmbBoxGenre);
  if (back.Title != Stored(text(TagField::EditTitle), 30) || back.Artist != Stored(text(TagField::EditArtist), 30) ||
      back.Album != Stored(text(TagField::EditAlbum), 30) || back.Year != Stored(text(TagField::EditYear), 4) ||
      back.Comment != Stored(text(TagField::EditComment), 29) ||
      back.Genre != (GenreIndex(genre) == kNoGenre ? "" : genre))
    fuzz::Fail("tag read back differs from the one written");
  return 0;
}
