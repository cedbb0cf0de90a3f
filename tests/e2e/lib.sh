# Shared by the end-to-end scripts (run.sh, design.sh); sourced with their
# arguments, the program and the exposure probe. On sourcing: the arguments
# are checked (app, probe), the tools are checked, a directory for
# screenshots and logs is made ($shots) and the clean-up is set for the exit.
# start_display then starts a private Xvfb server with openbox on it. The
# rest are the steps and looks of a user's session: windows by title, clicks,
# keys, screenshots and what they show, the exposure probe, the ROC plot.
#
# Every coordinate is a screen pixel unless it is said to be in the plot.
# shellcheck shell=bash disable=SC2034  # the layouts set what the scripts read

app=${1:?usage: $(basename "$0") path/to/rocrating path/to/exposure_probe}
probe=${2:?usage: $(basename "$0") path/to/rocrating path/to/exposure_probe}
for exe in "$app" "$probe"; do
  if [ ! -x "$exe" ]; then
    echo "e2e: not an executable: $exe" >&2
    exit 2
  fi
done

for tool in Xvfb xdpyinfo xdotool xwininfo openbox wmctrl import convert awk md5sum; do
  command -v "$tool" >/dev/null || { echo "e2e: missing tool: $tool" >&2; exit 2; }
done

shots=$(mktemp -d "${TMPDIR:-/tmp}/rocrating-e2e.XXXXXX")
xvfb_pid=""
wm_pid=""
probe_pid=""
app_pid=""
passed=0
last=""

cleanup() {
  local pid
  for pid in "$app_pid" "$probe_pid" "$wm_pid" "$xvfb_pid"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
  done
  if [ "$passed" = 1 ] && [ -z "${E2E_KEEP:-}" ]; then
    rm -rf "$shots"
  else
    echo "e2e: screenshots and logs kept in $shots" >&2
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "e2e: FAIL: $*" >&2
  [ -n "$last" ] && echo "e2e: last screenshot: $last" >&2
  exit 1
}

note() { echo "e2e: $*"; }

now_ms() { date +%s%3N; }

# ---------------------------------------------------------------- X server --

# start_display: a private Xvfb server with openbox; exports DISPLAY.
start_display() {
  # shellcheck source=../support/xvfb.sh
  . "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
  start_xvfb "$shots" || fail "$xvfb_error"
  note "Xvfb on $DISPLAY"

  export QT_QPA_PLATFORM=xcb

  openbox --sm-disable >"$shots/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do
    wmctrl -m >/dev/null 2>&1 && break
    kill -0 "$wm_pid" 2>/dev/null || fail "openbox ended at once: $(cat "$shots/openbox.log")"
    sleep 0.1
  done
  wmctrl -m >/dev/null 2>&1 || fail "openbox did not come up within 10 s: $(cat "$shots/openbox.log")"
  note "openbox running"
}

# ------------------------------------------------------------ the layout --

# window_of TITLE [TIMEOUT_MS]: the id of the viewable client window of that
# title, waiting for it to be mapped.
window_of() {
  local start id
  start=$(now_ms)
  while :; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ $(($(now_ms) - start)) -gt "${2:-10000}" ] && return 1
    sleep 0.1
  done
}
# origin_of ID: the client area's top-left corner on the screen.
origin_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }'
}
# mapped ID: the window is on the screen.
mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Buttons are "left top width height" on the screen, from the client origins.
# Main window "Form1".
layout_main() {
  read -r MX MY <<<"$(origin_of "$MAIN_WIN")"
  DOEXP="$((MX + 88)) $((MY + 112)) 75 25"
  MAINEXIT="$((MX + 264)) $((MY + 112)) 75 25"
  DISPDATA="$((MX + 96)) $((MY + 112)) 75 25"
  LABEL="$((MX + 80)) $((MY + 48)) 300 24"
}

