# Sourced by the scripts that open the real window: start_virtual_display
# starts Xvfb on a display number no other server holds, waits until it
# listens, and sets `display` and `xvfb` (its process); the caller ends it.
start_virtual_display() {
  local n=$((50 + $$ % 200))
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  display=":$n"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do
    [ -S "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $display" >&2
  return 1
}
