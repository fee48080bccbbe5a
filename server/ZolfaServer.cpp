#include "server/ZolfaServer.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <system_error>
#include <thread>

#include "server/BackupEndpoint.h"
#include "server/BlobEndpoint.h"
#include "server/ByteRanges.h"
#include "server/CheckEndpoint.h"
#include "server/ControlEndpoint.h"
#include "server/FeedEndpoint.h"
#include "server/HttpServer.h"
#include "server/ListEndpoint.h"
#include "server/LoginEndpoint.h"
#include "server/MusicFolder.h"
#include "server/PlaybackEndpoints.h"
#include "server/SampleBackups.h"
#include "server/SampleCatalogue.h"
#include "server/TopicEndpoint.h"

namespace zolfa_server {

namespace {

// Bodies that are produced piece by piece go out in pieces of this size
// (bytes) unless a drip fault asks for smaller ones.
constexpr size_t kPieceBytes = 64 * 1024;

// Set by Dispatch on the thread that serves a request, so that the
// server's own log hook writes only the requests that never reached it
// (malformed request lines, over-long targets).
thread_local bool tDispatched = false;

std::string HostOf(const httplib::Request& in) {
  std::string host = in.get_header_value("Host");
  if (!host.empty() && host[0] == '[') {
    size_t close = host.find(']');
    host = host.substr(0, close == std::string::npos ? host.size() : close + 1);
  } else {
    host = host.substr(0, host.find(':'));
  }
  for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return host;
}

// Answers the Range header of a request for a whole body (status 200, not
// chunked): the reply becomes the part asked for (206) or a 416. Returns the
// Content-Range value, or an empty text when the whole body goes out.
std::string ApplyRange(const std::string& header, ServiceReply& reply) {
  if (header.empty()) return std::string();
  size_t length = reply.BodyLength();
  ByteRanges ranges = ByteRanges::Answer(header, length);
  if (ranges.kind == ByteRanges::Kind::kWhole) return std::string();
  std::string contentRange = ranges.ContentRange(length);
  if (ranges.kind == ByteRanges::Kind::kUnsatisfiable) {
    reply = ServiceReply::Text(416, "the range is outside the body of " + std::to_string(length) +
                                        " bytes\n");
    return contentRange;
  }
  reply.status = 206;
  if (reply.generator) {
    ServiceReply::Generator whole = std::move(reply.generator);
    size_t first = ranges.first;
    reply.generator = [whole, first](size_t offset, char* out, size_t count) {
      whole(first + offset, out, count);
    };
    reply.generatedLength = ranges.length;
  } else {
    reply.body = reply.body.substr(ranges.first, ranges.length);
  }
  return contentRange;
}

}  // namespace

ZolfaServer::ZolfaServer(ServerOptions options) : options_(std::move(options)) {}

ZolfaServer::~ZolfaServer() { Stop(); }

std::string ZolfaServer::Start() {
  std::filesystem::path logFile = options_.logFile;
  if (!options_.dataDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options_.dataDir, error);
    if (!std::filesystem::is_directory(options_.dataDir)) {
      return "cannot use the data folder " + options_.dataDir.string();
    }
    std::filesystem::path accountsFile = options_.dataDir / "accounts.txt";
    if (std::filesystem::exists(accountsFile)) {
      std::string loadError = accounts_.LoadFile(accountsFile);
      if (!loadError.empty()) return loadError;
    }
    if (logFile.empty()) logFile = options_.dataDir / "requests.log";
  }
  std::string logError = log_.Open(logFile);
  if (!logError.empty()) return logError;
  for (const auto& [name, value] : options_.settings) {
    std::string error = settings_.Apply(name, value);
    if (!error.empty()) return "--" + error;
  }
  settings_.MarkStart();

