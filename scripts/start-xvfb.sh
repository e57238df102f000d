#!/usr/bin/env bash
# Starts Xvfb on the first free display number, writes its pid to $1 and
# prints the display number once the server answers.
set -euo pipefail
pidfile=$1
for n in $(seq 91 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  echo $! >"$pidfile"
  for _ in $(seq 1 100); do
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then echo "$n"; exit 0; fi
    sleep 0.1
  done
  kill "$(cat "$pidfile")" 2>/dev/null || true
done
echo "no free X display" >&2
exit 1
