#pragma once
// The sound server's client library is loaded on its first use rather than
// when the program starts: loading it with its codec libraries delayed every
// start, and the window does not need it. Files that talk to the server
// include this file instead of <pulse/pulseaudio.h>; their pa_* calls in
// namespace tarnovox then go through a table of the library's functions,
// filled on the first call.
#include <pulse/pulseaudio.h>

#include "platform/loaded_function.h"
#include "platform/pulse_library.h"

namespace tarnovox {

// Every pa_* function the program calls. A new call needs its name here;
// until then the program does not link, as it does not link the library.
#define TARNOVOX_PULSE_FUNCTIONS(X) \
  X(pa_channel_map_init_auto) \
  X(pa_context_connect) \
  X(pa_context_disconnect) \
  X(pa_context_errno) \
  X(pa_context_get_server_info) \
  X(pa_context_get_sink_info_by_name) \
  X(pa_context_get_sink_input_info) \
  X(pa_context_get_source_info_by_index) \
  X(pa_context_get_source_info_by_name) \
  X(pa_context_get_source_info_list) \
  X(pa_context_get_state) \
  X(pa_context_new) \
  X(pa_context_rttime_new) \
  X(pa_context_set_sink_input_volume) \
  X(pa_context_set_state_callback) \
  X(pa_context_set_subscribe_callback) \
  X(pa_context_subscribe) \
  X(pa_context_unref) \
  X(pa_cvolume_get_position) \
  X(pa_cvolume_set) \
  X(pa_cvolume_set_position) \
  X(pa_frame_size) \
  X(pa_operation_cancel) \
  X(pa_operation_get_state) \
  X(pa_operation_set_state_callback) \
  X(pa_operation_unref) \
  X(pa_rtclock_now) \
  X(pa_sample_spec_valid) \
  X(pa_stream_connect_playback) \
  X(pa_stream_connect_record) \
  X(pa_stream_cork) \
  X(pa_stream_disconnect) \
  X(pa_stream_drain) \
  X(pa_stream_drop) \
  X(pa_stream_get_channel_map) \
  X(pa_stream_get_index) \
  X(pa_stream_get_state) \
  X(pa_stream_get_time) \
  X(pa_stream_new) \
  X(pa_stream_peek) \
  X(pa_stream_readable_size) \
  X(pa_stream_set_read_callback) \
  X(pa_stream_set_state_callback) \
  X(pa_stream_set_write_callback) \
  X(pa_stream_unref) \
  X(pa_stream_writable_size) \
  X(pa_stream_write) \
  X(pa_strerror) \
  X(pa_threaded_mainloop_free) \
  X(pa_threaded_mainloop_get_api) \
  X(pa_threaded_mainloop_lock) \
  X(pa_threaded_mainloop_new) \
  X(pa_threaded_mainloop_signal) \
  X(pa_threaded_mainloop_start) \
  X(pa_threaded_mainloop_stop) \
  X(pa_threaded_mainloop_unlock) \
  X(pa_threaded_mainloop_wait) \
  X(pa_usec_to_bytes)

struct PulseFunctions {
  TARNOVOX_PULSE_FUNCTIONS(TARNOVOX_LOADED_FIELD)
};

// The table; loads the library if that has not been done. A program without
// the library cannot talk to any sound server: the process ends with a
// message rather than calling through an empty table.
const PulseFunctions& Pulse();

// From here on, `pa_stream_new(...)` in namespace tarnovox calls through the table.
#define TARNOVOX_PULSE_CALL(name) TARNOVOX_LOADED_CALL(PulseFunctions, Pulse, name)
TARNOVOX_PULSE_FUNCTIONS(TARNOVOX_PULSE_CALL)
#undef TARNOVOX_PULSE_CALL

}  // namespace tarnovox