  sessions_ = std::make_unique<SessionStore>(std::chrono::seconds(options_.sessionTtlSeconds));
  if (!options_.musicDir.empty()) {
    std::string musicError =
        MusicFolder::Open(options_.musicDir, options_.musicDb, &catalogue_, &backups_);
    if (!musicError.empty()) return musicError;
  } else {
    catalogue_ = std::make_unique<SampleCatalogue>();
    backups_ = std::make_unique<SampleBackups>(*catalogue_);
  }
  context_ = std::make_unique<ServiceContext>(ServiceContext{
      accounts_, *sessions_, settings_, *catalogue_, *backups_, !options_.lenient});
  AddEndpoints();

  http_ = std::make_unique<HttpServer>(static_cast<size_t>(options_.threads),
                                       std::chrono::seconds(options_.requestDeadlineSeconds));
  auto dispatch = [this](const httplib::Request& in, httplib::Response& out) {
    Dispatch(in, out);
  };
  http_->Get(".*", dispatch);
  http_->Post(".*", dispatch);
  http_->Put(".*", dispatch);
  http_->Delete(".*", dispatch);
  http_->Patch(".*", dispatch);
  http_->Options(".*", dispatch);
  http_->set_logger([this](const httplib::Request& in, const httplib::Response& out) {
    if (!tDispatched) {
      log_.Write(HostOf(in), in.target, out.status, in.get_header_value("User-Agent"));
    }
    tDispatched = false;
  });
  std::string bindError;
  port_ = http_->Bind(kAddress, options_.port, &bindError);
  return port_ > 0 ? std::string() : bindError;
}

void ZolfaServer::AddEndpoints() {
  ServiceContext& context = *context_;
  router_.AddPath("/ce_login.php", std::make_unique<LoginEndpoint>(context));
  router_.AddPath("/ce_check.php", std::make_unique<CheckEndpoint>(context));
  router_.AddPath("/genre.php", std::make_unique<ListEndpoint>(context, ListEndpoint::Kind::kGenre));
  router_.AddPath("/artist.php",
                  std::make_unique<ListEndpoint>(context, ListEndpoint::Kind::kArtist));
  router_.AddPath("/album.php", std::make_unique<ListEndpoint>(context, ListEndpoint::Kind::kAlbum));
  router_.AddPath("/song.php", std::make_unique<ListEndpoint>(context, ListEndpoint::Kind::kSong));
  router_.AddPath("/hw_topic.php", std::make_unique<TopicEndpoint>(context));
  router_.AddPrefix("/feed/", std::make_unique<FeedEndpoint>(context));
  router_.AddPath("/backup_load.php", std::make_unique<BackupEndpoint>(context));
  AddPlaybackEndpoints(router_, context);
  router_.AddPath("/bench/blob", std::make_unique<BlobEndpoint>());
  router_.AddPath(kControlPath, std::make_unique<ControlEndpoint>(context, options_.dataDir));
}

bool ZolfaServer::Run() {
  if (!http_) return false;
  runActive_ = true;
  bool served = stopping_ || http_->listen_after_bind();
  runActive_ = false;
  return served;
}

