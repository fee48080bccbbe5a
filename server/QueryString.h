// The query of a request target as the client wrote it: the pairs in their
// order, each with its raw text and its percent-decoded bytes. The handset
// never writes "+" for a space, so "+" stays "+".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zolfa_server {

class QueryString {
 public:
  struct Pair {
    std::string key;       // percent-decoded
    std::string rawValue;  // as it stood in the target
    std::string value;     // percent-decoded bytes (code page 950 for texts)
  };

  QueryString() = default;
  explicit QueryString(std::string_view query);

  const std::vector<Pair>& Pairs() const { return pairs_; }
  // The decoded value of the first pair with that key.
  std::optional<std::string> Get(std::string_view key) const;
  // The keys in order, for checks of the request's form.
  std::vector<std::string> Keys() const;

  // Decodes %XX escapes; a "%" not followed by two hexadecimal digits is
  // kept as it is.
  static std::string PercentDecode(std::string_view text);

 private:
  std::vector<Pair> pairs_;
};

}  // namespace zolfa_server
