// The password as the service receives and the device stores it.
#pragma once

#include <string>
#include <string_view>

namespace zolfa {

// A password of exactly 32 characters is returned unchanged (it is taken
// to be a stored digest). Otherwise the digest text of the password's bytes:
// a character up to 255 gives one byte, a wider one two (high byte first),
// and only as many bytes as the password has characters are digested, which
// for a password with wide characters is a prefix of them. The service
// computes the same bytes, so the rule must not change.
std::u16string PasswordDigest(std::u16string_view password);

}  // namespace zolfa
