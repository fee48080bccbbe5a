#include "zolfa/service/FetchText.h"

#include <vector>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "zolfa/service/HttpGet.h"
#include "zolfa/service/UrlEncode.h"

namespace zolfa {
namespace {

constexpr char16_t kFetchAgent[] = u"ZOLFA (login)";
constexpr uint32_t kHttpPort = 80;
constexpr ce::DWORD kReadChunkBytes = 64 * 1024;

std::u16string FetchHttp(const std::u16string& address) {
  void* body = nullptr;
  uint32_t length = 0;
  int32_t result = HttpGet(kFetchAgent, UrlHost(address), UrlPath(address), kHttpPort, nullptr,
                           nullptr, true, 0, &body, &length);
  std::u16string text;
  if (result == kHttpOk && length != 0) text.assign(static_cast<const char16_t*>(body), length / 2);
  HttpFreeBody(body);
  return text;
}

// The file's UTF-16LE text with every line end (LF, or CR LF) removed. A
// last odd byte cannot be a character and is left out.
std::u16string FetchFile(const std::u16string& devicePath) {
  ce::HANDLE file = ce::CreateFile(devicePath.c_str(), ce::GENERIC_READ,
                                   ce::FILE_SHARE_READ | ce::FILE_SHARE_WRITE, nullptr,
                                   ce::OPEN_EXISTING, ce::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == ce::INVALID_HANDLE_VALUE) return {};
  std::vector<char> bytes;
  std::vector<char> chunk(kReadChunkBytes);
  for (;;) {
    ce::DWORD read = 0;
    if (!ce::ReadFile(file, chunk.data(), kReadChunkBytes, &read, nullptr) || read == 0) break;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + read);
  }
  ce::CloseHandle(file);
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == u'\n') {
      if (!text.empty() && text.back() == u'\r') text.pop_back();
      continue;
    }
    text += unit;
  }
  return text;
}

}  // namespace

std::u16string FetchText(const std::u16string& address) {
  if (address.rfind(u"http://", 0) == 0) return FetchHttp(address);
  return FetchFile(address);
}

}  // namespace zolfa
