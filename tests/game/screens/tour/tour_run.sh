#!/usr/bin/env bash
# The picture tour of the game in a real window on a stand-in X server:
#   tour_run.sh <tour program> <the build's Media folder> <output folder> [level...]
# The program runs in a folder of its own with a copy of the media (the
# editor saves levels there), HOME in that folder, and a progress file that
# keeps the level 24 (a dark one) for CONTINUE and the margins TOUR_MARGIN_H
# and TOUR_MARGIN_V (0 by default). With levels given, the tour visits each
# of them instead of every screen; with "play" and levels, each is played
# through its solution (levels/solutions).
set -u
program=$1 media=$2 out=$3 level=24
shift 3
. "$(dirname "$0")/../../../support/x_server.sh"
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'stop_x_server; rm -rf "$work"' EXIT
cp "$program" "$work/tour"
cp -r "$media" "$work/Media"
printf "%s\r\n%s\r\n%s\r\n0.5\r\n" "$level" "${TOUR_MARGIN_H:-0}" "${TOUR_MARGIN_V:-0}" > "$work/DocumentsShoalrunner.cfg"
export HOME="$work" TMPDIR="$work" SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
unset SDL_VIDEODRIVER XDG_CONFIG_HOME
if [ "${1:-}" = play ]; then
  shift
  set -- play "$(cd "$(dirname "$0")/../../../../levels/solutions" && pwd)" "$@"
fi
start_x_server "$work" || exit 77
"$work/tour" "$out" "$@"
status=$?
echo "tour: exit status $status"
cp "$work/ErrorLog.txt" "$out/ErrorLog.txt" 2>/dev/null
exit $status
