#include "platform/media/MediaStreamPlayer.h"

#include <mutex>
#include <string>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/Debug.h"

// Last: GStreamer's headers define TRUE and FALSE as macros.
#include <gst/app/gstappsrc.h>
#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

namespace ce {
namespace {

// playbin's flags: audio only, with its own volume element so that the
// volume also works on a sink without one.
constexpr guint kPlayFlagAudio = 0x02;
constexpr guint kPlayFlagSoftVolume = 0x10;
// Bytes the source holds before the feeder's push waits for room.
constexpr guint64 kSourceMaxBytes = 256 * 1024;

HRESULT HresultFromWin32(DWORD error) {
  return error == 0 ? E_FAIL : static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

bool InitGstreamer() {
  static bool ready = false;
  static std::once_flag once;
  std::call_once(once, [] {
    GError* error = nullptr;
    ready = gst_init_check(nullptr, nullptr, &error);
    if (error) g_error_free(error);
  });
  return ready;
}

bool SinkReady(const char* factory) {
  GstElement* sink = gst_element_factory_make(factory, nullptr);
  if (!sink) return false;
  gst_object_ref_sink(sink);
  bool ready = gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
  gst_element_set_state(sink, GST_STATE_NULL);
  gst_object_unref(sink);
  return ready;
}

// The first audio device sink that opens, asked once per process; null
// when none does (no sound server, no sound card).
const char* DeviceSinkName() {
  static const char* name = nullptr;
  static std::once_flag once;
  std::call_once(once, [] {
    for (const char* candidate : {"pulsesink", "alsasink"}) {
      if (SinkReady(candidate)) {
        name = candidate;
        break;
      }
    }
  });
  return name;
}

GstElement* MakeAudioSink() {
  MediaAudioOutput output = GetMediaAudioOutput();
  if (output != MediaAudioOutput::kClockedFake) {
    const char* device = output == MediaAudioOutput::kDevice ? "autoaudiosink" : DeviceSinkName();
    if (device) {
      if (GstElement* sink = gst_element_factory_make(device, nullptr)) return sink;
    }
  }
  // On the clock, so that positions advance in real time and the end of
  // the media comes when its sound would have ended.
  GstElement* fake = gst_element_factory_make("fakesink", nullptr);
  if (fake) g_object_set(fake, "sync", TRUE, nullptr);
  return fake;
}

void Debug(const std::string& text) { OutputDebugString(FromUtf8("media: " + text + "\n").c_str()); }

}  // namespace

struct MediaStreamCallbacks {
  static void SourceSetup(GstElement* /*playbin*/, GstElement* source, gpointer self) {
    static_cast<MediaStreamPlayer*>(self)->OnSourceSetup(source);
  }
  static GstBusSyncReply BusMessage(GstBus* /*bus*/, GstMessage* message, gpointer self) {
    static_cast<MediaStreamPlayer*>(self)->OnBusMessage(message);
    return GST_BUS_DROP;
  }
};

std::unique_ptr<MediaPlayer> MediaStreamPlayer::Create(HRESULT* error) {
  if (error) *error = S_OK;
  GstElement* playbin = InitGstreamer() ? gst_element_factory_make("playbin", nullptr) : nullptr;
  GstElement* sink = playbin ? MakeAudioSink() : nullptr;
  if (!playbin || !sink) {
    if (playbin) gst_object_unref(playbin);
    if (error) *error = E_FAIL;
    return nullptr;
  }
  gst_object_ref_sink(playbin);
  g_object_set(playbin, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, "audio-sink", sink, nullptr);
  return std::unique_ptr<MediaPlayer>(new MediaStreamPlayer(playbin));
}

MediaStreamPlayer::MediaStreamPlayer(GstElement* playbin) : playbin_(playbin) {
  bus_ = gst_element_get_bus(playbin_);
  gst_bus_set_sync_handler(bus_, &MediaStreamCallbacks::BusMessage, this, nullptr);
  g_signal_connect(playbin_, "source-setup", G_CALLBACK(&MediaStreamCallbacks::SourceSetup), this);
  ApplyVolume();
}

MediaStreamPlayer::~MediaStreamPlayer() {
  EndSession();
  g_signal_handlers_disconnect_by_data(playbin_, this);
  gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
  gst_object_unref(bus_);
  gst_object_unref(playbin_);
}

HRESULT MediaStreamPlayer::SetUrl(const std::u16string& url) {
  if (url.empty()) return Close();
  std::optional<MediaUrl> parsed = ParseMediaUrl(url);
  if (!parsed) return E_INVALIDARG;
  EndSession();
  url_ = url;
  parsed_ = std::move(parsed);
  title_.clear();
  duration_ = 0;
  lastPosition_ = 0;
  ReportOpen(url_);
  EnterOpenState(kOpenStateMediaChanging);
  StartSession();
  return S_OK;
}

HRESULT MediaStreamPlayer::Close() {
  EndSession();
  bool hadMedia = !url_.empty();
  url_.clear();
  parsed_.reset();
  title_.clear();
  duration_ = 0;
  lastPosition_ = 0;
  if (hadMedia) {
    EnterOpenState(kOpenStatePlaylistOpenNoMedia);
    EnterPlayState(kPlayStateReady);
  }
  return S_OK;
}

HRESULT MediaStreamPlayer::Play() {
  if (!parsed_) return E_UNEXPECTED;
  if (!running_) {
    StartSession();
  } else if (paused_) {
    paused_ = false;
    if (pipelineStarted_) gst_element_set_state(playbin_, GST_STATE_PLAYING);
  }
  return S_OK;
}

HRESULT MediaStreamPlayer::Stop() {
  if (!running_) return S_OK;
  EndSession();
  lastPosition_ = 0;
  EnterPlayState(kPlayStateStopped);
  return S_OK;
}

HRESULT MediaStreamPlayer::Pause() {
  if (!running_ || paused_) return S_OK;
  paused_ = true;
  // Before the answer the pipeline has not started; it then starts paused.
  if (pipelineStarted_) gst_element_set_state(playbin_, GST_STATE_PAUSED);
  return S_OK;
}

HRESULT MediaStreamPlayer::GetCurrentPosition(double* seconds) {
  if (!seconds) return E_POINTER;
  gint64 position = 0;
  if (pipelineStarted_ && gst_element_query_position(playbin_, GST_FORMAT_TIME, &position) &&
      position >= 0) {
    lastPosition_ = static_cast<double>(position) / GST_SECOND;
  }
  *seconds = running_ ? lastPosition_ : 0;
  return S_OK;
}

HRESULT MediaStreamPlayer::SetCurrentPosition(double /*seconds*/) {
  // The stream is read once, from its start, as it arrives.
  return E_FAIL;
}

HRESULT MediaStreamPlayer::SetVolume(LONG percent) {
  if (percent < 0 || percent > 100) return E_INVALIDARG;
  volume_ = percent;
  ApplyVolume();
  return S_OK;
}

HRESULT MediaStreamPlayer::GetVolume(LONG* percent) {
  if (!percent) return E_POINTER;
  *percent = volume_;
  return S_OK;
}

HRESULT MediaStreamPlayer::SetMute(bool mute) {
  mute_ = mute;
  ApplyVolume();
  return S_OK;
}

HRESULT MediaStreamPlayer::GetMute(bool* mute) {
  if (!mute) return E_POINTER;
  *mute = mute_;
  return S_OK;
}

HRESULT MediaStreamPlayer::GetDuration(double* seconds) {
  if (!seconds) return E_POINTER;
  gint64 duration = 0;
  if (pipelineStarted_ && gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration) &&
      duration > 0) {
    duration_ = static_cast<double>(duration) / GST_SECOND;
  }
  *seconds = duration_;
  return S_OK;
}

HRESULT MediaStreamPlayer::GetName(std::u16string* name) {
  if (!name) return E_POINTER;
  *name = !title_.empty() ? title_ : parsed_ ? parsed_->BaseName() : std::u16string();
  return S_OK;
}

HRESULT MediaStreamPlayer::GetSourceUrl(std::u16string* url) {
  if (!url) return E_POINTER;
  *url = url_;
  return S_OK;
}

void MediaStreamPlayer::StartSession() {
  unsigned session = ++session_;
  running_ = true;
  paused_ = false;
  pipelineStarted_ = false;
  reachedPlaying_ = false;
  lastPosition_ = 0;
  EnterPlayState(kPlayStateTransitioning);
  EnterOpenState(kOpenStateMediaConnecting);
  EnterPlayState(kPlayStateWaiting);
  auto feeder = std::make_unique<MediaStreamFeeder>(
      *parsed_,
      [this, session](uint64_t length) {
        RunOnControlThread([this, session, length] { OnAnswered(session, length); });
      },
      [this, session](DWORD status, DWORD error) {
        RunOnControlThread([this, session, status, error] { OnFetchFailed(session, status, error); });
      });
  std::lock_guard<std::mutex> lock(feedMutex_);
  feeder_ = std::move(feeder);
  contentLength_ = 0;
}

void MediaStreamPlayer::EndSession() {
  std::unique_ptr<MediaStreamFeeder> feeder;
  {
    std::lock_guard<std::mutex> lock(feedMutex_);
    if (feeder_) feeder_->Cancel();
  }
  busSession_ = 0;
  // Setting NULL flushes the source, which releases a push that waits.
  gst_element_set_state(playbin_, GST_STATE_NULL);
  {
    std::lock_guard<std::mutex> lock(feedMutex_);
    feeder = std::move(feeder_);
  }
  feeder.reset();
  running_ = false;
  paused_ = false;
  pipelineStarted_ = false;
}

void MediaStreamPlayer::OnAnswered(unsigned session, uint64_t length) {
  if (session != session_ || !running_) return;
  {
    std::lock_guard<std::mutex> lock(feedMutex_);
    contentLength_ = length;
  }
  EnterOpenState(kOpenStateMediaLoading);
  EnterPlayState(kPlayStateBuffering);
  pipelineStarted_ = true;
  busSession_ = session;
  g_object_set(playbin_, "uri", "appsrc://", nullptr);
  if (gst_element_set_state(playbin_, paused_ ? GST_STATE_PAUSED : GST_STATE_PLAYING) ==
      GST_STATE_CHANGE_FAILURE) {
    Debug("the pipeline did not start");
    EndSession();
    ReportError(E_FAIL);
    EnterPlayState(kPlayStateReady);
  }
}

void MediaStreamPlayer::OnFetchFailed(unsigned session, DWORD status, DWORD error) {
  if (session != session_ || !running_) return;
  Debug("fetch failed: status " + std::to_string(status) + ", error " + std::to_string(error));
  EndSession();
  ReportError(status != 0 ? E_FAIL : HresultFromWin32(error));
  EnterPlayState(kPlayStateReady);
}

void MediaStreamPlayer::OnSourceSetup(GstElement* source) {
  MediaStreamPlayer* player = this;
  if (!GST_IS_APP_SRC(source)) return;
  std::lock_guard<std::mutex> lock(player->feedMutex_);
  g_object_set(source, "format", GST_FORMAT_BYTES, "stream-type", GST_APP_STREAM_TYPE_STREAM,
               "max-bytes", kSourceMaxBytes, "block", TRUE, nullptr);
  if (player->contentLength_ > 0) {
    gst_app_src_set_size(GST_APP_SRC(source), static_cast<gint64>(player->contentLength_));
  }
  if (player->feeder_) player->feeder_->SetSource(source);
}

void MediaStreamPlayer::OnBusMessage(GstMessage* message) {
  // Called on the pipeline's threads: the message travels to the control's
  // thread with the session it belongs to (a reference held until the task
  // runs or is dropped).
  unsigned session = busSession_;
  if (session == 0) return;
  std::shared_ptr<GstMessage> held(gst_message_ref(message), &gst_message_unref);
  RunOnControlThread([this, session, held] { HandleBusMessage(session, held.get()); });
}

void MediaStreamPlayer::HandleBusMessage(unsigned session, GstMessage* message) {
  if (!running_ || session != session_) return;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED:
      if (GST_MESSAGE_SRC(message) == GST_OBJECT(playbin_)) HandleStateChanged(message);
      break;
    case GST_MESSAGE_EOS:
      HandleEnd();
      break;
    case GST_MESSAGE_ERROR:
      HandleError(message);
      break;
    case GST_MESSAGE_TAG: {
      GstTagList* tags = nullptr;
      gst_message_parse_tag(message, &tags);
      gchar* title = nullptr;
      if (gst_tag_list_get_string(tags, GST_TAG_TITLE, &title) && title) {
        title_ = FromUtf8(title);
        g_free(title);
      }
      gst_tag_list_unref(tags);
      break;
    }
    default:
      break;
  }
}

