// The values of one accepted login or session-check answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "zolfa/service/LoginResult.h"
#include "zolfa/service/ServerEndpoints.h"

namespace zolfa {

// Each value is present only when its element was found with a non-empty
// value; absent ones leave the session's fields as they were. sid is cut to
// kMaxSidLength and host names to kMaxHostLength characters.
struct LoginAnswer {
  std::optional<std::u16string> sid;
  std::optional<std::u16string> ds;
  std::optional<int32_t> dsPort;
  std::optional<std::u16string> cs;
  std::optional<int32_t> csPort;
  int32_t status = 200;  // the HTTP result, kept when the answer has no status
  int32_t majorVersion = 0;
  int32_t minorVersion = 0;
  std::optional<std::u16string> us;
  std::optional<int32_t> usPort;
  std::optional<std::u16string> ps;
  std::optional<int32_t> psPort;
  std::optional<std::u16string> updateMessage;
  std::optional<std::u16string> updateMessage2;
  std::optional<std::u16string> loginMessage;
  std::optional<std::u16string> is;
  std::optional<int32_t> isPort;
  std::optional<std::u16string> ss;
  std::optional<int32_t> ssPort;

  // Reads the answer once from front to back, in the fixed element order
  // sid, ds, ds_port, cs, cs_port, status, major_version, minor_version, us,
  // us_port, ps, ps_port, update_msg, update_msg2, login_msg, is, is_port,
  // ss, ss_port.
  static LoginAnswer Parse(std::u16string_view answer);

  // Overwrites the fields this answer carries.
  void ApplyTo(std::u16string& sessionId, ServerEndpoints& servers) const;
  void ApplyTo(LoginResult& record) const;
};

}  // namespace zolfa
