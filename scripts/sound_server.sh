#!/usr/bin/env bash
# A private PulseAudio daemon with a null sink, so that the default output
# device is real on a machine without a sound card (CI); tests that record
# what was played load null sinks of their own on it.
#
#   source scripts/sound_server.sh start DIR   starts it, exports its variables
#   scripts/sound_server.sh stop DIR           stops it
set -u

sound_server_start() {
  local dir=$1
  mkdir -p "$dir/xdg" "$dir/config/pulse"
  chmod 700 "$dir/xdg"
  export XDG_RUNTIME_DIR="$dir/xdg"
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  export PULSE_COOKIE="$dir/config/pulse/cookie"
  XDG_CONFIG_HOME="$dir/config" pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
    --load="module-null-sink sink_name=ci_sink rate=48000 channels=2 format=float32le norewinds=1" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$XDG_RUNTIME_DIR/pulse/native" \
    --log-target="file:$dir/pulse.log" >/dev/null 2>&1 &
  echo $! > "$dir/pulse.pid"
  local i
  for i in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! pactl info >/dev/null 2>&1; then
    echo "sound server: did not start (see $dir/pulse.log)" >&2
    return 1
  fi
  pactl set-default-sink ci_sink
  pactl set-sink-volume ci_sink 100%
  pactl set-sink-mute ci_sink 0
  echo "sound server: running (pid $(cat "$dir/pulse.pid"), sink ci_sink)"
}

sound_server_stop() {
  local dir=$1
  [ -f "$dir/pulse.pid" ] && kill "$(cat "$dir/pulse.pid")" 2>/dev/null
  rm -f "$dir/pulse.pid"
}

case "${1:-}" in
  start) sound_server_start "${2:?directory}" ;;
  stop) sound_server_stop "${2:?directory}" ;;
  *) echo "usage: sound_server.sh start|stop DIR" >&2 ;;
esac
