#include "zolfa/app/MediaPlayerValues.h"

#include <string>

#include "zolfa/app/CRegDword.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {

namespace {

void SetStreamingValue(std::u16string_view valueName, ce::DWORD value) {
  std::u16string path(kMediaStreamingKey);
  path += u'\\';
  path += valueName;
  CRegDword setting(path, 0, false, ce::HKEY_LOCAL_MACHINE);
  setting.Set(value);
}

}  // namespace

void SetMediaPlayerStreamingValues() {
  SetStreamingValue(kConnectionSpeedValue, kMediaConnectionSpeed);
  SetStreamingValue(kStreamingBufferValue, kMediaStreamingBufferSeconds);
  SetStreamingValue(kLocalBufferValue, kMediaLocalBufferSeconds);
}

}  // namespace zolfa
