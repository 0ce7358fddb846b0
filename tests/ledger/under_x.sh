#!/usr/bin/env bash
# Runs a test program on a virtual X server; skipped (77) where there is none.
command -v xvfb-run >/dev/null && command -v setxkbmap >/dev/null || exit 77
# Start the search for a free display at a number of our own: parallel tests race less.
exec xvfb-run -a -n $((100 + $$ % 400)) env QT_QPA_PLATFORM=xcb "$@"
