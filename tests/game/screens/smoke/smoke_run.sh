#!/usr/bin/env bash
# The smoke run of the game in a real window under xvfb-run:
#   smoke_run.sh <smoke program> <the build's Media folder> <screenshot.png>
# The program is copied into a folder of its own with the media linked
# beside it (the program works in its own folder; the level files are
# linked, never written). That folder lies under a folder named Media, as a
# game kept in ~/Media/Games would: the program must still find its own
# Media folder. Exits 77 (skipped) without xvfb-run.
set -u
program=$1 media=$2 screenshot=$3
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is missing: smoke run skipped"; exit 77; }

top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
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
# xvfb-run -a can pick a display whose server then fails to start (another
# server took the number first): the program finds no display and says so.
# That is the stand-in display failing, not the game; try a new one.
for attempt in 1 2 3; do
  xvfb-run -a -e "$work/xvfb.err" -s "-screen 0 1024x768x24" "$work/smoke" "$screenshot"
  status=$?
  grep -q "Window failed: no display" "$work/ErrorLog.txt" 2>/dev/null || break
  echo "no X server came up (attempt $attempt):"; cat "$work/xvfb.err" 2>/dev/null
done

fail() { echo "smoke run failed: $*"; echo "--- error log"; cat "$work/ErrorLog.txt" 2>/dev/null; exit 1; }
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "Init Finalized" "$work/ErrorLog.txt" || fail "the engine did not start"
grep -q "Shut down VNT" "$work/ErrorLog.txt" || fail "no orderly shutdown"
grep -q "Media folder: $work/Media/" "$work/ErrorLog.txt" || fail "the program's own Media folder was not used"
if grep -q "Image failed" "$work/ErrorLog.txt"; then fail "pictures did not load"; fi
[ -s "$screenshot" ] || fail "no screenshot"
size=$(stat -c %s "$screenshot")
[ "$size" -gt 4000 ] || fail "the screenshot is only $size bytes"
echo "smoke run passed: screenshot $screenshot ($size bytes)"
