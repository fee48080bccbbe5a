// The client's version as the service sees it in hw_version and as the
// version rule compares it with the answer's major_version / minor_version.
#pragma once

#include <cstdint>

namespace zolfa {

constexpr char16_t kClientMajorVersionText[] = u"0100";
constexpr char16_t kClientMinorVersionText[] = u"0013";
constexpr int32_t kClientMajorVersion = 100;
constexpr int32_t kClientMinorVersion = 13;

}  // namespace zolfa
