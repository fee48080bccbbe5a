#include "zolfa/browse/BrowsePath.h"

#include "platform/base/CodePage.h"
#include "zolfa/browse/BrowseKind.h"

namespace zolfa {

namespace {

// Appends "&key=value" (or "key=value" right after the "?").
void Add(std::u16string& path, std::u16string_view key, std::u16string_view value) {
  if (path.back() != u'?') path += u'&';
  path += key;
  path += u'=';
  path += value;
}

std::u16string TopicPath(const BrowseParameters& parameters, std::u16string_view deviceId,
                         std::u16string_view sid, bool withItem) {
  std::u16string path = u"/hw_topic.php?";
  Add(path, u"ver", kTopicVersion);
  Add(path, u"hw_vender", kTopicVendor);
  Add(path, u"hw_model", kTopicModel);
  Add(path, u"hw_id", deviceId);
  Add(path, u"hw_version", kTopicHwVersion);
  Add(path, u"key", sid);
  if (withItem) Add(path, u"item_id", parameters.genre);
  return path;
}

}  // namespace

std::u16string BrowsePath(int32_t kind, const BrowseParameters& parameters,
                          std::u16string_view commonQuery, std::u16string_view deviceId,
                          std::u16string_view sid) {
  std::u16string path;
  switch (kind) {
    case kBrowseGenreList:
      path = u"/genre.php?";
      break;
    case kBrowseArtistList:
      path = u"/artist.php?";
      break;
    case kBrowseAlbumList:
      path = u"/album.php?";
      break;
    case kBrowseSongList:
      path = u"/song.php?";
      break;
    case kBrowseTopicPage:
      return TopicPath(parameters, deviceId, sid, false);
    case kBrowseTopicFolder:
      return TopicPath(parameters, deviceId, sid, true);
    default:
      return path;
  }
  if (kind != kBrowseGenreList) {
    Add(path, u"genre", parameters.genre);
    Add(path, u"index_type", parameters.indexType);
    Add(path, u"index", parameters.index);
    if (kind != kBrowseArtistList) Add(path, u"artist", parameters.artist);
    if (kind == kBrowseSongList) Add(path, u"album", parameters.album);
    Add(path, u"type_id", parameters.typeId);
    Add(path, u"type_func", parameters.typeFunc);
    Add(path, u"type_note", parameters.typeNote);
    path += u'&';
  }
  path += commonQuery;
  return path;
}

uint32_t BrowseCodePage(int32_t kind) { return IsTopicKind(kind) ? ce::CP_UTF8 : ce::CP_ACP; }

}  // namespace zolfa
