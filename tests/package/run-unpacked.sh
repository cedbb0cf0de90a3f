#!/usr/bin/env bash
# The Debian package as an installation would see it: unpacked into a
# temporary root (dpkg -x), the binary run from there, away from the build
# tree: --version, --fit on a recorded session, every sample design read by
# --design, and the main window on a private Xvfb display, ended through its
# "Exit" button with code 0.
#
#   tests/package/run-unpacked.sh PACKAGE.deb VERSION SESSION.csv
set -uo pipefail
. "$(dirname "$0")/../support/xvfb.sh"

deb=${1:?usage: run-unpacked.sh PACKAGE.deb VERSION SESSION.csv}
version=${2:?version}
session=${3:?session file}
for tool in dpkg Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "package: missing tool: $tool" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/rocrating-unpacked.XXXXXX")
xvfb_pid="" app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package: FAIL: $*" >&2; exit 1; }

dpkg -x "$deb" "$work/root" || fail "dpkg -x $deb"
app="$work/root/usr/bin/rocrating"
[ -x "$app" ] || fail "no usr/bin/rocrating in the package"
cd "$work" || exit 2

out=$("$app" --version 2>&1) || fail "--version ended with $?: $out"
[[ "$out" == *"$version"* ]] || fail "--version printed '$out', not version $version"

"$app" --fit "$session" >"$work/fit.csv" 2>"$work/fit.err" || fail "--fit ended with $?: $(cat "$work/fit.err")"
head -n1 "$work/fit.csv" | grep -qx 'file,session,recorded,noise_counts,signal_counts,d,d_se,R,R_se,c1,c1_se,c2,c2_se,c3,c3_se,a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status,completeness' ||
  fail "--fit printed no header: $(head -n1 "$work/fit.csv")"
grep -q ',ok,complete$' "$work/fit.csv" || fail "--fit printed no fitted session: $(cat "$work/fit.csv")"

# The class report, started as a bare session would start it (no runtime
# folder named, as for root): a PDF and not a word on standard error.
env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen "$app" --class-report "$work/class.pdf" "$session" \
  >"$work/report.out" 2>"$work/report.err" || fail "--class-report ended with $?: $(cat "$work/report.err")"
[ ! -s "$work/report.err" ] || fail "--class-report wrote to standard error: $(cat "$work/report.err")"
[ "$(head -c 4 "$work/class.pdf")" = "%PDF" ] || fail "--class-report wrote no PDF"

# The sample designs are there and good: without a display the program reads
# the design and then stops for want of a display (1), not for the design (2).
designs="$work/root/usr/share/rocrating/designs"
for name in standard easier short-exposure liberal conservative six-point; do
  [ -f "$designs/$name.toml" ] || fail "no usr/share/rocrating/designs/$name.toml in the package"
  out=$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$app" --design "$designs/$name.toml" 2>&1)
  rc=$?
  [ "$rc" = 1 ] || fail "--design $name.toml ended with $rc, not 1 (no display): $out"
done

# A private X server.
start_xvfb "$work" || fail "$xvfb_error"
export QT_QPA_PLATFORM=xcb

"$app" >"$work/app.log" 2>&1 &
app_pid=$!
wid=""
for _ in $(seq 150); do
  wid=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n1)
  [ -n "$wid" ] && break
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended before showing its window: $(cat "$work/app.log")"
  sleep 0.1
done
[ -n "$wid" ] || fail "no main window within 15 s"
eval "$(xdotool getwindowgeometry --shell "$wid")"
# "Exit": client (264, 112), 75 x 25.
xdotool mousemove $((X + 264 + 37)) $((Y + 112 + 12)) click 1
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end within 10 s of Exit"
wait "$app_pid"
rc=$?
app_pid=""
[ "$rc" = 0 ] || fail "the program ended with code $rc: $(cat "$work/app.log")"
echo "package: PASS"
