// Reads answers the way the handset does: literal tags searched forward
// from a cursor, the closing tag searched from the cursor too, so elements
// out of order are not found. Also decodes Big5 answers for comparisons.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zolfa_server_test {

class AnswerReader {
 public:
  explicit AnswerReader(std::string text) : text_(std::move(text)) {}

  // The value of the next element with this name after the cursor, or
  // nothing (a missing closing tag ends every later search).
  std::optional<std::string> Next(const std::string& name);

  // Values of every element with this name, in order, from the start.
  static std::vector<std::string> All(const std::string& text, const std::string& name);

  static std::string Big5ToUtf8(const std::string& bytes);
  static std::string Utf8ToBig5(const std::string& utf8);

 private:
  std::string text_;
  size_t cursor_ = 0;
  bool ended_ = false;
};

}  // namespace zolfa_server_test
