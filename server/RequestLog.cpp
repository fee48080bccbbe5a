#include "server/RequestLog.h"

#include <chrono>
#include <ctime>

namespace zolfa_server {

namespace {

std::string Sanitised(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string TimeStamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                static_cast<int>(millis.count()));
  return text;
}

}  // namespace

std::string RequestLog::Open(const std::filesystem::path& file) {
  if (file.empty()) {
    file_ = stderr;
    ownsFile_ = false;
    return std::string();
  }
  file_ = std::fopen(file.c_str(), "ab");
  if (file_ == nullptr) {
    file_ = stderr;
    return "cannot open the request log " + file.string();
  }
  ownsFile_ = true;
  return std::string();
}

RequestLog::~RequestLog() {
  if (ownsFile_ && file_ != nullptr) std::fclose(file_);
}

std::string RequestLog::Describe(std::string_view host, std::string_view target, int status,
                                 std::string_view agent) {
  std::string line = host.empty() ? std::string("-") : Sanitised(host);
  line += ' ';
  line += target.empty() ? std::string("-") : Sanitised(target);
  line += ' ';
  line += std::to_string(status);
  line += ' ';
  line += agent.empty() ? std::string("-") : Sanitised(agent);
  return line;
}

void RequestLog::Write(std::string_view host, std::string_view target, int status,
                       std::string_view agent) {
  std::string line = TimeStamp() + " " + Describe(host, target, status, agent) + "\n";
  std::lock_guard<std::mutex> lock(mutex_);
  FILE* out = file_ != nullptr ? file_ : stderr;
  std::fwrite(line.data(), 1, line.size(), out);
  std::fflush(out);
}

}  // namespace zolfa_server
