#include "server/MusicTags.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace zolfa_server {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const TagLib::String& text) {
  std::string utf8 = text.to8Bit(true);
  size_t first = utf8.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  size_t last = utf8.find_last_not_of(" \t\r\n");
  return utf8.substr(first, last - first + 1);
}

std::string First(const TagLib::PropertyMap& properties, const char* key) {
  auto found = properties.find(key);
  if (found == properties.end() || found->second.isEmpty()) return std::string();
  return Trimmed(found->second.front());
}

// "3" or "3/12" as 3; 0 for none.
int Number(const std::string& text) {
  int value = std::atoi(text.c_str());
  return value > 0 ? value : 0;
}

std::optional<std::string> Id3Picture(TagLib::ID3v2::Tag* tag) {
  if (tag == nullptr) return std::nullopt;
  const TagLib::ID3v2::FrameList& frames = tag->frameListMap()["APIC"];
  const TagLib::ID3v2::AttachedPictureFrame* chosen = nullptr;
  for (TagLib::ID3v2::Frame* frame : frames) {
    auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (picture == nullptr || picture->picture().isEmpty()) continue;
    if (chosen == nullptr || picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover) {
      chosen = picture;
    }
  }
  if (chosen == nullptr) return std::nullopt;
  return std::string(chosen->picture().data(), chosen->picture().size());
}

std::optional<std::string> FlacPicture(const TagLib::List<TagLib::FLAC::Picture*>& pictures) {
  const TagLib::FLAC::Picture* chosen = nullptr;
  for (const TagLib::FLAC::Picture* picture : pictures) {
    if (picture->data().isEmpty()) continue;
    if (chosen == nullptr || picture->type() == TagLib::FLAC::Picture::FrontCover) chosen = picture;
  }
  if (chosen == nullptr) return std::nullopt;
  return std::string(chosen->data().data(), chosen->data().size());
}

std::optional<std::string> XiphPicture(TagLib::Ogg::XiphComment* comment) {
  if (comment == nullptr) return std::nullopt;
  return FlacPicture(comment->pictureList());
}

std::optional<std::string> Mp4Picture(TagLib::MP4::Tag* tag) {
  if (tag == nullptr || !tag->contains("covr")) return std::nullopt;
  TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
  for (const TagLib::MP4::CoverArt& cover : covers) {
    if (!cover.data().isEmpty()) return std::string(cover.data().data(), cover.data().size());
  }
  return std::nullopt;
}

std::optional<std::string> PictureOf(TagLib::File* file) {
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) return Id3Picture(mpeg->ID3v2Tag());
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
    if (auto picture = FlacPicture(flac->pictureList())) return picture;
    return XiphPicture(flac->xiphComment());
  }
  if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) return XiphPicture(vorbis->tag());
  if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) return XiphPicture(opus->tag());
  if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) return Mp4Picture(mp4->tag());
  if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) return Id3Picture(wav->ID3v2Tag());
  return std::nullopt;
}

}  // namespace

bool MusicTags::IsMusicFile(const std::filesystem::path& file) {
  static const char* const kExtensions[] = {".mp3", ".ogg", ".oga", ".opus", ".flac",
                                            ".m4a", ".mp4", ".aac", ".wav"};
  std::string extension = Lower(file.extension().string());
  return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                     [&](const char* known) { return extension == known; });
}

std::optional<MusicTags> MusicTags::Read(const std::filesystem::path& file, std::string* error) {
  TagLib::FileRef ref(file.c_str(), true, TagLib::AudioProperties::Fast);
  if (ref.isNull() || !ref.file()->isValid()) {
    *error = "not an audio file TagLib can read";
    return std::nullopt;
  }
  TagLib::AudioProperties* audio = ref.audioProperties();
  if (audio == nullptr || audio->sampleRate() <= 0 || audio->channels() <= 0) {
    *error = "no audio stream";
    return std::nullopt;
  }
  MusicTags tags;
  TagLib::PropertyMap properties = ref.file()->properties();
  tags.genre = First(properties, "GENRE");
  tags.artist = First(properties, "ARTIST");
  tags.albumArtist = First(properties, "ALBUMARTIST");
  tags.album = First(properties, "ALBUM");
  tags.title = First(properties, "TITLE");
  tags.track = Number(First(properties, "TRACKNUMBER"));
  tags.disc = Number(First(properties, "DISCNUMBER"));
  std::string compilation = First(properties, "COMPILATION");
  tags.compilation = !compilation.empty() && compilation != "0";
  tags.durationSeconds = std::max(1, audio->lengthInSeconds());
  tags.picture = PictureOf(ref.file()).has_value();
  return tags;
}

std::optional<std::string> MusicTags::Picture(const std::filesystem::path& file) {
  TagLib::FileRef ref(file.c_str(), false);
  if (ref.isNull() || !ref.file()->isValid()) return std::nullopt;
  return PictureOf(ref.file());
}

}  // namespace zolfa_server
