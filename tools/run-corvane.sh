#!/bin/sh
# Starts the desktop program, or says in one line why it cannot.
set -eu
exe="$1"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "corvane: no display (DISPLAY and WAYLAND_DISPLAY are unset): start it from a desktop session, or calculate panel files in batch with build/corvane-cli (try: make demo)." >&2
  exit 1
fi
exec "$exe"
