#!/usr/bin/env bash
# The smoke run of the game in a real window on a stand-in X server:
#   smoke_run.sh <smoke program> <the build's Media folder> <screenshot.png>
# The program is copied into a folder of its own with the media linked
# beside it (the program works in its own folder; the level files are
# linked, never written). That folder lies under a folder named Media, as a
# game kept in ~/Media/Games would: the program must still find its own
# Media folder. Exits 77 (skipped) where no X server can be had: without
# Xvfb, or where the server starts but not even a plain X client reaches it.
set -u
program=$1 media=$2 screenshot=$3
. "$(dirname "$0")/../../../support/x_server.sh"

top=$(mktemp -d)
trap 'stop_x_server; rm -rf "$top"' EXIT
work="$top/Media/Games/shoalrunner"
mkdir -p "$work/Media/Data"
cp "$program" "$work/smoke"
for f in "$media"/*; do [ -f "$f" ] && ln -s "$f" "$work/Media/"; done
if [ -d "$media/Data" ]; then
  for f in "$media"/Data/*; do [ -f "$f" ] && ln -s "$f" "$work/Media/Data/"; done
fi
rm -f "$screenshot"

export HOME="$work" TMPDIR="$work" SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
unset SDL_VIDEODRIVER XDG_CONFIG_HOME
start_x_server "$top" || { echo "smoke run skipped: no X server"; exit 77; }
"$work/smoke" "$screenshot"
status=$?

fail() { echo "smoke run failed: $*"; echo "--- error log"; cat "$work/ErrorLog.txt" 2>/dev/null; exit 1; }
if grep -qE "Window failed: (no display|cannot open display)" "$work/ErrorLog.txt" 2>/dev/null; then
  x_server_report
  x_server_answers || { echo "smoke run skipped: the X server at $DISPLAY answers no client"; exit 77; }
  fail "the program found no display, yet an X client reaches $DISPLAY"
fi
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "Init Finalized" "$work/ErrorLog.txt" || fail "the engine did not start"
grep -q "Shut down VNT" "$work/ErrorLog.txt" || fail "no orderly shutdown"
grep -q "Media folder: $work/Media/" "$work/ErrorLog.txt" || fail "the program's own Media folder was not used"
if grep -q "Image failed" "$work/ErrorLog.txt"; then fail "pictures did not load"; fi
[ -s "$screenshot" ] || fail "no screenshot"
size=$(stat -c %s "$screenshot")
[ "$size" -gt 4000 ] || fail "the screenshot is only $size bytes"
echo "smoke run passed on $DISPLAY: screenshot $screenshot ($size bytes)"
