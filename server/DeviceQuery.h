// The device query that ends most request paths:
//   hw_vendor=ULDA&hw_model=WINCE&hw_id=HEX&zolfaid=ZOLFA-...&hw_version=01000013&sid=SID
// checked in the form the handset writes it.
#pragma once

#include <string>
#include <vector>

#include "server/QueryString.h"

namespace zolfa_server {

class DeviceQuery {
 public:
  // Checks that the query holds exactly leadingKeys and then the six device
  // keys, in this order, and that the device values have the handset's
  // form. Returns an error text naming the first fault, or an empty text.
  // A lenient check only asks for the sid key.
  static std::string Check(const QueryString& query, const std::vector<std::string>& leadingKeys,
                           bool strict);

  // The form of a device identifier: "000000" or up to 16 bytes as pairs of
  // upper-case hexadecimal digits.
  static bool IsDeviceId(const std::string& text);

  // Checks that the query holds exactly these keys in this order.
  static std::string CheckKeys(const QueryString& query, const std::vector<std::string>& keys);
};

}  // namespace zolfa_server
