#include "platform/host/Transcript.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ce {

bool Transcript::OpenFile(const std::filesystem::path& path, std::string* error) {
  std::lock_guard lock(mutex_);
  if (file_.is_open()) file_.close();
  file_.clear();
  file_.open(path, std::ios::binary | std::ios::trunc);
  path_ = path;
  writeFailure_.clear();
  if (!file_) {
    if (error != nullptr) *error = "cannot write " + path.string() + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void Transcript::Write(std::string_view line) {
  std::string text;
  text.reserve(line.size());
  for (char c : line) {
    if (c == '\n') {
      text += "\\n";
    } else if (c != '\r') {
      text += c;
    }
  }
  std::lock_guard lock(mutex_);
  if (file_.is_open() && writeFailure_.empty()) {
    errno = 0;
    file_ << text << '\n';
    file_.flush();
    if (!file_) {
      writeFailure_ = "cannot write the transcript " + path_.string() +
                      (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
    }
  }
  lines_.push_back(std::move(text));
  if (lines_.size() > kMaxKeptLines) {
    lines_.pop_front();
    ++first_;
  }
}

std::string Transcript::WriteFailure() const {
  std::lock_guard lock(mutex_);
  return writeFailure_;
}

uint64_t Transcript::Count() const {
  std::lock_guard lock(mutex_);
  return first_ + lines_.size();
}

std::vector<std::string> Transcript::LinesFrom(uint64_t from) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (uint64_t i = std::max(from, first_); i < first_ + lines_.size(); ++i) {
    out.push_back(lines_[static_cast<size_t>(i - first_)]);
  }
  return out;
}

int64_t Transcript::Find(std::string_view text, uint64_t from) const {
  std::lock_guard lock(mutex_);
  for (uint64_t i = std::max(from, first_); i < first_ + lines_.size(); ++i) {
    if (lines_[static_cast<size_t>(i - first_)].find(text) != std::string::npos) {
      return static_cast<int64_t>(i);
    }
  }
  return -1;
}

}  // namespace ce
