#!/usr/bin/env bash
# A private sound server with a null sink (its monitor is the default input) and
# a private X display, for tests that need the real thing.
#
#   tests/e2e/rig.sh start DIR         start both; writes DIR/env with the exports
#   tests/e2e/rig.sh stop DIR          stop everything started in DIR
#   tests/e2e/rig.sh pulse-kill DIR    kill the sound server with SIGKILL (a crash)
#   tests/e2e/rig.sh pulse-start DIR   start it again on the same socket path, with
#                                      the null sink, the defaults and the silent stream
#
# RIG_SERVER=pipewire (at start) runs PipeWire with WirePlumber and its PulseAudio
# service instead, its clock at 44100 Hz so 44.1 kHz 16-bit samples pass unchanged;
# pulse-kill then kills its core, pulse-start starts the whole stack again.
#
# After start:  source DIR/env   (PULSE_SERVER, DISPLAY, XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS, QT_QPA_PLATFORM,
#                                 TARNOVOX_RIG_DIR and TARNOVOX_RIG for pulse-kill/pulse-start)
set -euo pipefail

cmd=${1:?start, stop, pulse-kill or pulse-start}
rig=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
dir=${2:?folder}

wait_gone() {  # PID: TERM, up to 5 s, then KILL; a zombie counts as gone
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    [ -e "/proc/$pid" ] || return 0
    [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" = Z ] && return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

stop() {
  for f in "$dir"/*.pid; do
    [ -e "$f" ] || continue
    wait_gone "$(cat "$f")"
    rm -f "$f"
  done
}

# Starts the sound server in DIR/pulse (made by start) and waits until a capture
# of the monitor delivers data.
pulse_start() {
  local pulse="$dir/pulse"
  local as_pulse=()
  if [ "$(id -u)" = 0 ] && id pulse >/dev/null 2>&1; then
    as_pulse=(setpriv --reuid=pulse --regid=pulse --init-groups)
  fi
  local bus="unix:path=$pulse/bus"
  env -i PATH="$PATH" HOME="$pulse/home" XDG_RUNTIME_DIR="$pulse" DBUS_SESSION_BUS_ADDRESS="$bus" \
    "${as_pulse[@]}" pulseaudio --daemonize=no -n -F "$pulse/default.pa" --exit-idle-time=-1 \
    --realtime=no --high-priority=no --log-target=file:"$pulse/pulse.log" </dev/null >/dev/null 2>&1 &
  echo $! > "$dir/pulse.pid"
  export PULSE_SERVER="unix:$pulse/native"
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null
  # An idle null sink feeds its monitor in 2-second blocks: keep it busy so
  # captures start promptly.
  pacat --playback --raw --device=test_sink --latency-msec=20 /dev/zero </dev/null >/dev/null 2>&1 &
  echo $! > "$dir/pacat.pid"
  timeout 5 parec --raw --device=test_sink.monitor 2>/dev/null | head -c 4 >/dev/null || true
}

# A crash: no chance to tidy up. The silent stream dies with its server.
pulse_kill() {
  local pid
  pid=$(cat "$dir/pulse.pid")
  kill -KILL "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    [ -e "/proc/$pid" ] || break
    [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" = Z ] && break
    sleep 0.1
  done
  # The daemon refuses to start while its pid file names a live process, and
  # an unreaped zombie counts as live.
  rm -f "$dir/pulse.pid" "$dir/pulse/pulse/pid"
  [ -e "$dir/pacat.pid" ] && wait_gone "$(cat "$dir/pacat.pid")"
  rm -f "$dir/pacat.pid"
}

# PipeWire in DIR/pw: a null sink defined in its own configuration (it comes
# back with every restart), WirePlumber without per-program volume memory or
# real devices, and the PulseAudio service clients talk to.
#
# The null sink's timer drives the graph, and a cycle that is not finished when
# the next one is due is dropped: on a busy machine a graph without real-time
# threads falls behind real time (a 20 s capture got 75 % of its frames with
# four busy loops beside the usual builds, 92 % with a 2048-frame quantum and
# nice -10). So the core and the PulseAudio service keep the real-time data
# threads they ask for (as root), with a CPU limit that stops a runaway thread;
# WirePlumber, which moves no sound, gets none (with them: 99.6-99.99 %).
# Even so, on a busy machine PipeWire 0.3.65 now and then plays or delivers one
# quantum of a stream as silence (two captures side by side showed it in both,
# or in only one): a bit-exact capture test can still fail there.
# RIG_PW_RT=0 turns real time off; RIG_PW_QUANTUM=N pins the graph's quantum.
pipewire_start() {
  local pw="$dir/pw" conf="$dir/pw/config/pipewire"
  rm -rf "$pw/run"  # stale sockets and locks of a killed stack
  mkdir -p "$pw/run" "$pw/home" "$conf/pipewire.conf.d" "$conf/pipewire-pulse.conf.d" "$pw/config/wireplumber/main.lua.d"
  chmod 700 "$pw/run"
  local clock="default.clock.rate = 44100  default.clock.allowed-rates = [ 44100 ]"
  [ -z "${RIG_PW_QUANTUM:-}" ] ||
    clock+="  default.clock.quantum = $RIG_PW_QUANTUM  default.clock.min-quantum = $RIG_PW_QUANTUM"
  cat > "$conf/pipewire.conf.d/10-rig.conf" <<CONF
context.properties = { $clock }
context.objects = [
  { factory = adapter
    args = { factory.name = support.null-audio-sink  node.name = test_sink
             node.description = "Test sink"  media.class = Audio/Sink
             audio.position = [ FL FR ]  audio.rate = 44100  object.linger = true } }
]
CONF
  for f in pipewire.conf.d pipewire-pulse.conf.d; do
    echo 'context.modules = [ { name = libpipewire-module-rt args = { rt.time.soft = 200000 rt.time.hard = 400000 } flags = [ nofail ] } ]' \
      > "$conf/$f/20-rt.conf"
  done
  printf 'stream_defaults.enabled = false\nalsa_monitor.enabled = false\nv4l2_monitor.enabled = false\nlibcamera_monitor.enabled = false\n' \
    > "$pw/config/wireplumber/main.lua.d/60-rig.lua"
  local base=(env -i PATH="$PATH" HOME="$pw/home" XDG_RUNTIME_DIR="$pw/run" XDG_CONFIG_HOME="$pw/config"
              XDG_STATE_HOME="$pw/home/state" DBUS_SESSION_BUS_ADDRESS="unix:path=$pw/run/bus")
  local plain=("${base[@]}") sound=("${base[@]}")
  if [ "$(id -u)" = 0 ]; then
    plain+=(setpriv --inh-caps=-sys_nice --bounding-set=-sys_nice)
    [ "${RIG_PW_RT:-1}" = 1 ] || sound=("${plain[@]}")
  fi
  "${plain[@]}" dbus-daemon --session --nofork --nopidfile --address="unix:path=$pw/run/bus" </dev/null >"$pw/dbus.log" 2>&1 &
  echo $! > "$dir/pwdbus.pid"
  for _ in $(seq 250); do [ -S "$pw/run/bus" ] && break; sleep 0.02; done
  "${sound[@]}" pipewire </dev/null >"$pw/pipewire.log" 2>&1 &
  echo $! > "$dir/pipewire.pid"
  for _ in $(seq 250); do [ -S "$pw/run/pipewire-0" ] && break; sleep 0.02; done
  "${plain[@]}" wireplumber </dev/null >"$pw/wireplumber.log" 2>&1 &
  echo $! > "$dir/wireplumber.pid"
  "${sound[@]}" pipewire-pulse </dev/null >"$pw/pipewire-pulse.log" 2>&1 &
  echo $! > "$dir/pipewire-pulse.pid"
  export PULSE_SERVER="unix:$pw/run/pulse/native"
  # The sink is listed as soon as the PulseAudio service answers, but setting a
  # default fails ("Not supported") until WirePlumber has made the metadata
  # that holds the defaults.
  local ready= until=$((SECONDS + 15))
  while [ $SECONDS -lt $until ]; do
    if pactl set-default-sink test_sink 2>/dev/null && pactl set-default-source test_sink.monitor 2>/dev/null &&
       pactl info 2>/dev/null | grep -q '^Default Source: test_sink.monitor'; then ready=1; break; fi
    sleep 0.04
  done
  [ -n "$ready" ] || pipewire_failed "the defaults could not be set"
  # Only a stream WirePlumber has linked delivers sound: prove one does.
  [ "$(timeout 5 parec --raw --device=test_sink.monitor --latency-msec=20 2>/dev/null | head -c 4 | wc -c)" = 4 ] ||
    pipewire_failed "a capture of the monitor delivered nothing"
}

pipewire_failed() {  # REASON
  echo "rig.sh: PipeWire not ready: $1" >&2
  tail -n 5 "$dir"/pw/*.log >&2 || true
  pipewire_kill
  exit 1
}

# The core dies; clients see their connection end. The rest of the stack is
# stopped too, so pulse-start begins afresh on the same socket path.
pipewire_kill() {
  kill -KILL "$(cat "$dir/pipewire.pid")" 2>/dev/null || true
  for name in pipewire-pulse wireplumber pwdbus pipewire; do
    [ -e "$dir/$name.pid" ] && wait_gone "$(cat "$dir/$name.pid")"
    rm -f "$dir/$name.pid"
  done
}

server_kind() { [ -e "$dir/pw" ] && echo pipewire || echo pulse; }

start() {
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  if [ "${RIG_SERVER:-pulse}" = pipewire ]; then
    pipewire_start
    start_display "$dir/runtime"
    return
  fi
  local pulse="$dir/pulse" runtime="$dir/runtime"
  mkdir -p "$pulse/home" "$runtime"
  chmod 700 "$runtime"
  chmod 755 "$dir" "$pulse"
  local as_pulse=()
  if [ "$(id -u)" = 0 ] && id pulse >/dev/null 2>&1; then
    chown -R pulse: "$pulse"
    as_pulse=(setpriv --reuid=pulse --regid=pulse --init-groups)
  fi
  cat > "$pulse/default.pa" <<PA
load-module module-null-sink sink_name=test_sink rate=44100 channels=2
load-module module-native-protocol-unix auth-anonymous=1 auth-cookie-enabled=0 socket=$pulse/native
set-default-sink test_sink
set-default-source test_sink.monitor
PA
  local bus="unix:path=$pulse/bus"
  env -i PATH="$PATH" HOME="$pulse/home" "${as_pulse[@]}" \
    dbus-daemon --session --nofork --address="$bus" >"$pulse/dbus.log" 2>&1 &
  echo $! > "$dir/dbus.pid"
  pulse_start
  start_display "$runtime"
}

start_display() {  # RUNTIME_DIR
  local runtime=$1
  mkdir -p "$runtime"
  chmod 700 "$runtime"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
  echo $! > "$dir/xvfb.pid"
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  local display=":$(head -n1 "$dir/display")"
  for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
  # A desktop session has its session bus. Without one the bus library starts
  # one itself by forking from a thread of the program under test, and a child
  # forked while a sanitizer lock is held hangs the program's start. No service
  # is started on demand, so no real desktop portal answers.
  printf '<busconfig><type>session</type><listen>unix:path=%s/bus</listen><policy context="default">%s</policy></busconfig>\n' \
    "$runtime" '<allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>' > "$dir/session-bus.conf"
  dbus-daemon --config-file="$dir/session-bus.conf" --nofork </dev/null >"$dir/session-bus.log" 2>&1 &
  echo $! > "$dir/sessionbus.pid"
  for _ in $(seq 100); do [ -S "$runtime/bus" ] && break; sleep 0.05; done
  cat > "$dir/env" <<ENV
export PULSE_SERVER=$PULSE_SERVER
export DISPLAY=$display
export XDG_RUNTIME_DIR=$runtime
export DBUS_SESSION_BUS_ADDRESS=unix:path=$runtime/bus
export QT_QPA_PLATFORM=xcb
export TARNOVOX_RIG_DIR=$dir
export TARNOVOX_RIG=$rig
ENV
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  pulse-kill) dir=$(cd "$dir" && pwd); if [ "$(server_kind)" = pipewire ]; then pipewire_kill; else pulse_kill; fi ;;
  pulse-start) dir=$(cd "$dir" && pwd); if [ "$(server_kind)" = pipewire ]; then pipewire_start; else pulse_start; fi ;;
  *) echo "usage: $0 start|stop|pulse-kill|pulse-start DIR" >&2; exit 2 ;;
esac
