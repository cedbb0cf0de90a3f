#!/usr/bin/env bash
# End-to-end run of a teacher's design: a six-point scale, 2 practice and 12
# recorded trials, a 300 ms exposure, 15 against 40 brown squares, started
# with --design, --observer, --csv and --seed on a private Xvfb server with
# openbox, and driven with the mouse and the keyboard.
#
#   tests/e2e/design.sh path/to/rocrating path/to/exposure_probe
#
# The journey: "Do Exp"; the experiment window, its title naming the design,
# its six rating buttons and Exit where the layout puts them; 14 trials, GO
# clicked or Space pressed by turns, the grid's brown cells counted on the
# screen and its exposure timed by exposure_probe, the answers over all six
# codes, by key or by click; the end screen left by "Exit"; the per-trial file
# row by row; "Disp. Data", "Disp" and the five observed points; the analysis
# window by Ctrl+F; `--fit` with c1..c5; "Exit". The steps it shares with
# run.sh are in lib.sh; on failure the screenshots stay in a directory whose
# path is printed, E2E_KEEP=1 keeps them after a pass too.
set -uo pipefail

# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh" "$@"

# ------------------------------------------------------------ the design --

K=6 PRACTICE=2 RECORDED=12 NOISE_BROWN=15 SIGNAL_BROWN=40 SEED=7
design_name="six-point e2e"
observer="山田花子"
design_file="$shots/design.toml"
cat >"$design_file" <<EOF
name = "$design_name"
practice_trials = $PRACTICE
recorded_trials = $RECORDED
noise_brown = $NOISE_BROWN
signal_brown = $SIGNAL_BROWN
exposure_ms = 300

[ratings]
captions = ["異常あり", "たぶん異常あり", "やや異常あり", "やや異常なし", "たぶん異常なし", "異常なし"]
statements = ["確かに茶色が増えた", "茶色が増えたと思う", "どちらかといえば茶色が増えた",
              "どちらかといえば茶色は増えていない", "茶色が増えたと思わない", "絶対に茶色は増えていない"]
EOF
TOTAL=$((PRACTICE + RECORDED))
# Generous: a loaded machine draws the grid late or takes it away late.
EXPOSURE_MIN=270 EXPOSURE_MAX=450

start_display

# Experiment window: the picture is its left 500 x 500; GO at the top, rating
# button i (1 = the top one, code K) at (4 + 2 (i - 1)) x 25, Exit at
# (2K + 5) x 25, all at left 550, 100 x 25. GAPS are the rows between the
# rating buttons and the one below the last, where nothing may be.
layout_exp() {
  local i
  read -r EX EY <<<"$(origin_of "$EXP_WIN")"
  GO="$((EX + 550)) $((EY + 25)) 100 25"
  EXPEXIT="$((EX + 550)) $((EY + (2 * K + 5) * 25)) 100 25"
  RATE=("")
  for code in $(seq 1 $K); do
    i=$((K + 1 - code))
    RATE[code]="$((EX + 550)) $((EY + (4 + 2 * (i - 1)) * 25)) 100 25"
  done
  GAPS=()
  for i in $(seq 1 $K); do
    GAPS+=("$((EX + 550)) $((EY + (5 + 2 * (i - 1)) * 25)) 100 25")
  done
  EXP_BUTTONS=("$GO" "$EXPEXIT")
  for code in $(seq $K -1 1); do EXP_BUTTONS+=("${RATE[code]}"); done
}
GO_SCREEN=PPAAAAAA RATING_SCREEN=AAPPPPPP END_SCREEN=APAAAAAA

# -------------------------------------------------------------- the start --

trials_csv="$shots/trials.csv"
"$app" --design "$design_file" --observer "$observer" --csv "$trials_csv" --seed "$SEED" >"$shots/app.log" 2>&1 &
app_pid=$!
note "started $app --design (pid $app_pid)"

MAIN_WIN=$(window_of Form1 15000) || fail "no main window (Form1) within 15 s"
layout_main
wait_until "the main window (Do Exp, Exit; no Disp. Data)" 15000 main \
  buttons_are PPA "$DOEXP" "$MAINEXIT" "$DISPDATA"
click "$DOEXP"

