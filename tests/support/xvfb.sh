# Sourced by the shell tests. start_xvfb DIR starts a private Xvfb server on
# a display number it picks itself and writes to fd 3 once it listens (never
# one probed from here: where the abstract socket namespace is shared, another
# job's server can answer on a number whose /tmp files are not visible).
# Sets xvfb_pid and exports DISPLAY; on failure returns 1 with the reason in
# xvfb_error. The server's output goes to DIR/xvfb.log.
start_xvfb() {
  local dir=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ -s "$dir/display" ]; then
      export DISPLAY=":$(head -n1 "$dir/display")"
      return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || { xvfb_error="Xvfb did not start: $(cat "$dir/xvfb.log")"; return 1; }
    sleep 0.1
  done
  xvfb_error="Xvfb reported no display within 10 s"
  return 1
}
