#include "zolfa/service/DeviceParameters.h"

#include "platform/base/DeviceId.h"
#include "zolfa/service/ClientVersion.h"

namespace zolfa {

std::u16string DeviceParameters(std::u16string_view deviceId, std::u16string_view clientId,
                                std::u16string_view sid) {
  std::u16string query;
  query.reserve(128 + deviceId.size() + clientId.size() + sid.size());
  query += u"hw_vendor=";
  query += kHwVendor;
  query += u"&hw_model=";
  query += kHwModel;
  query += u"&hw_id=";
  query += deviceId;
  query += u"&zolfaid=";
  query += clientId;
  query += u"&hw_version=";
  query += kClientMajorVersionText;
  query += kClientMinorVersionText;
  query += u"&sid=";
  query += sid;
  return query;
}

std::u16string DeviceIdText() {
  constexpr ce::DWORD kIdBytes = 16;
  ce::BYTE id[kIdBytes] = {};
  ce::DWORD returned = 0;
  if (!ce::KernelIoControl(ce::IOCTL_HAL_GET_DEVICEID, nullptr, 0, id, kIdBytes, &returned)) {
    return kNoDeviceId;
  }
  if (returned > kIdBytes) {
    returned = kIdBytes;
  }
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  for (ce::DWORD i = 0; i < returned; ++i) {
    text += kDigits[id[i] >> 4];
    text += kDigits[id[i] & 0xF];
  }
  return text;
}

}  // namespace zolfa
