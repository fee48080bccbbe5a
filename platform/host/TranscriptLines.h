// The text of the transcript's lines.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/MessageBox.h"
#include "platform/media/MediaPlayer.h"
#include "platform/net/WinInet.h"
#include "platform/window/Geometry.h"

namespace ce {

// UTF-8 in double quotes; '"' and '\' are escaped with '\', line breaks
// and tabs are written as \n, \r and \t.
std::string QuoteForTranscript(std::u16string_view text);
// "OK", "CANCEL", "YES", "NO", "ABORT", "RETRY", "IGNORE", or the number.
std::string AnswerName(int answer);

// msgbox caption="…" text="…" answer=OK
std::string MessageBoxLine(const MessageBoxRequest& request, int answer);
// http GET host:port /path -> 200 (or "-> failed 12029" when no answer came)
std::string HttpLine(const HttpEvent& event);
// media open URL / media state 3 playing / media ended / media error 80004005
std::string MediaLine(const MediaEvent& event);
// text x y w h "…"
std::string TextLine(const RECT& rect, std::u16string_view text);

}  // namespace ce
