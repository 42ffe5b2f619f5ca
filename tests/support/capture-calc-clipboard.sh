#!/bin/bash
# Copies all of a sheet in LibreOffice Calc, on a virtual display of its own,
# and writes what Calc then offers on the clipboard as text/plain;charset=utf-8.
# The locale is the environment's (LANG, LC_ALL, LOCPATH).
#   capture-calc-clipboard.sh SHEET OUTPUT
set -euo pipefail
sheet=$(realpath "$1")
out=$(realpath -m "$2")
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$sheet" "$out"; fi

# A folder of its own for the profile and the sheet: no lock of an earlier
# run, no first-run settings of another locale.
work=$(mktemp -d)
trap 'kill -9 "$calc" 2>/dev/null && wait "$calc" 2>/dev/null; rm -rf "$work"' EXIT
cp "$sheet" "$work/"
name=$(basename "$sheet")
soffice -env:UserInstallation="file://$work/profile" --norestore --nologo --calc "$work/$name" \
  </dev/null >/dev/null 2>&1 &
calc=$! window=""
for _ in $(seq 1 240); do
  window=$(xdotool search --onlyvisible --name "${name%.*}" 2>/dev/null | head -1) || true
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "Calc showed no window" >&2; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || true
# Calc takes keys only once it has settled: select all and copy until the
# clipboard is its own.
for _ in $(seq 1 60); do
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key ctrl+Home ctrl+a ctrl+c
  xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qi openoffice && break
  sleep 0.5
done
xclip -o -selection clipboard -t 'text/plain;charset=utf-8' >"$out"
