# A stand-in X server of the script's own, for the runs in a real window.
# Sourced by the smoke run and the picture tour:
#   start_x_server <folder>   starts Xvfb, sets DISPLAY; 1 when none came up
#   stop_x_server             ends it (the caller's EXIT trap calls it)
#   x_server_answers          true when a plain X client can open DISPLAY
#   x_server_report           what the server printed, and the display's sockets
# The number is one that no server holds by any of its marks (lock file,
# socket file, abstract socket), so no other server can answer in its place;
# Xvfb says on a descriptor (-displayfd) when it listens. Local connections
# need no cookie; TCP is not opened.

x_server_pid= x_server_folder=

start_x_server() {
  x_server_folder=$1
  command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is missing"; return 1; }
  # One start at a time among these scripts: a server probing a number
  # another one has just taken can take its socket away from it.
  { exec 9>/tmp/.x_server_start.lock && flock -w 60 9; } 2>/dev/null
  local n
  for n in $(seq 10 99); do
    x_number_is_free "$n" || continue
    : > "$x_server_folder/x_display"
    Xvfb ":$n" -displayfd 3 -nolisten tcp -screen 0 1024x768x24 \
      3>"$x_server_folder/x_display" 2>"$x_server_folder/x_server.err" 9>&- &
    x_server_pid=$!
    for _ in $(seq 200); do
      [ -s "$x_server_folder/x_display" ] && break
      kill -0 "$x_server_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -s "$x_server_folder/x_display" ]; then
      exec 9>&-
      export DISPLAY=":$n"
      unset XAUTHORITY WAYLAND_DISPLAY
      return 0
    fi
    stop_x_server
  done
  exec 9>&-
  echo "Xvfb did not come up:"; x_server_report
  return 1
}

# A number no server holds: no lock file, and no socket of that number,
# neither in /tmp/.X11-unix nor among the abstract ones, which a server
# whose /tmp is not ours may hold.
x_number_is_free() {
  [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ] &&
    ! grep -q "@/tmp/.X11-unix/X$1\$" /proc/net/unix 2>/dev/null
}

stop_x_server() {
  [ -n "$x_server_pid" ] && kill "$x_server_pid" 2>/dev/null && wait "$x_server_pid" 2>/dev/null
  x_server_pid=
}

# xkbcomp comes with Xvfb and reads the keymap from a display: a client that
# owes nothing to the program under test.
x_server_answers() {
  xkbcomp -w0 "$DISPLAY" "$x_server_folder/keymap.xkb" >/dev/null 2>&1
}

x_server_report() {
  echo "DISPLAY=${DISPLAY:-} server pid ${x_server_pid:-none}"
  cat "$x_server_folder/x_server.err" 2>/dev/null
  ls -la /tmp/.X11-unix 2>&1
}
