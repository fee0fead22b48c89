#pragma once
// The six fields of the tag editor window, as the tag reader and writer see
// them. Texts are single-byte Latin-1 strings, the character set of an ID3
// version 1 tag; the window converts them for display (QString::fromLatin1 /
// toLatin1), so characters it cannot hold never reach the file.
#include <string>

namespace tarnovox {

enum class TagField { EditTitle, EditArtist, EditAlbum, EditYear, EditComment, CmbBoxGenre };

class TagEditorFields {
 public:
  virtual ~TagEditorFields() = default;
  virtual std::string Text(TagField field) const = 0;
  virtual void SetText(TagField field, const std::string& text) = 0;
  // Adds one name to the genre box's items; the box sorts them for display.
  virtual void AddGenreItem(const std::string& name) = 0;
};

}  // namespace tarnovox
