#pragma once
// The sound server's client library is loaded on its first use rather than
// when the program starts: loading it with its codec libraries delayed every
// start, and the window does not need it. Files that talk to the server
// include this file instead of <pulse/pulseaudio.h>; their pa_* calls then
// go through a table of the library's functions, filled on the first call.
#include <pulse/pulseaudio.h>

#include "platform/pulse_library.h"

namespace tarnovox {

// Every pa_* function the program calls. A new call needs its name here and a
// line below; until then the program does not link, as it does not link the library.
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
#define TARNOVOX_PULSE_FIELD(name) decltype(&::name) name;
  TARNOVOX_PULSE_FUNCTIONS(TARNOVOX_PULSE_FIELD)
#undef TARNOVOX_PULSE_FIELD
};

// The table; loads the library if that has not been done. A program without
// the library cannot talk to any sound server: the process ends with a
// message rather than calling through an empty table.
const PulseFunctions& Pulse();

}  // namespace tarnovox

// The library's own names call through the table. The file that fills the
// table sees the real declarations.
#ifndef TARNOVOX_PULSE_LIBRARY_LOADER
#define pa_channel_map_init_auto (::tarnovox::Pulse().pa_channel_map_init_auto)
#define pa_context_connect (::tarnovox::Pulse().pa_context_connect)
#define pa_context_disconnect (::tarnovox::Pulse().pa_context_disconnect)
#define pa_context_errno (::tarnovox::Pulse().pa_context_errno)
#define pa_context_get_server_info (::tarnovox::Pulse().pa_context_get_server_info)
#define pa_context_get_sink_info_by_name (::tarnovox::Pulse().pa_context_get_sink_info_by_name)
#define pa_context_get_sink_input_info (::tarnovox::Pulse().pa_context_get_sink_input_info)
#define pa_context_get_source_info_by_index (::tarnovox::Pulse().pa_context_get_source_info_by_index)
#define pa_context_get_source_info_by_name (::tarnovox::Pulse().pa_context_get_source_info_by_name)
#define pa_context_get_source_info_list (::tarnovox::Pulse().pa_context_get_source_info_list)
#define pa_context_get_state (::tarnovox::Pulse().pa_context_get_state)
#define pa_context_new (::tarnovox::Pulse().pa_context_new)
#define pa_context_set_sink_input_volume (::tarnovox::Pulse().pa_context_set_sink_input_volume)
#define pa_context_set_state_callback (::tarnovox::Pulse().pa_context_set_state_callback)
#define pa_context_set_subscribe_callback (::tarnovox::Pulse().pa_context_set_subscribe_callback)
#define pa_context_subscribe (::tarnovox::Pulse().pa_context_subscribe)
#define pa_context_unref (::tarnovox::Pulse().pa_context_unref)
#define pa_cvolume_get_position (::tarnovox::Pulse().pa_cvolume_get_position)
#define pa_cvolume_set (::tarnovox::Pulse().pa_cvolume_set)
#define pa_cvolume_set_position (::tarnovox::Pulse().pa_cvolume_set_position)
#define pa_frame_size (::tarnovox::Pulse().pa_frame_size)
#define pa_operation_cancel (::tarnovox::Pulse().pa_operation_cancel)
#define pa_operation_get_state (::tarnovox::Pulse().pa_operation_get_state)
#define pa_operation_set_state_callback (::tarnovox::Pulse().pa_operation_set_state_callback)
#define pa_operation_unref (::tarnovox::Pulse().pa_operation_unref)
#define pa_sample_spec_valid (::tarnovox::Pulse().pa_sample_spec_valid)
#define pa_stream_connect_playback (::tarnovox::Pulse().pa_stream_connect_playback)
#define pa_stream_connect_record (::tarnovox::Pulse().pa_stream_connect_record)
#define pa_stream_cork (::tarnovox::Pulse().pa_stream_cork)
#define pa_stream_disconnect (::tarnovox::Pulse().pa_stream_disconnect)
#define pa_stream_drain (::tarnovox::Pulse().pa_stream_drain)
#define pa_stream_drop (::tarnovox::Pulse().pa_stream_drop)
#define pa_stream_get_channel_map (::tarnovox::Pulse().pa_stream_get_channel_map)
#define pa_stream_get_index (::tarnovox::Pulse().pa_stream_get_index)
#define pa_stream_get_state (::tarnovox::Pulse().pa_stream_get_state)
#define pa_stream_get_time (::tarnovox::Pulse().pa_stream_get_time)
#define pa_stream_new (::tarnovox::Pulse().pa_stream_new)
#define pa_stream_peek (::tarnovox::Pulse().pa_stream_peek)
#define pa_stream_readable_size (::tarnovox::Pulse().pa_stream_readable_size)
#define pa_stream_set_read_callback (::tarnovox::Pulse().pa_stream_set_read_callback)
#define pa_stream_set_state_callback (::tarnovox::Pulse().pa_stream_set_state_callback)
#define pa_stream_set_write_callback (::tarnovox::Pulse().pa_stream_set_write_callback)
#define pa_stream_unref (::tarnovox::Pulse().pa_stream_unref)
#define pa_stream_writable_size (::tarnovox::Pulse().pa_stream_writable_size)
#define pa_stream_write (::tarnovox::Pulse().pa_stream_write)
#define pa_strerror (::tarnovox::Pulse().pa_strerror)
#define pa_threaded_mainloop_free (::tarnovox::Pulse().pa_threaded_mainloop_free)
#define pa_threaded_mainloop_get_api (::tarnovox::Pulse().pa_threaded_mainloop_get_api)
#define pa_threaded_mainloop_lock (::tarnovox::Pulse().pa_threaded_mainloop_lock)
#define pa_threaded_mainloop_new (::tarnovox::Pulse().pa_threaded_mainloop_new)
#define pa_threaded_mainloop_signal (::tarnovox::Pulse().pa_threaded_mainloop_signal)
#define pa_threaded_mainloop_start (::tarnovox::Pulse().pa_threaded_mainloop_start)
#define pa_threaded_mainloop_stop (::tarnovox::Pulse().pa_threaded_mainloop_stop)
#define pa_threaded_mainloop_unlock (::tarnovox::Pulse().pa_threaded_mainloop_unlock)
#define pa_threaded_mainloop_wait (::tarnovox::Pulse().pa_threaded_mainloop_wait)
#define pa_usec_to_bytes (::tarnovox::Pulse().pa_usec_to_bytes)
#endif
