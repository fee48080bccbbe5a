// Helpers of the tests that start a program of the set as its own process
// and read what it left: its transcript, its standard error.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

// A path for a shell command line, in single quotes.
inline std::string ShellQuote(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// The bytes of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Whether a "text" line of a dump ends with this quoted text.
inline bool ShowsText(const std::vector<std::string>& lines, const std::string& quoted) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.rfind("text ", 0) == 0 && line.size() > quoted.size() &&
           line.compare(line.size() - quoted.size(), quoted.size(), quoted) == 0;
  });
}

}  // namespace test_support