EXP_WIN=$(window_of 'FormDisp.*') || fail "no experiment window (FormDisp) within 10 s"
title=$(xdotool getwindowname "$EXP_WIN")
[[ $title == *"$design_name"* ]] || fail "the experiment window's title \"$title\" does not name the design"
layout_exp
note "experiment window \"$title\" at ($EX, $EY)"
start_probe

wait_until "the experiment window's GO screen" 5000 exp exp_buttons_are $GO_SCREEN
[ "$(cut -d' ' -f2 <<<"$look")" = none ] || fail "the GO screen shows grid colours ($look)"

# ------------------------------------------------------------ the trials --

# Answers by kind in order, the practice ones included: noise mostly low,
# signal mostly high, every code used and the kinds overlapping, so that the
# five points spread out and the fit has a finite maximum.
noise_codes=(2 1 2 3 1 4 2 1 3)
signal_codes=(5 6 5 4 6 3 5 6 4)
n_signal=0 n_noise=0
answers=()      # "kind code" per trial; kind 1 = signal, 0 = noise
grids_seen=()   # brown cells counted on the screen, when the screenshot caught the grid
shortest=999999 longest=0
log="$shots/trials.log"

for trial in $(seq 1 $TOTAL); do
  alive
  from=$(probe_lines)
  if [ $((trial % 2)) = 1 ]; then
    click "$GO"
    how_go=mouse
  else
    space "trial $trial, the GO screen"
    how_go=Space
  fi

  probe_wait "trial $trial: the grid after GO" "$from" grid 10000
  read -r t_on _ _ brown <<<"$probe_line"
  grid_at=$probe_at
  case $brown in
    "$NOISE_BROWN") kind=0 ;;
    "$SIGNAL_BROWN") kind=1 ;;
    *) fail "trial $trial: the X server drew $brown brown cells ($NOISE_BROWN or $SIGNAL_BROWN expected)" ;;
  esac
  # The screen while the grid shows. On a loaded machine the screenshot may
  # come after the grid has gone, even after the rating screen is up; a grid
  # it catches must be the probe's.
  shot "t$trial-grid"
  look=$(exp_look "$last")
  case $look in
    "AAAAAAAA grid $brown") grids_seen+=("$brown") ;;
    "AAAAAAAA grid "*) fail "trial $trial: the screen shows a grid of ${look##* } brown cells, the X server drew $brown" ;;
    "AAAAAAAA none "* | "$RATING_SCREEN none "*) ;;
    *) fail "trial $trial: while the grid shows, the screen has: $look" ;;
  esac

  probe_wait "trial $trial: the end of the grid" "$grid_at" '!grid' 10000
  read -r t_off _ state _ <<<"$probe_line"
  [ "$state" = none ] || fail "trial $trial: after the grid the picture showed: $probe_line"
  visible=$(awk -v a="$t_on" -v b="$t_off" 'BEGIN { printf "%.0f", b - a }')
  if [ "$visible" -lt "$EXPOSURE_MIN" ] || [ "$visible" -gt "$EXPOSURE_MAX" ]; then
    fail "trial $trial: the grid was on the screen $visible ms (300 asked; $EXPOSURE_MIN..$EXPOSURE_MAX accepted)"
  fi
  [ "$visible" -lt "$shortest" ] && shortest=$visible
  [ "$visible" -gt "$longest" ] && longest=$visible

  wait_until "trial $trial: the rating screen" 5000 "t$trial-rating" exp_buttons_are $RATING_SCREEN
  [ "$(cut -d' ' -f2 <<<"$look")" = none ] || fail "trial $trial: the rating screen shows grid colours ($look)"
  if [ "$trial" = 1 ]; then
    # Nothing between the rating buttons nor below the last; a caption on each.
    gaps=$(buttons "$last" "${GAPS[@]}")
    [ "$gaps" = AAAAAA ] || fail "a button where the rating buttons leave a gap (tops 125, 175, ... 375: $gaps)"
    for code in $(seq 1 $K); do
      read -r x y w h <<<"${RATE[code]}"
      n=$(dark_pixels "$last" "$((x + 4)) $((y + 4)) $((w - 8)) $((h - 8))")
      [ "$n" -ge 20 ] || fail "the rating button of code $code has no caption ($n dark pixels)"
    done
    note "rating screen: six buttons at tops 100, 150, ... 350, each with a caption"
  fi

  if [ "$kind" = 1 ]; then
    code=${signal_codes[n_signal % ${#signal_codes[@]}]}
    n_signal=$((n_signal + 1))
  else
    code=${noise_codes[n_noise % ${#noise_codes[@]}]}
    n_noise=$((n_noise + 1))
  fi
  if [ $((trial / 2 % 2)) = 1 ]; then
    press "$code" "trial $trial, the rating screen"
    how_rate=key
  else
    click "${RATE[code]}"
    how_rate=click
  fi
  answers+=("$kind $code")
  echo "trial $trial: GO by $how_go, brown $brown, grid drawn $visible ms, code $code by $how_rate" >>"$log"

  if [ "$trial" -lt "$TOTAL" ]; then
    sleep 0.05
    wait_until "trial $trial: the GO screen after the answer" 3000 "t$trial-go" exp_buttons_are $GO_SCREEN
  fi
done
note "$TOTAL trials: $n_signal signal, $n_noise noise; the grid was drawn for ${shortest}..${longest} ms"
# Both patterns seen on the screen at least once.
for want in "$NOISE_BROWN" "$SIGNAL_BROWN"; do
  printf '%s\n' "${grids_seen[@]}" | grep -qx "$want" ||
    fail "no screenshot caught a grid of $want brown cells (caught: ${grids_seen[*]:-none})"
done
note "grids on the screen: ${#grids_seen[@]} of $TOTAL caught, brown cells ${grids_seen[*]}"

# ------------------------------------------------------- the end screen --

wait_until "the end screen (only Exit, at its place)" 3000 end exp_buttons_are $END_SCREEN
click "$EXPEXIT"
for _ in $(seq 50); do
  mapped "$EXP_WIN" || break
  sleep 0.1
done
mapped "$EXP_WIN" && fail "the experiment window is still on the screen 5 s after Exit"
kill "$probe_pid" 2>/dev/null
wait "$probe_pid" 2>/dev/null
probe_pid=""
note "end screen: only Exit; Exit closed the window"

# ------------------------------------------------------ the per-trial file --

[ "$(head -n1 "$trials_csv")" = "session,observer,design,categories,design_recorded,seed,trial,phase,stimulus,response,exposure_ms,asked_ms,frame_ms,rating_ms" ] ||
  fail "the per-trial file does not start with the class header: $(head -n1 "$trials_csv")"
[ "$(wc -l <"$trials_csv")" = $((TOTAL + 1)) ] ||
  fail "the per-trial file has $(wc -l <"$trials_csv") lines, $((TOTAL + 1)) expected"
expected=$(printf '%s\n' "${answers[@]}" | awk -v p="$PRACTICE" \
  '{ print (NR <= p ? "practice" : "recorded"), ($1 == 1 ? "signal" : "noise"), $2 }')
logged=$(awk -F, 'NR > 1 { print $8, $9, $10 }' "$trials_csv")
[ "$logged" = "$expected" ] || fail "the phases, stimuli and responses of the per-trial file differ from the answers given"
awk -F, -v o="$observer" -v d="$design_name" -v k="$K" -v r="$RECORDED" -v s="$SEED" -v lo="$EXPOSURE_MIN" \
  -v hi="$EXPOSURE_MAX" \
  'NR > 1 && ($2 != o || $3 != d || $4 != k || $5 != r || $6 != s || $7 != NR - 1 || $11 < lo || $11 > hi ||
              $12 < 250 || $12 > 350) { bad = 1 }
   END { exit bad }' "$trials_csv" ||
  fail "a row of the per-trial file has the wrong observer, design, categories, recorded trials, seed, trial number, exposure or exposure aimed at"
note "per-trial file: class header, $TOTAL rows as answered"

# ------------------------------------------------------------ --fit --

"$app" --fit "$trials_csv" >"$shots/fit.csv" 2>"$shots/fit.err" || fail "--fit failed: $(cat "$shots/fit.err")"
[ "$(wc -l <"$shots/fit.csv")" = 2 ] || fail "--fit printed $(wc -l <"$shots/fit.csv") lines, a header and one session expected"
criteria=$(head -n1 "$shots/fit.csv" | tr , '\n' | grep -E '^c[0-9]+(_se)?$' | paste -sd,)
[ "$criteria" = c1,c1_se,c2,c2_se,c3,c3_se,c4,c4_se,c5,c5_se ] || fail "--fit's criteria columns are $criteria"
head -n1 "$shots/fit.csv" | grep -q '^file,session,observer,design,' || fail "--fit does not print observer and design after session"
fitted=$(sed -n 2p "$shots/fit.csv")
[ "$(cut -d, -f3,4 <<<"$fitted")" = "$observer,$design_name" ] || fail "--fit's session is not this observer's and design's: $fitted"
[ "$(awk -F, '{ print $(NF - 1) }' <<<"$fitted")" = ok ] || fail "--fit found no finite maximum for the answers given: $fitted"
[ "${fitted##*,}" = complete ] || fail "--fit takes the whole run for a broken-off one: $fitted"
note "--fit: c1..c5 with their SEs, status ok, the run complete"

# -------------------------------------------------------------- the plot --

wait_until "the main window (Disp. Data, Exit; no Do Exp)" 3000 main2 \
  buttons_are APP "$DOEXP" "$MAINEXIT" "$DISPDATA"
click "$DISPDATA"
ROC_WIN=$(window_of DispGraph2) || fail "no ROC window (DispGraph2) within 10 s"
layout_roc $((K - 1))
wait_until "the ROC window with $((K + 1)) rows of step buttons" 5000 roc \
  buttons_are PPPPPPPPP "$DISP" "$ROCEXIT" "${step_buttons[@]}"
click "$DISP"
wait_until "the plot" 3000 plot plot_drawn
dump="$shots/plot.txt"
plot_dump "$last" "$dump"

# Point p from the recorded answers: the rates of codes p + 1 and above.
recorded=$(printf '%s\n' "${answers[@]}" | tail -n "$RECORDED")
N=$(grep -c '^0 ' <<<"$recorded")
S=$(grep -c '^1 ' <<<"$recorded")
if [ "$N" = 0 ] || [ "$S" = 0 ]; then
  fail "the recorded trials are all of one kind (noise $N, signal $S): choose another seed"
fi
point_colours=("" "0,128,0" "128,0,0" "255,0,0" "128,0,128" "0,128,128")
for p in $(seq 1 $((K - 1))); do
  fa=$(awk -v c=$((p + 1)) '$1 == 0 && $2 >= c { n++ } END { print n + 0 }' <<<"$recorded")
  hit=$(awk -v c=$((p + 1)) '$1 == 1 && $2 >= c { n++ } END { print n + 0 }' <<<"$recorded")
  X=$((40 + $(scaled "$fa" "$N")))
  Y=$((460 - $(scaled "$hit" "$S")))
  hits=$(circle_hits "$dump" "$X" "$Y" "${point_colours[p]}")
  [ "$hits" -ge 5 ] || fail "point $p: no circle in ${point_colours[p]} at ($X, $Y) in the plot ($hits of 8 outline probes)"
  note "point $p: ${point_colours[p]} circle at ($X, $Y) ($fa of $N noise, $hit of $S signal; $hits of 8 outline probes)"
done

# ---------------------------------------------------- the analysis window --

focus=$(xdotool getwindowfocus 2>/dev/null)
[ "$focus" = "$ROC_WIN" ] || fail "Ctrl+F: the ROC window does not have the keyboard focus (window $focus has)"
xdotool key ctrl+f
ANA_WIN=$(window_of 最尤推定) || fail "Ctrl+F opened no window 最尤推定 within 10 s"
read -r AX AY <<<"$(origin_of "$ANA_WIN")"
read -r AW AH < <(xwininfo -id "$ANA_WIN" | awk '/^ +Width:/ { w = $2 } /^ +Height:/ { h = $2 } END { print w, h }')
if [ "$AW" -lt 300 ] || [ "$AH" -lt 300 ] || [ $((AX + AW)) -gt 1024 ] || [ $((AY + AH)) -gt 768 ]; then
  fail "the analysis window is ${AW}x$AH at ($AX, $AY), not a readable window on the 1024x768 screen"
fi
analysis_shown() { # text in the window's area
  seen=$(dark_pixels "$1" "$AX $AY $AW $AH")
  [ "$seen" -ge 500 ]
}
wait_until "the analysis window's text" 5000 analysis analysis_shown
note "analysis window: ${AW}x$AH at ($AX, $AY), $seen dark pixels of text"

# --------------------------------------------------------------- the end --

click "$ROCEXIT"
app_ends_after Exit
note "Exit: the program ended with code 0"

passed=1
note "PASS"
