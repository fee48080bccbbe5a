#include "tests/support/MusicFolderFixture.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace test_support {

namespace {

// Runs a program without a shell; returns its exit status.
int RunProgram(const std::vector<std::string>& args) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> EncoderOf(const std::string& extension) {
  if (extension == ".mp3") return {"lamemp3enc"};
  if (extension == ".ogg") return {"vorbisenc", "!", "oggmux"};
  if (extension == ".opus") return {"opusenc", "!", "oggmux"};
  if (extension == ".flac") return {"flacenc"};
  if (extension == ".m4a") return {"avenc_aac", "!", "mp4mux"};
  if (extension == ".wav") return {"wavenc"};
  return {};
}

}  // namespace

const std::string& MusicFolderFixture::Picture() {
  // A real picture (a 120 x 120 checker of red and sand squares), so that a
  // client shows it.
  static const std::string picture(
      "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52"
      "\x00\x00\x00\x78\x00\x00\x00\x78\x08\x02\x00\x00\x00\xb6\x06\xa1"
      "\x85\x00\x00\x00\xf7\x49\x44\x41\x54\x78\xda\xed\xda\xb1\x0d\x00"
      "\x20\x0c\x03\xb0\x9e\xd4\x93\x38\x95\x53\x38\x81\x13\x58\x19\x3b"
      "\xa1\x4a\x58\xca\x9c\xc1\x63\x94\x98\x99\xf5\xec\x35\xea\xd1\x7c"
      "\x27\x70\x80\x06\x0d\x1a\x34\x68\xd0\x38\x40\x83\x06\x0d\x1a\x34"
      "\x68\x1c\xa0\x41\x83\x06\xdd\x15\x9a\xdd\x9b\x66\xd0\xa0\x41\x83"
      "\x06\x0d\x1a\x34\x0e\xd0\xa0\x41\x83\x06\x0d\x1a\x07\x68\xd0\xa0"
      "\x41\xb7\x85\x66\x67\xf8\x07\x0d\x1a\x34\x68\xd0\x38\x40\x83\x06"
      "\x0d\x1a\x34\x68\x1c\xa0\x41\x83\x06\x0d\xda\x9b\x94\x9d\xe1\x1f"
      "\x34\x68\xd0\xa0\x41\xe3\x00\x0d\x1a\x34\x68\xd0\xa0\x71\x80\x06"
      "\x0d\x1a\x34\x68\x6f\x52\x76\x86\x7f\xd0\xa0\x41\x83\x06\x8d\x03"
      "\x34\x68\xd0\xa0\x41\x83\xc6\x01\x1a\x34\x68\xd0\xa0\xbd\x49\xd9"
      "\x19\xfe\x41\x83\x06\x0d\x1a\x34\x0e\xd0\xa0\x41\x83\x06\x0d\x1a"
      "\x07\x68\xd0\xa0\x41\x83\xf6\x26\x65\x67\xf8\x07\x0d\x1a\x34\x68"
      "\xd0\xa0\x41\x83\x06\x0d\x1a\x34\x68\xd0\xa0\x41\x83\x06\x0d\xda"
      "\x9b\x94\x9d\xe1\x1f\x34\x68\xd0\xa0\x41\x83\x06\x0d\x1a\x34\x68"
      "\xd0\xa0\x41\x83\x06\x0d\x1a\x34\xe8\xcf\x9a\x0f\xe0\x6d\x2f\x74"
      "\xbd\xaf\x20\x6d\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
      304);
  return picture;
}

const std::string& MusicFolderFixture::CoverJpeg() {
  static const std::string cover = std::string("\xFF\xD8\xFF\xE0", 4) + "cover beside 吻別";
  return cover;
}

std::string MusicFolderFixture::LongName() {
  std::string name = "Long & 'odd' name ";
  while (name.size() < 255 - 4) name += 'x';
  return name + ".mp3";
}

std::string MusicFolderFixture::ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MusicFolderFixture::WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string MusicFolderFixture::Encode(const std::filesystem::path& file, int seconds) {
  std::vector<std::string> encoder = EncoderOf(file.extension().string());
  if (encoder.empty()) return "no encoder for " + file.string();
  // gst-launch joins its arguments into one pipeline text, so the tone is
  // written under a plain name and moved to its real one.
  std::filesystem::path plain = file.parent_path() / ("tone-" + std::to_string(getpid()) +
                                                      file.extension().string());
  std::vector<std::string> args = {"gst-launch-1.0", "-q", "audiotestsrc",
                                   "num-buffers=" + std::to_string(seconds * 10),
                                   "samplesperbuffer=4410", "freq=440", "!", "audioconvert", "!",
                                   "audioresample", "!"};
  args.insert(args.end(), encoder.begin(), encoder.end());
  args.insert(args.end(), {"!", "filesink", "location=" + plain.string()});
  std::filesystem::create_directories(file.parent_path());
  if (RunProgram(args) != 0) return "gst-launch-1.0 failed for " + file.string();
  std::error_code error;
  std::filesystem::rename(plain, file, error);
  return error ? "cannot name " + file.string() : std::string();
}