# ROC window "DispGraph2": the picture is its left 500 x 500, the controls
# right of it. layout_roc [CRITERIA]: the rows from the top are d, the
# criteria from the highest down (3 unless said) and R, each an edit with
# 大 and 小 below it; EDIT_TOPS are the edits' tops in the client area.
layout_roc() {
  local r
  EDIT_TOPS=()
  for ((r = 0; r < ${1:-3} + 2; r++)); do EDIT_TOPS+=($((135 + 74 * r))); done
  read -r RX RY <<<"$(origin_of "$ROC_WIN")"
  DISP="$((RX + 525)) $((RY + 10)) 75 25"
  ROCEXIT="$((RX + 525)) $((RY + 60)) 75 25"
  DEDIT="$((RX + 510)) $((RY + 135)) 105 24"
  DUP="$((RX + 510)) $((RY + 159)) 52 25"
  step_buttons=()
  for top in "${EDIT_TOPS[@]}"; do
    step_buttons+=("$((RX + 510)) $((RY + top + 24)) 52 25")
  done
}

centre_of() {
  local x y w h
  read -r x y w h <<<"$1"
  echo "$((x + w / 2)) $((y + h / 2))"
}

# ------------------------------------------------------- screen and mouse --

shot_no=0
# shot NAME: a screenshot of the whole screen; its path is in $last.
shot() {
  shot_no=$((shot_no + 1))
  last=$(printf '%s/%03d-%s.png' "$shots" "$shot_no" "$1")
  # PNG with light compression: quicker, and the screens compress well anyway.
  import -window root -quality 10 "$last" 2>>"$shots/import.log" || fail "import failed"
}

click() {
  local x y
  read -r x y <<<"$(centre_of "$1")"
  xdotool mousemove "$x" "$y" click 1
}

alive() { kill -0 "$app_pid" 2>/dev/null || fail "the program ended unexpectedly"; }

# app_ends_after WHAT: the program ends within 5 s of WHAT, with code 0.
app_ends_after() {
  local rc
  for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    shot not-ended
    fail "the program did not end within 5 s of $1"
  fi
  wait "$app_pid"
  rc=$?
  app_pid=""
  [ "$rc" = 0 ] || fail "the program ended with code $rc"
}

# pixels: ImageMagick's txt: output as "image x y r g b" lines, the image
# counted from 0 when several are written. A grey picture lists one value
# per pixel, a colour one three (and maybe alpha).
pixels() {
  awk '/^#/ { img++; next }
       { split($1, xy, /[,:]/); v = $2; gsub(/[()]/, "", v); n = split(v, c, ",")
         if (n < 3) { c[2] = c[1]; c[3] = c[1] }
         print img - 1, xy[1], xy[2], c[1], c[2], c[3] }'
}

# region FILE "X Y W H": "x y r g b" lines (screen coordinates) of a rectangle.
region() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x$h+$x+$y" +repage -depth 8 txt:- | pixels |
    awk -v ox="$x" -v oy="$y" '{ print $2 + ox, $3 + oy, $4, $5, $6 }'
}

# checksum FILE "X Y W H": a checksum of a rectangle's pixels.
checksum() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x$h+$x+$y" +repage -depth 8 rgb:- | md5sum | cut -d' ' -f1
}

# A push button is recognised by its outline: the left and right columns are
# mid-grey from top to bottom (but for the rounded corners), or the style's
# blue on the button that shows the keyboard focus once keys are used. Where
# no button is, these columns are the light window background.
# column_args "LEFT TOP WIDTH HEIGHT"...: convert arguments, two column images per button.
column_args() {
  local b x y w h
  for b in "$@"; do
    read -r x y w h <<<"$b"
    printf '%s\n' '(' -clone 0 -crop "1x$((h - 8))+$x+$((y + 4))" +repage ')' \
      '(' -clone 0 -crop "1x$((h - 8))+$((x + w - 1))+$((y + 4))" +repage ')'
  done
}
# The awk part: one letter per button in images FIRST.. of pixels output:
# P present, A absent, ? neither (half painted, covered, ...).
# shellcheck disable=SC2016  # awk code, expanded by awk
BUTTON_AWK='
  $1 >= first { b = int(($1 - first) / 2); nb = b + 1 > nb ? b + 1 : nb; n[b]++
    m = $4 > $5 ? $4 : $5; m = m > $6 ? m : $6; l = $4 < $5 ? $4 : $5; l = l < $6 ? l : $6
    if (m - l <= 8 && l >= 110 && m <= 205) grey[b]++
    if ($6 == m && $6 - $4 >= 80 && $6 >= 120) framed[b]++
    if (l >= 225) light[b]++ }
  function letters(   s, b) {
    for (b = 0; b < nb; b++) s = s (grey[b] == n[b] || framed[b] == n[b] ? "P" : light[b] == n[b] ? "A" : "?")
    return s
  }'

