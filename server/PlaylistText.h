// The entries of a playlist file (".m3u" / ".m3u8"): one path a line,
// "#" lines (#EXTM3U, #EXTINF...) and blank lines skipped, a byte-order
// mark dropped, lines ended by LF, CR LF or CR, "file://" addresses percent-decoded,
// backslashes of playlists written on Windows turned into "/".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zolfa_server {

std::vector<std::string> ReadPlaylistText(std::string_view text);

}  // namespace zolfa_server
