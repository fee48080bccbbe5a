#include "tests/server/AnswerReader.h"

#include <iconv.h>

namespace zolfa_server_test {

namespace {

std::string Convert(const char* to, const char* from, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<iconv failed>";
  std::string out(input.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return "<not convertible>";
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::optional<std::string> AnswerReader::Next(const std::string& name) {
  if (ended_) return std::nullopt;
  std::string open = "<" + name + ">";
  std::string close = "</" + name + ">";
  size_t start = text_.find(open, cursor_);
  if (start == std::string::npos) return std::nullopt;
  size_t end = text_.find(close, cursor_);
  if (end == std::string::npos) {
    ended_ = true;
    return std::nullopt;
  }
  cursor_ = end + close.size();
  size_t valueStart = start + open.size();
  if (end < valueStart) return std::string();
  return text_.substr(valueStart, end - valueStart);
}

std::vector<std::string> AnswerReader::All(const std::string& text, const std::string& name) {
  AnswerReader reader(text);
  std::vector<std::string> values;
  while (auto value = reader.Next(name)) values.push_back(*value);
  return values;
}

std::string AnswerReader::Big5ToUtf8(const std::string& bytes) {
  return Convert("UTF-8", "BIG5", bytes);
}

std::string AnswerReader::Utf8ToBig5(const std::string& utf8) {
  return Convert("BIG5", "UTF-8", utf8);
}

}  // namespace zolfa_server_test
