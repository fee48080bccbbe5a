#include "server/DeviceQuery.h"

namespace zolfa_server {

namespace {

const std::vector<std::string> kDeviceKeys = {"hw_vendor", "hw_model",   "hw_id",
                                              "zolfaid",   "hw_version", "sid"};

bool IsClientId(const std::string& text) {
  if (text.size() != 48 || text.rfind("ZOLFA-", 0) != 0) return false;
  for (size_t i = 6; i < text.size(); ++i) {
    if (text[i] < 'A' || text[i] > 'Z') return false;
  }
  return true;
}

bool AllDigits(const std::string& text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool DeviceQuery::IsDeviceId(const std::string& text) {
  if (text == "000000") return true;
  if (text.empty() || text.size() > 32 || text.size() % 2 != 0) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

std::string DeviceQuery::CheckKeys(const QueryString& query,
                                   const std::vector<std::string>& keys) {
  std::vector<std::string> sent = query.Keys();
  for (size_t i = 0; i < keys.size() || i < sent.size(); ++i) {
    if (i >= sent.size()) return "missing parameter " + keys[i];
    if (i >= keys.size()) return "unexpected parameter " + sent[i];
    if (sent[i] != keys[i]) return "expected parameter " + keys[i] + " where " + sent[i] + " is";
  }
  return std::string();
}

std::string DeviceQuery::Check(const QueryString& query,
                               const std::vector<std::string>& leadingKeys, bool strict) {
  if (!strict) return query.Get("sid") ? std::string() : "missing parameter sid";
  std::vector<std::string> keys = leadingKeys;
  keys.insert(keys.end(), kDeviceKeys.begin(), kDeviceKeys.end());
  std::string error = CheckKeys(query, keys);
  if (!error.empty()) return error;
  if (*query.Get("hw_vendor") != "ULDA") return "hw_vendor must be ULDA";
  if (*query.Get("hw_model") != "WINCE") return "hw_model must be WINCE";
  if (!IsDeviceId(*query.Get("hw_id"))) return "hw_id must be 000000 or upper-case hex pairs";
  if (!IsClientId(*query.Get("zolfaid"))) return "zolfaid must be ZOLFA- and 42 capital letters";
  std::string version = *query.Get("hw_version");
  if (version.size() != 8 || !AllDigits(version)) return "hw_version must be 8 digits";
  if (query.Get("sid")->size() > 64) return "sid longer than 64 characters";
  return std::string();
}

}  // namespace zolfa_server
