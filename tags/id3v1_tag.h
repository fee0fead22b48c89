#pragma once
// The 128-byte ID3 version 1 tag at the end of an MP3 file. Texts are
// single-byte (Latin-1) strings; a field the text fills has no terminating zero.
#include <array>
#include <cstdint>
#include <string>

namespace tarnovox {

using Id3v1Tag = std::array<uint8_t, 128>;

struct Id3v1Fields {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Comment;
  std::string Genre;  // a name of GenreNames, or empty for none
};

// The tag for the fields: texts cut to their widths (30, year 4), zero-filled;
// the genre byte is the index of the name that matches exactly, case
// included, else 255.
Id3v1Tag BuildId3v1Tag(const Id3v1Fields& fields);

// The block begins with "TAG".
bool HasId3v1Identifier(const uint8_t* block);

// The fields of a tag, each up to its first zero byte. Only the first 29 bytes
// of the comment are read; a genre byte of 148 or more gives an empty genre.
Id3v1Fields ReadId3v1Tag(const Id3v1Tag& tag);

// Index of the exactly matching genre name, or 255.
uint8_t GenreIndex(const std::string& name);

}  // namespace tarnovox
