#!/usr/bin/env bash
# Runs a test program on a virtual X server; skipped (77) where there is none.
command -v xvfb-run >/dev/null && command -v setxkbmap >/dev/null || exit 77
exec xvfb-run -a env QT_QPA_PLATFORM=xcb "$@"
