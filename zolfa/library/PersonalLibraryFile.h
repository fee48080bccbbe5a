// The text of "personal.db": 8-bit text in the device's ANSI code page, no
// byte-order mark, no XML declaration, read back by tag search.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zolfa/library/LibraryPlaylist.h"

namespace zolfa {

using PlaylistList = std::vector<std::unique_ptr<LibraryPlaylist>>;

// The exact bytes of the file. Names and addresses are converted to the ANSI
// code page ("?" for what it cannot hold) and written without escaping.
std::string FormatPersonalLibraryFile(const PlaylistList& playlists);

// The playlists of a file's bytes, in file order. The text ends at the first
// zero byte. Missing tags give 0 or empty text for their field; a file
// without both library markers gives no playlists, and *hasLibrary (when
// given) tells whether the markers were there.
PlaylistList ParsePersonalLibraryFile(std::string_view bytes, bool* hasLibrary = nullptr);

}  // namespace zolfa
