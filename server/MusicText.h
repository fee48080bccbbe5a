// Texts taken from a music folder: file and folder names are bytes that
// need not be UTF-8, while every answer is built from UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace zolfa_server {

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view bytes);
// A name as the catalogue shows it: UTF-8 as it is; other bytes read in
// code page 950 (names copied from the handset's market's computers).
std::string DisplayText(std::string_view bytes);
// A path for a log line: bytes below 0x20, 0x7F and non-UTF-8 bytes as %XX.
std::string SafeLogText(std::string_view bytes);
// A text for an answer element: the handset finds its elements by their
// literal tags and decodes no entities, so "<" and ">" become the
// full-width "＜" and "＞" and control bytes blanks.
std::string AnswerText(std::string_view utf8);
// Album artist texts that mark a compilation ("Various Artists" and the
// usual spellings of it).
bool IsVariousArtists(std::string_view albumArtist);

}  // namespace zolfa_server
