#!/bin/sh
# Starts the program when a display is available; says so clearly when not.
program="$1"
shift
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): cannot open the window." >&2
    echo "Run it under a desktop session, or try the command-line jobs: $program --help" >&2
    exit 1
fi
exec "$program" "$@"
