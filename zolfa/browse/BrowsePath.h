// The path and query of each browse request kind, and how its answer is
// decoded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zolfa {

// The eight texts of a browse request, in the order they are queued.
struct BrowseParameters {
  std::u16string genre;  // for a topic folder (kind 5): its item_id
  std::u16string indexType;
  std::u16string index;
  std::u16string artist;
  std::u16string album;
  std::u16string typeId;
  std::u16string typeFunc;
  std::u16string typeNote;
};

// Fixed values of the topic query.
inline constexpr std::u16string_view kTopicVersion = u"01000001";
inline constexpr std::u16string_view kTopicVendor = u"Ulda";
inline constexpr std::u16string_view kTopicModel = u"WINCE";
inline constexpr std::u16string_view kTopicHwVersion = u"0002";

// The path of a request of kind (BrowseKind.h). The list kinds end in
// commonQuery; the topic kinds carry deviceId and sid (as key) themselves.
// Values go in as they are, without escaping. Empty for an unknown kind.
std::u16string BrowsePath(int32_t kind, const BrowseParameters& parameters,
                          std::u16string_view commonQuery, std::u16string_view deviceId,
                          std::u16string_view sid);

// The code page the answer of kind is decoded with: UTF-8 (65001) for the
// topic kinds, else 0 (the device's ANSI code page).
uint32_t BrowseCodePage(int32_t kind);

}  // namespace zolfa
