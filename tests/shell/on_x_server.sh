#!/usr/bin/env bash
# Runs a test program in real windows on a stand-in X server (1024 x 768, one
# mode): on_x_server.sh <test program> [its arguments...]. Exits 77 (skipped)
# where no X server can be had.
set -u
. "$(dirname "$0")/../support/x_server.sh"
top=$(mktemp -d)
trap 'stop_x_server; rm -rf "$top"' EXIT
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
start_x_server "$top" || { echo "skipped: no X server"; exit 77; }
"$@"