std::string MusicFolderFixture::Tag(const std::filesystem::path& file,
                                    const std::map<std::string, std::string>& properties,
                                    const std::optional<std::string>& picture) {
  {
    TagLib::FileRef ref(file.c_str());
    if (ref.isNull()) return "TagLib cannot open " + file.string();
    TagLib::PropertyMap map;
    for (const auto& [key, value] : properties) {
      map.insert(key, TagLib::StringList(TagLib::String(value, TagLib::String::UTF8)));
    }
    ref.file()->setProperties(map);
    if (!ref.save()) return "TagLib cannot save " + file.string();
  }
  if (picture) {
    TagLib::MPEG::File mpeg(file.c_str());
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setMimeType("image/png");
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setPicture(TagLib::ByteVector(picture->data(), static_cast<unsigned>(picture->size())));
    mpeg.ID3v2Tag(true)->addFrame(frame);
    if (!mpeg.save()) return "TagLib cannot add a picture to " + file.string();
  }
  return std::string();
}

void MusicFolderFixture::Make(const std::string& relative, int seconds,
                              const std::map<std::string, std::string>& properties,
                              const std::optional<std::string>& picture) {
  if (!error_.empty()) return;
  std::filesystem::path file = root_ / relative;
  error_ = Encode(file, seconds);
  if (error_.empty() && !properties.empty()) error_ = Tag(file, properties, picture);
}

MusicFolderFixture::MusicFolderFixture() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zolfa-music-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    error_ = "no temporary folder";
    return;
  }
  base_ = pattern;
  root_ = base_ / "music";
  Make(kRedBean, 3,
       {{"GENRE", "華語流行"}, {"ARTIST", "王菲"}, {"ALBUM", "夏日 & 微風"}, {"TITLE", "紅豆"},
        {"TRACKNUMBER", "1"}},
       Picture());
  Make(kQuoted, 4,
       {{"GENRE", "華語流行"}, {"ARTIST", "王菲"}, {"ALBUM", "夏日 & 微風"},
        {"TITLE", "Say \"Hi\" & <go>"}, {"TRACKNUMBER", "2"}});
  Make(kKiss, 2, {{"GENRE", "華語流行"}, {"ARTIST", "張學友"}, {"ALBUM", "吻別"}, {"TITLE", "吻別"}});
  Make(kLove, 2, {{"GENRE", "華語流行"}, {"ARTIST", "林憶蓮"}, {"ALBUM", "Love Songs"}, {"TITLE", "愛"}});
  Make(kHit, 2,
       {{"GENRE", "Pop"}, {"ARTIST", "Blue Band"}, {"ALBUMARTIST", "Various Artists"},
        {"ALBUM", "Hits 2020"}, {"TITLE", "Hit"}});
  Make("Blue Band/Blue/" + LongName(), 2, {{"GENRE", "Pop"}, {"ARTIST", "Blue Band"}, {"ALBUM", "Blue"}});
  Make(kUntagged, 1, {});
  if (!error_.empty()) return;
  WriteFile(root_ / kKissCover, CoverJpeg());
  // An ID3 header that promises more than there is, and no audio frame.
  WriteFile(root_ / kBroken, std::string("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10) + std::string(600, '\0'));
  WriteFile(root_ / kQuotedLyrics,
            "\xEF\xBB\xBF[ti:Say Hi]\r\n[ar:王菲]\r\n[00:01.50]第一句 & more\r\n"
            "[00:02.00][00:03.20]重複的句子\r\n[00:02.90]\r\n");
  WriteFile(root_ / kPlaylist, "#EXTM3U\r\n#EXTINF:2,Hit\r\nVarious/Hits 2020/01 Hit.m4a\r\n"
                               "王菲\\夏日 & 微風\\01 紅豆.mp3\r\n" +
                                   (root_ / kKiss).string() + "\r\nmissing/song.mp3\r\n");
}

MusicFolderFixture::~MusicFolderFixture() {
  std::error_code error;
  if (!base_.empty()) std::filesystem::remove_all(base_, error);
}

}  // namespace test_support
