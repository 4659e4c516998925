#!/bin/sh
# Runs a test program that opens windows: on the X display in $DISPLAY, or on a virtual one of its own.
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
