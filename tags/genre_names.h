#pragma once
// The ID3 version 1 genre table. The genre byte of a tag is an index into it;
// the table ends at 147, so 148 and above mean "no genre" and a tag written
// without a known genre carries 255.
#include <array>
#include <cstdint>
#include <string_view>

namespace tarnovox {

inline constexpr std::array<std::string_view, 148> GenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",              // 0-7
    "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap",                             // 8-15
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",        // 16-23
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance",  // 24-31
    "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",          // 32-39
    "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",                // 40-46
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic",         // 47-52
    "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40",      // 53-60
    "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",               // 61-66
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz",    // 67-74
    "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock",                  // 75-81
    "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",   // 82-89
    "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock",         // 90-94
    "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech",           // 95-101
    "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",             // 102-108
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",           // 109-116
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "Acapella",    // 117-123
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror",          // 124-130
    "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap",                // 131-136
    "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock",          // 137-141
    "Merengue", "Salsa", "Trash Metal", "Anime", "Jpop", "Synthpop",                               // 142-147
};

// The genre byte written for a name that is not in the table.
inline constexpr uint8_t kNoGenre = 255;

}  // namespace tarnovox
