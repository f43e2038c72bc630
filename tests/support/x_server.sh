# A stand-in X server of the script's own, for the runs in a real window.
# Sourced by the smoke run and the picture tour:
#   start_x_server <folder>   starts Xvfb, sets DISPLAY; 1 when none came up
#   stop_x_server             ends it (the caller's EXIT trap calls it)
#   x_server_answers          true when a plain X client can open DISPLAY
#   x_server_report           what the server printed, and the display's sockets
# Xvfb picks the display number itself (-displayfd) and takes one only where
# every socket of it is free, so no other server can answer in its place, as
# one with the same number elsewhere could when the number is guessed from
# lock files. Local connections need no cookie; TCP is not opened.

x_server_pid= x_server_folder=

start_x_server() {
  x_server_folder=$1
  command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is missing"; return 1; }
  : > "$x_server_folder/x_display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 \
    3>"$x_server_folder/x_display" 2>"$x_server_folder/x_server.err" &
  x_server_pid=$!
  for _ in $(seq 200); do
    if [ -s "$x_server_folder/x_display" ]; then
      export DISPLAY=":$(tr -d '[:space:]' < "$x_server_folder/x_display")"
      unset XAUTHORITY WAYLAND_DISPLAY
      return 0
    fi
    kill -0 "$x_server_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not come up:"; x_server_report
  return 1
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