void ZolfaServer::Stop() {
  stopping_ = true;
  gate_.Open();
  if (!http_) return;
  // Run may be between its check of stopping_ and the start of its loop;
  // a stop of a loop that has not started would be lost.
  while (runActive_ && !http_->is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  http_->stop();
}

void ZolfaServer::ApplyBodyFault(const FaultRule& fault, ServiceReply& reply) {
  if (fault.body) {
    reply.generator = nullptr;
    reply.body = *fault.body;
  }
  if (fault.truncate) {
    if (reply.generator) {
      reply.generatedLength = std::min(reply.generatedLength, *fault.truncate);
    } else if (reply.body.size() > *fault.truncate) {
      reply.body.resize(*fault.truncate);
    }
  }
}

void ZolfaServer::Dispatch(const httplib::Request& in, httplib::Response& out) {
  ServiceRequest request;
  request.method = in.method;
  request.host = HostOf(in);
  request.target = in.target;
  request.agent = in.get_header_value("User-Agent");
  size_t question = in.target.find('?');
  request.path = in.target.substr(0, question);
  if (question != std::string::npos) request.query = QueryString(in.target.substr(question + 1));

  std::optional<FaultRule> fault;
  ServiceReply reply;
  if (request.method != "GET" && request.method != "HEAD") {
    reply = ServiceReply::Text(405, "only GET is served\n");
  } else {
    if (request.path != kControlPath) fault = settings_.TakeFault(request.host, request.path);
    if (fault && fault->status != 0) {
      reply = ServiceReply::Text(fault->status,
                                 "injected status " + std::to_string(fault->status) + "\n");
    } else if (Endpoint* endpoint = router_.Find(request.path)) {
      try {
        reply = endpoint->Handle(request);
      } catch (const std::exception& error) {
        reply = ServiceReply::Text(500, std::string("server error: ") + error.what() + "\n");
      }
    } else {
      reply = ServiceReply::Text(404, "no such path " + request.path + "\n");
    }
    if (fault) ApplyBodyFault(*fault, reply);
  }
  std::string contentRange;
  if (reply.status == 200 && !reply.chunked && request.path != kControlPath) {
    contentRange = ApplyRange(in.get_header_value(HttpServer::kRangeHeader), reply);
  }
  // The line is written before the answer leaves, so a client that has its
  // answer always finds the request in the log.
  log_.Write(request.host, request.target, reply.status, request.agent);
  tDispatched = true;
  if (fault && fault->delayMs > 0) gate_.Wait(fault->delayMs);
  Send(std::move(reply), fault ? &*fault : nullptr, contentRange, out);
}

void ZolfaServer::Send(ServiceReply reply, const FaultRule* fault, const std::string& contentRange,
                       httplib::Response& out) {
  out.status = reply.status;
  if (!contentRange.empty()) out.set_header("Content-Range", contentRange);
  if ((reply.status == 200 || reply.status == 206) && !reply.chunked) {
    out.set_header("Accept-Ranges", "bytes");
  }
  size_t piece = fault && fault->dripBytes > 0 ? fault->dripBytes : kPieceBytes;
  int pauseMs = fault && fault->dripBytes > 0 ? fault->dripMs : 0;
  // An empty body needs no provider (the server library would wait for
  // one that never writes).
  bool plain = !reply.generator && pauseMs == 0 && piece == kPieceBytes;
  if (!reply.chunked && (plain || reply.BodyLength() == 0)) {
    out.set_content(reply.generator ? std::string() : std::move(reply.body),
                    reply.contentType.c_str());
    return;
  }
  auto shared = std::make_shared<ServiceReply>(std::move(reply));
  DelayGate* gate = &gate_;
  // Writes the next piece at offset (at most limit bytes); false ends the
  // connection (the client went away, or the server stops).
  auto writePiece = [shared, piece, pauseMs, gate](size_t offset, size_t limit,
                                                   httplib::DataSink& sink) {
    size_t count = std::min(piece, limit);
    bool written;
    if (shared->generator) {
      std::string bytes(count, '\0');
      shared->generator(offset, bytes.data(), count);
      written = sink.write(bytes.data(), count);
    } else {
      written = sink.write(shared->body.data() + offset, count);
    }
    if (!written) return false;
    return pauseMs == 0 || gate->Wait(pauseMs);
  };
  size_t total = shared->BodyLength();
  if (shared->chunked) {
    out.set_chunked_content_provider(
        shared->contentType, [shared, total, writePiece](size_t offset, httplib::DataSink& sink) {
          if (offset >= total) {
            sink.done();
            return true;
          }
          return writePiece(offset, total - offset, sink);
        });
  } else {
    out.set_content_provider(total, shared->contentType,
                             [writePiece](size_t offset, size_t length, httplib::DataSink& sink) {
                               return writePiece(offset, length, sink);
                             });
  }
}

}  // namespace zolfa_server
