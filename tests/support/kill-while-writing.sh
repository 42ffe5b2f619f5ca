#!/usr/bin/env bash
# Runs a command that writes OUTPUT through a temporary file beside it, and
# kills it with SIGKILL once that file holds a megabyte: a crash or a power
# cut in the middle of writing.
#   kill-while-writing.sh OUTPUT COMMAND [ARGUMENT...]
output=$1
shift
"$@" &
pid=$!
for _ in $(seq 1 1000); do
  for file in ."$output".*; do
    if [ -f "$file" ] && [ "$(stat -c %s "$file")" -gt 1000000 ]; then
      kill -9 "$pid"
      wait "$pid" 2>/dev/null
      exit 0
    fi
  done
  sleep 0.01
done
kill -9 "$pid"
wait "$pid" 2>/dev/null
echo "kill-while-writing: the temporary file never grew" >&2
exit 1
