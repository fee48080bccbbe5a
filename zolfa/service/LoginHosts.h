// The login servers. They are configuration of the client: every other host
// comes from the login answer. On a device the names are resolved through
// the host table, so a local service can stand in for them.
#pragma once

#include <cstdint>

namespace zolfa {

constexpr char16_t kPrimaryLoginHost[] = u"login1.zolfa.test";
constexpr char16_t kSecondaryLoginHost[] = u"login2.zolfa.test";
constexpr uint16_t kLoginPort = 80;

}  // namespace zolfa
