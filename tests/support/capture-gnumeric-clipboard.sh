#!/bin/bash
# Copies all of a sheet in Gnumeric, on a virtual display of its own, and
# writes what Gnumeric then offers on the clipboard: its targets, and the text
# of UTF8_STRING and STRING.
#   capture-gnumeric-clipboard.sh SHEET OUTPUT_FOLDER
# With --hold for the folder it copies on the display it is given, leaves
# Gnumeric holding the clipboard and prints its process id.
set -euo pipefail
sheet=$(realpath "$1")
out=$2
[ "$out" = --hold ] || out=$(realpath "$out")
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$sheet" "$out"; fi

gnumeric --no-splash "$sheet" </dev/null >/dev/null 2>&1 &
gnumeric=$! window=""
for _ in $(seq 1 60); do
  window=$(xdotool search --onlyvisible --name "$(basename "$sheet" .gnumeric)" 2>/dev/null | head -1) || true
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "Gnumeric showed no window" >&2; kill "$gnumeric"; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool windowfocus --sync "$window"
# Gnumeric takes keys only once it has settled: select all and copy until the
# clipboard is its own (it offers its own format beside the text).
for _ in $(seq 1 60); do
  xdotool key --window "$window" ctrl+a ctrl+c
  xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -q gnumeric && break
  sleep 0.25
done
if [ "$out" = --hold ]; then
  echo "$gnumeric"
  exit 0
fi
xclip -o -selection clipboard -t TARGETS >"$out/targets.txt"
xclip -o -selection clipboard -t UTF8_STRING >"$out/UTF8_STRING.txt"
xclip -o -selection clipboard -t STRING >"$out/STRING.txt"
kill "$gnumeric"
