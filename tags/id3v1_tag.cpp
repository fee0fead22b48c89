#include "tags/id3v1_tag.h"

#include <algorithm>
#include <cstring>

#include "tags/genre_names.h"

namespace tarnovox {

namespace {

struct FieldPlace {
  size_t offset;
  size_t width;
};

constexpr FieldPlace kTitle{3, 30};
constexpr FieldPlace kArtist{33, 30};
constexpr FieldPlace kAlbum{63, 30};
constexpr FieldPlace kYear{93, 4};
constexpr FieldPlace kComment{97, 30};
constexpr size_t kGenreOffset = 127;
// The comment's last byte doubles as the track number in a later revision of
// the tag, so it is written but never read back.
constexpr size_t kCommentReadWidth = 29;

void Put(Id3v1Tag& tag, FieldPlace place, const std::string& text) {
  std::memcpy(tag.data() + place.offset, text.data(), std::min(text.size(), place.width));
}

std::string Get(const Id3v1Tag& tag, size_t offset, size_t width) {
  const auto* begin = reinterpret_cast<const char*>(tag.data() + offset);
  return std::string(begin, strnlen(begin, width));
}

}  // namespace

uint8_t GenreIndex(const std::string& name) {
  for (size_t i = 0; i < GenreNames.size(); ++i) {
    if (GenreNames[i] == name) return static_cast<uint8_t>(i);
  }
  return kNoGenre;
}

Id3v1Tag BuildId3v1Tag(const Id3v1Fields& fields) {
  Id3v1Tag tag{};
  std::memcpy(tag.data(), "TAG", 3);
  Put(tag, kTitle, fields.Title);
  Put(tag, kArtist, fields.Artist);
  Put(tag, kAlbum, fields.Album);
  Put(tag, kYear, fields.Year);
  Put(tag, kComment, fields.Comment);
  tag[kGenreOffset] = GenreIndex(fields.Genre);
  return tag;
}

bool HasId3v1Identifier(const uint8_t* block) { return std::memcmp(block, "TAG", 3) == 0; }

Id3v1Fields ReadId3v1Tag(const Id3v1Tag& tag) {
  Id3v1Fields fields;
  fields.Title = Get(tag, kTitle.offset, kTitle.width);
  fields.Artist = Get(tag, kArtist.offset, kArtist.width);
  fields.Album = Get(tag, kAlbum.offset, kAlbum.width);
  fields.Year = Get(tag, kYear.offset, kYear.width);
  fields.Comment = Get(tag, kComment.offset, kCommentReadWidth);
  const uint8_t genre = tag[kGenreOffset];
  if (genre < GenreNames.size()) fields.Genre = std::string(GenreNames[genre]);
  return fields;
}

}  // namespace tarnovox
