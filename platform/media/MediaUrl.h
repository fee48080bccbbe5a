// The parts of a stream address the control fetches from.
#pragma once

#include <optional>
#include <string>

#include "platform/base/Types.h"

namespace ce {

struct MediaUrl {
  std::u16string host;
  WORD port = 80;
  std::u16string path;  // with the query; "/" when the address has none
  // The last part of the path without extension and query ("ps2_a" for
  // "http://h/x/ps2_a.wma?7"), the name of a media that carries no title.
  std::u16string BaseName() const;
};

// "http://HOST[:PORT][/PATH]" (the scheme in any case); empty for anything
// else, a missing host, or a port outside 1..65535.
std::optional<MediaUrl> ParseMediaUrl(const std::u16string& url);

}  // namespace ce