# buttons FILE "LEFT TOP WIDTH HEIGHT"... -> e.g. "PAP".
buttons() {
  local file=$1 args
  shift
  mapfile -t args < <(column_args "$@")
  convert "$file" -depth 8 "${args[@]}" -delete 0 txt:- | pixels |
    awk -v first=0 "$BUTTON_AWK END { print letters() }"
}

# exp_look FILE -> "BUTTONS GRID DETAIL" for the experiment window (client
# origin EX, EY), from one convert. BUTTONS: letters for the buttons of
# EXP_BUTTONS (GO, Exit, then the ratings from the top down). GRID:
#   grid BROWN   a full 10 x 10 grid of green and brown cells, BROWN of them brown
#   none WHITE   no green or brown cell centre; WHITE of the 100 are white
#   other ...    anything else (a half-painted screen, a wrong grid)
# The grid is sampled three times 10 x 10: at the cell corners (the white
# outlines), at the cell centres and off the centre (a cell is one colour).
exp_look() {
  local args
  mapfile -t args < <(column_args "${EXP_BUTTONS[@]}")
  convert "$1" -depth 8 \
    '(' -clone 0 -crop "500x500+$EX+$EY" +repage -define sample:offset=0 -sample 10x10 ')' \
    '(' -clone 0 -crop "500x500+$EX+$EY" +repage -define sample:offset=50 -sample 10x10 ')' \
    '(' -clone 0 -crop "500x500+$EX+$EY" +repage -define sample:offset=22 -sample 10x10 ')' \
    "${args[@]}" -delete 0 txt:- | pixels |
    awk -v first=3 "$BUTTON_AWK"'
      $1 < 3 { k = $3 * 10 + $2; c = $4 "," $5 "," $6
               if ($1 == 0) corner[k] = c; else if ($1 == 1) mid[k] = c; else off[k] = c }
      END {
        for (k = 0; k < 100; k++) {
          if (mid[k] == "0,128,0") green++
          else if (mid[k] == "128,0,0") brown++
          else if (mid[k] == "255,255,255") white++
          if (off[k] == mid[k]) samecell++
          if (corner[k] == "255,255,255") outline++
        }
        printf "%s ", letters()
        if (green + brown == 100 && samecell == 100 && outline == 100) print "grid", brown + 0
        else if (green + brown == 0) print "none", white + 0
        else printf "other green=%d,brown=%d,white=%d,samecell=%d,outline=%d\n", green, brown, white, samecell, outline
      }'
}

# wait_until DESC TIMEOUT_MS NAME COMMAND...: screenshot until COMMAND (run
# with the screenshot path appended) succeeds. COMMAND may set $seen to say
# what it saw; a time-out reports it.
seen=""
wait_until() {
  local desc=$1 limit=$2 name=$3 start
  shift 3
  start=$(now_ms)
  seen=""
  while :; do
    alive
    shot "$name"
    "$@" "$last" && return 0
    [ $(($(now_ms) - start)) -gt "$limit" ] && fail "timed out waiting for $desc (saw: $seen)"
    sleep 0.05
  done
}

