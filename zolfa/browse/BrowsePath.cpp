#include "zolfa/browse/BrowsePath.h"

#include <utility>

#include "platform/base/CodePage.h"
#include "zolfa/browse/BrowseKind.h"

namespace zolfa {

namespace {

// Appends "key=value" after the "?" of the path, and "&key=value" after
// that. Whether a key is the first is counted, never read from the path: a
// value may itself end in "?".
class Query {
 public:
  explicit Query(std::u16string_view path) : path_(path) {}

  void Add(std::u16string_view key, std::u16string_view value) {
    if (!first_) path_ += u'&';
    first_ = false;
    path_ += key;
    path_ += u'=';
    path_ += value;
  }

  std::u16string& Path() { return path_; }

 private:
  std::u16string path_;
  bool first_ = true;
};

std::u16string TopicPath(const BrowseParameters& parameters, std::u16string_view deviceId,
                         std::u16string_view sid, bool withItem) {
  Query query(u"/hw_topic.php?");
  query.Add(u"ver", kTopicVersion);
  query.Add(u"hw_vender", kTopicVendor);
  query.Add(u"hw_model", kTopicModel);
  query.Add(u"hw_id", deviceId);
  query.Add(u"hw_version", kTopicHwVersion);
  query.Add(u"key", sid);
  if (withItem) query.Add(u"item_id", parameters.genre);
  return std::move(query.Path());
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
    Query query(path);
    query.Add(u"genre", parameters.genre);
    query.Add(u"index_type", parameters.indexType);
    query.Add(u"index", parameters.index);
    if (kind != kBrowseArtistList) query.Add(u"artist", parameters.artist);
    if (kind == kBrowseSongList) query.Add(u"album", parameters.album);
    query.Add(u"type_id", parameters.typeId);
    query.Add(u"type_func", parameters.typeFunc);
    query.Add(u"type_note", parameters.typeNote);
    path = std::move(query.Path());
    path += u'&';
  }
  path += commonQuery;
  return path;
}

uint32_t BrowseCodePage(int32_t kind) { return IsTopicKind(kind) ? ce::CP_UTF8 : ce::CP_ACP; }

}  // namespace zolfa
