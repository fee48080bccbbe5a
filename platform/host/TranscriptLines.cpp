#include "platform/host/TranscriptLines.h"

#include <cstdio>

#include "platform/base/CodePage.h"

namespace ce {

std::string QuoteForTranscript(std::u16string_view text) {
  std::string quoted = "\"";
  std::u16string plain;
  auto flush = [&] {
    quoted += ToUtf8(plain);
    plain.clear();
  };
  for (char16_t c : text) {
    const char* escape = nullptr;
    switch (c) {
      case u'"': escape = "\\\""; break;
      case u'\\': escape = "\\\\"; break;
      case u'\n': escape = "\\n"; break;
      case u'\r': escape = "\\r"; break;
      case u'\t': escape = "\\t"; break;
      default: break;
    }
    if (escape == nullptr) {
      plain += c;
      continue;
    }
    flush();
    quoted += escape;
  }
  flush();
  quoted += '"';
  return quoted;
}

std::string AnswerName(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "CANCEL";
    case IDABORT: return "ABORT";
    case IDRETRY: return "RETRY";
    case IDIGNORE: return "IGNORE";
    case IDYES: return "YES";
    case IDNO: return "NO";
    default: return std::to_string(answer);
  }
}

std::string MessageBoxLine(const MessageBoxRequest& request, int answer) {
  return "msgbox caption=" + QuoteForTranscript(request.caption) +
         " text=" + QuoteForTranscript(request.text) + " answer=" + AnswerName(answer);
}

std::string HttpLine(const HttpEvent& event) {
  std::string line = "http " + event.method + " " + event.host + ":" +
                     std::to_string(event.port) + " " + event.target + " -> ";
  if (event.error != 0 || event.status == 0) {
    line += "failed " + std::to_string(event.error);
  } else {
    line += std::to_string(event.status);
  }
  return line;
}

std::string MediaLine(const MediaEvent& event) {
  switch (event.kind) {
    case MediaEvent::kOpen:
      return "media open " + ToUtf8(event.url);
    case MediaEvent::kPlayState:
      return "media state " + std::to_string(event.state) + " " + PlayStateName(event.state);
    case MediaEvent::kEnded:
      return "media ended";
    case MediaEvent::kError: {
      char code[16];
      std::snprintf(code, sizeof(code), "%08X", static_cast<unsigned>(event.error));
      return std::string("media error ") + code;
    }
  }
  return "media";
}

std::string TextLine(const RECT& rect, std::u16string_view text) {
  return "text " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) +
         " " + QuoteForTranscript(text);
}

}  // namespace ce
