#include <string>

#include "tests/media/MediaRecorder.h"

// Last: GStreamer's headers define TRUE and FALSE as macros.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

namespace ce::testing {

std::string MakeOggVorbis(double seconds) {
  gst_init(nullptr, nullptr);
  // 100 buffers of 441 samples make one second at 44100 Hz.
  int buffers = static_cast<int>(seconds * 100);
  std::string description =
      "audiotestsrc num-buffers=" + std::to_string(buffers) +
      " samplesperbuffer=441 ! audio/x-raw,rate=44100,channels=1 ! audioconvert ! vorbisenc ! "
      "oggmux ! appsink name=out sync=false";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) {
    g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return {};
  }
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  std::string bytes;
  while (GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink))) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      bytes.append(reinterpret_cast<const char*>(map.data), map.size);
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(sink);
  gst_object_unref(pipeline);
  return bytes;
}

}  // namespace ce::testing
