// The common device query string that ends every request path of the
// service, and the device identifier it carries.
#pragma once

#include <string>
#include <string_view>

namespace zolfa {

inline constexpr char16_t kHwVendor[] = u"ULDA";
inline constexpr char16_t kHwModel[] = u"WINCE";
// hw_id when the platform gives no hardware identifier.
inline constexpr char16_t kNoDeviceId[] = u"000000";

// "hw_vendor=ULDA&hw_model=WINCE&hw_id=<id>&zolfaid=<client id>&hw_version=
// 01000013&sid=<sid>". No value is escaped: the identifiers consist of
// letters, digits and "-", and sid is whatever the service issued.
std::u16string DeviceParameters(std::u16string_view deviceId, std::u16string_view clientId,
                                std::u16string_view sid);

// The bytes of the hardware device identifier (at most 16 are asked for) as
// upper-case hexadecimal pairs, or kNoDeviceId when the platform gives none.
std::u16string DeviceIdText();

}  // namespace zolfa