void MediaStreamPlayer::HandleStateChanged(GstMessage* message) {
  GstState oldState, newState, pending;
  gst_message_parse_state_changed(message, &oldState, &newState, &pending);
  if (newState == GST_STATE_PLAYING) {
    if (!reachedPlaying_) {
      reachedPlaying_ = true;
      EnterOpenState(kOpenStateMediaOpen);
    }
    if (PlayState() != kPlayStatePlaying) EnterPlayState(kPlayStatePlaying);
  } else if (newState == GST_STATE_PAUSED && pending == GST_STATE_VOID_PENDING && paused_) {
    if (PlayState() != kPlayStatePaused) EnterPlayState(kPlayStatePaused);
  }
}

void MediaStreamPlayer::HandleEnd() {
  double duration = 0;
  GetDuration(&duration);
  EndSession();
  lastPosition_ = 0;
  EnterPlayState(kPlayStateMediaEnded);
  EnterPlayState(kPlayStateStopped);
}

void MediaStreamPlayer::HandleError(GstMessage* message) {
  GError* error = nullptr;
  gchar* detail = nullptr;
  gst_message_parse_error(message, &error, &detail);
  Debug(std::string("stream failed: ") + (error ? error->message : "?") + " (" +
        (detail ? detail : "") + ")");
  if (error) g_error_free(error);
  g_free(detail);
  EndSession();
  ReportError(E_FAIL);
  EnterPlayState(kPlayStateReady);
}

void MediaStreamPlayer::ApplyVolume() {
  // The control's scale is how loud it sounds, not the signal's amplitude.
  gst_stream_volume_set_volume(GST_STREAM_VOLUME(playbin_), GST_STREAM_VOLUME_FORMAT_CUBIC,
                               volume_ / 100.0);
  gst_stream_volume_set_mute(GST_STREAM_VOLUME(playbin_), mute_);
}

}  // namespace ce