# Predicates for wait_until.
buttons_are() { # EXPECTED BUTTON... FILE
  local want=$1 file=${!#}
  local list=("${@:2:$(($# - 2))}")
  seen=$(buttons "$file" "${list[@]}")
  [ "$seen" = "$want" ]
}
exp_buttons_are() { # EXPECTED FILE; sets $look
  look=$(exp_look "$2")
  seen=$look
  [ "${look%% *}" = "$1" ]
}

dark_pixels() { # FILE "X Y W H"
  region "$1" "$2" | awk '$3 < 90 && $4 < 90 && $5 < 90 { n++ } END { print n + 0 }'
}

# ------------------------------------------------------------ the probe --

# start_probe: exposure_probe on the experiment window (EXP_WIN) writes what
# the X server draws in the picture to $probe_out, as "t server state" lines.
start_probe() {
  probe_out="$shots/probe.txt"
  "$probe" "$EXP_WIN" >"$probe_out" 2>"$shots/probe.log" &
  probe_pid=$!
  for _ in $(seq 100); do
    grep -q '^ready$' "$probe_out" && break
    kill -0 "$probe_pid" 2>/dev/null || fail "exposure_probe ended (see $shots/probe.log)"
    sleep 0.05
  done
  grep -q '^ready$' "$probe_out" || fail "exposure_probe not ready within 5 s"
}

# probe_lines: how many lines the probe has written.
probe_lines() { wc -l <"$probe_out"; }
# probe_wait DESC AFTER STATE TIMEOUT_MS: waits for the first line after line
# AFTER whose state is (or, for !STATE, is not) STATE; sets probe_line to it
# and probe_at to its number.
probe_wait() {
  local desc=$1 after=$2 want=$3 limit=$4 start found
  start=$(now_ms)
  while :; do
    found=$(awk -v after="$after" -v want="$want" 'NR > after && NF >= 3 {
        ok = substr(want, 1, 1) == "!" ? $3 != substr(want, 2) : $3 == want
        if (ok) { print NR, $0; exit } }' "$probe_out")
    if [ -n "$found" ]; then
      probe_at=${found%% *}
      probe_line=${found#* }
      return 0
    fi
    [ $(($(now_ms) - start)) -gt "$limit" ] &&
      fail "timed out waiting for $desc (the picture's last state: $(tail -n1 "$probe_out"))"
    sleep 0.02
  done
}
# no_grid_since AFTER: the probe saw no grid after line AFTER.
no_grid_since() { awk -v after="$1" 'NR > after && $3 == "grid" { exit 1 }' "$probe_out"; }

# press KEY DESC: a key to the experiment window, which must have the keyboard.
press() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null)
  [ "$focus" = "$EXP_WIN" ] || fail "$2: the experiment window does not have the keyboard focus (window $focus has)"
  xdotool key "$1"
}
space() { press space "$1"; }

# ------------------------------------------------------------- the plot --

# plot_drawn FILE: the ROC window (origin RX, RY) shows the plot's frame, its
# left and right sides.
plot_drawn() {
  region "$1" "$((RX + 40)) $((RY + 235)) 451 1" |
    awk '($1 == '"$((RX + 40))"' || $1 == '"$((RX + 490))"') && $3 + $4 + $5 == 0 { n++ } END { exit n != 2 }'
}
# plot_dump FILE OUT: the picture's pixels that are not white, as "x y r,g,b"
# in plot coordinates.
plot_dump() {
  region "$1" "$RX $RY 500 500" |
    awk -v ox="$RX" -v oy="$RY" '!($3 == 255 && $4 == 255 && $5 == 255) { print $1 - ox, $2 - oy, $3 "," $4 "," $5 }' >"$2"
}
# colour_at DUMP X Y...: "r,g,b" per plot point.
colour_at() {
  local dumpfile=$1
  shift
  awk -v pts="$*" 'BEGIN { n = split(pts, p, " ") }
    { c[$1 "," $2] = $3 }
    END { for (i = 1; i < n; i += 2) { k = p[i] "," p[i + 1]; print (k in c) ? c[k] : "255,255,255" } }' "$dumpfile"
}
# blue_near DUMP X Y R: some pure blue pixel at most R px from (X, Y) in x and in y.
blue_near() {
  awk -v x="$2" -v y="$3" -v r="$4" \
    '$3 == "0,0,255" && $1 >= x - r && $1 <= x + r && $2 >= y - r && $2 <= y + r { n++ } END { exit n == 0 }' "$1"
}
# circle_hits DUMP X Y COLOUR: how many of 8 outline pixels of the circle of
# radius 7 around (X, Y) have COLOUR: two at the top, two at the bottom, two
# on either side.
circle_hits() {
  colour_at "$1" $(($2 - 2)) $(($3 - 7)) $(($2 + 1)) $(($3 - 7)) $(($2 - 2)) $(($3 + 6)) $(($2 + 1)) $(($3 + 6)) \
    $(($2 - 7)) $(($3 - 1)) $(($2 - 7)) "$3" $(($2 + 6)) $(($3 - 1)) $(($2 + 6)) "$3" | grep -c "^$4\$"
}
# round(count * 450 / total), halves to even, in integers.
scaled() {
  awk -v c="$1" -v t="$2" 'BEGIN { num = c * 450; q = int(num / t); r = num - q * t
    if (2 * r > t || (2 * r == t && q % 2 == 1)) q++; print q }'
}
