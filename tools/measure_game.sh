#!/usr/bin/env bash
# Measures the real game under Xvfb: processor use at the title screen and in
# play, and the spacing of the frames shown in play.
#
#   tools/measure_game.sh [BUILD_FOLDER] [SECONDS]    (defaults: build, 10)
#
# SCREEN (default 1024x768) sets the X server's screen, GAME_ARGS the game's
# options, so the scaled presentation can be measured too, for example
#   SCREEN=2560x1600 tools/measure_game.sh                 (scale 2)
#   SCREEN=2560x1600 GAME_ARGS=--fill tools/measure_game.sh
#
# Run it after `make build`. It starts a private Xvfb, runs a copy of the
# game's program folder with VORLAX_FRAME_LOG set, waits SECONDS at the title
# screen, presses F2 and waits SECONDS in play with no key held, then quits
# with Esc. Processor use is the change of utime + stime in /proc/PID/stat over
# each span, as a share of one core; the X server's share is shown beside it
# because every frame the game shows is copied by the server too.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
span=${2:-10}
screen=${SCREEN:-1024x768}
read -r -a game_args <<<"${GAME_ARGS:-}"
[[ $build = /* ]] || build=$PWD/$build

for tool in Xvfb xdotool xwininfo awk; do
    command -v "$tool" >/dev/null || { echo "error: $tool is not installed" >&2; exit 1; }
done
[[ -x $build/vorlax ]] || { echo "error: no game at $build/vorlax; run make build" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vorlax-measure-XXXXXX")
xvfb_pid=
game_pid=
cleanup() {
    [[ -n $game_pid ]] && kill -KILL "$game_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill -TERM "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A private copy of the program folder, so the build's Hiscore.txt is never touched.
mkdir "$work/game"
cp "$build/vorlax" "$build"/*.bmp "$build/Hiscore.txt" "$work/game/"
cp "$build"/LiberationSans-*.ttf "$work/game/" 2>/dev/null || true

# Xvfb picks a free display itself and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [[ -s $work/display ]] && break; sleep 0.05; done
[[ -s $work/display ]] || { echo "error: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

VORLAX_FRAME_LOG=$work/frames.log SDL_VIDEODRIVER=x11 "$work/game/vorlax" "${game_args[@]}" \
    >"$work/game.out" 2>"$work/game.err" &
game_pid=$!

window=
for _ in $(seq 400); do
    window=$(xwininfo -root -tree | awk '/"VORLAX": / {print $1; exit}')
    [[ -n $window ]] && xwininfo -id "$window" | grep -q IsViewable && break
    window=
    sleep 0.05
done
[[ -n $window ]] || { echo "error: the game's window did not appear" >&2; cat "$work/game.err" >&2; exit 1; }
xdotool windowfocus "$window"
echo "window:         $(xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}') on a $screen screen"

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of a process in clock ticks (fields 14 and 15; the name in
# field 2 may hold blanks, so count from the closing parenthesis).
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
now() { date +%s.%N; }
# Share of one core, in per cent, of both processes over `span` seconds.
measure() {
    local g0 x0 t0 g1 x1 t1
    g0=$(cpu_ticks "$game_pid") x0=$(cpu_ticks "$xvfb_pid") t0=$(now)
    sleep "$span"
    g1=$(cpu_ticks "$game_pid") x1=$(cpu_ticks "$xvfb_pid") t1=$(now)
    awk -v g="$((g1 - g0))" -v x="$((x1 - x0))" -v t0="$t0" -v t1="$t1" -v hz="$ticks_per_second" \
        'BEGIN { s = t1 - t0; printf "game %5.1f %%   Xvfb %5.1f %%   (over %.1f s)\n", 100 * g / hz / s, 100 * x / hz / s, s }'
}
hold_key() { xdotool keydown "$1"; sleep 0.08; xdotool keyup "$1"; }

sleep 1  # let the title screen settle
printf 'title screen:  '
measure

hold_key F2
sleep 1  # the first frames of a game
printf 'play:          '
measure

hold_key Escape
for _ in $(seq 300); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
status=0
wait "$game_pid" || status=$?
game_pid=
[[ $status -eq 0 ]] || echo "warning: the game ended with status $status: $(cat "$work/game.err")" >&2

# The log is complete once the game has ended. The last frame came just
# before Esc, so the frames of the last `span` seconds are the play span.
frames=$work/frames.log
[[ -s $frames ]] || { echo "error: the game wrote no frame log" >&2; exit 1; }
awk -v span="$span" '{ t[NR] = $1 } END {
        first = NR; while (first > 1 && t[NR] - t[first - 1] <= span * 1e6) first--
        for (i = first + 1; i <= NR; i++) printf "%.3f\n", (t[i] - t[i - 1]) / 1000
    }' "$frames" | sort -n >"$work/spacing"
n=$(wc -l <"$work/spacing")
[[ $n -gt 10 ]] || { echo "error: only $n frames in play" >&2; exit 1; }
awk -v n="$n" -v span="$span" '
    function at(p,   i) { i = int(p * (n - 1) + 0.5) + 1; return v[i] }
    { v[NR] = $1; sum += $1 }
    END {
        printf "frames in play: %d in the last %s s (%.1f per second)\n", n + 1, span, n / (sum / 1000)
        printf "frame spacing:  median %.2f ms   5th pct %.2f ms   95th pct %.2f ms   max %.2f ms   mean %.2f ms\n",
            at(0.5), at(0.05), at(0.95), v[n], sum / n
    }' "$work/spacing"
echo "machine:        $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p')"
