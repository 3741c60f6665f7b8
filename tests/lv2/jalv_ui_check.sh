#!/usr/bin/env bash
# The editor as an LV2 UI in a real host: Debian's jalv (GTK) runs the bundle
# on a dummy JACK server under a private Xvfb.
#   - the embedded editor shows the pixels of `calvorin snapshot`;
#   - a drag on Depth moves the Depth port (read from the preset jalv saves);
#   - a preset chosen with jalv's --preset sets the ports and the editor shows
#     its values (the pixels of `calvorin snapshot --preset`, but for the
#     selector's name: the host sets ports, it names no preset).
#   jalv_ui_check.sh BUNDLES_DIR VST3_BUNDLE CALVORIN_EXE
# Exit status 77 (skip) while a tool is missing.
set -uo pipefail
bundles=$1 vst3=$2 calvorin=$3
uri=urn:fenmarch:calvorin
for tool in jalv.gtk3 jackd Xvfb xdotool xwininfo import compare; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  [ -n "${KEEP_WORK:-}" ] && echo "work: $work" || rm -rf "$work"
}
trap cleanup EXIT
fail=0
check() { if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display" HOME="$work/home" LV2_PATH=$bundles JACK_DEFAULT_SERVER="calvorin-lv2-$$"
mkdir -p "$HOME"
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
sleep 1

jalv_pid= editor= host=
# Starts jalv with the arguments given; sets editor (our window) and host
# (jalv's top-level window).
start_jalv() {
  jalv.gtk3 "$@" "$uri" >"$work/jalv.log" 2>&1 &
  jalv_pid=$!
  pids+=("$jalv_pid")
  for _ in $(seq 100); do
    # The editor: our unnamed 680x392 window inside jalv's socket.
    editor=$(xwininfo -root -tree | awk '/\(has no name\): \(\)  680x392/ { id = $1 } END { print id }')
    host=$(xdotool search --pid "$jalv_pid" --name '^Calvorin$' 2>/dev/null | head -1)
    if [ -n "$editor" ] && [ -n "$host" ]; then sleep 1; return 0; fi
    sleep 0.1
  done
  cat "$work/jalv.log" >&2
  return 1
}
stop_jalv() { kill "$jalv_pid" 2>/dev/null; wait "$jalv_pid" 2>/dev/null; }
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }'; }
same_pixels() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
# Saves jalv's current port values as a preset named NAME; prints its file.
save_preset() {
  local name=$1
  read -r jx jy < <(origin "$host")
  xdotool mousemove $((jx + 70)) $((jy + 12)) click 1
  sleep 0.7
  xdotool mousemove $((jx + 110)) $((jy + 37)) click 1
  local dialog=
  for _ in $(seq 50); do dialog=$(xdotool search --name '^Save Preset$' | head -1); [ -n "$dialog" ] && break; sleep 0.1; done
  [ -n "$dialog" ] || return 1
  sleep 1
  xdotool type --delay 10 "$name"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  local file="$HOME/Calvorin_$name.preset.lv2/$name.ttl"
  # The dialog's Save button, bottom right; GTK may still be settling the
  # first time, so a click that saved nothing is repeated.
  for _ in 1 2 3; do
    xdotool mousemove $((X + WIDTH - 50)) $((Y + HEIGHT - 24)) click 1
    for _ in $(seq 20); do [ -f "$file" ] && break 2; sleep 0.1; done
  done
  echo "$file"
}
# value_of FILE SYMBOL: a port's value in a saved preset.
value_of() { awk -v s="\"$2\"" '$0 ~ "lv2:symbol " s { getline; print $2 + 0 }' "$1"; }

start_jalv || { echo "FAIL: jalv shows no editor"; exit 1; }
"$calvorin" snapshot "$work/ref.png" --bundle "$vst3" >/dev/null
import -window "$editor" "$work/shown.png"
check "the editor in jalv shows the snapshot's pixels" same_pixels "$work/shown.png" "$work/ref.png"

read -r ex ey < <(origin "$editor")
xdotool mousemove $((ex + 538)) $((ey + 130)) mousedown 1 sleep 0.2 mousemove $((ex + 538)) $((ey + 110)) \
  sleep 0.2 mousemove $((ex + 538)) $((ey + 80)) sleep 0.2 mouseup 1
sleep 0.5
depth=$(value_of "$(save_preset afterdrag)" depth)
check "a drag up on Depth raises the Depth port (50 -> $depth)" awk -v d="$depth" 'BEGIN { exit !(d > 55 && d <= 100) }'
stop_jalv

start_jalv --preset "$uri:preset:torv" || { echo "FAIL: jalv shows no editor"; exit 1; }
saved=$(save_preset torv)
torv_depth=$(value_of "$saved" depth)
torv_gain=$(value_of "$saved" pre_gain_low)
check "jalv's preset sets the ports (Depth $torv_depth, Pre-gain Low $torv_gain dB)" \
  [ "$torv_depth $torv_gain" = "100 4" ]
"$calvorin" snapshot "$work/torv.png" --bundle "$vst3" --preset TORV >/dev/null
import -window "$editor" "$work/shown-torv.png"
# The selector's name box apart, the pixels of the preset's snapshot.
for f in torv shown-torv; do convert "$work/$f.png" -fill black -draw 'rectangle 230,9 450,33' "$work/$f-masked.png"; done
check "the editor shows the preset's values" same_pixels "$work/shown-torv-masked.png" "$work/torv-masked.png"
exit $fail
