#!/usr/bin/env bash
# windowed_cpu.sh GAME [SECONDS]: the game's CPU share of one core while it idles in its window under
# Xvfb, once for each way of presenting (window surface, streaming texture), beside the present-only
# floor program, all three running at the same time; prints each share and the ratios game / floor.
# The floor shares the first display with the surface game (side by side, not overlapping); the
# texture game has the second display. VELMORA_BENCH_DISPLAYS picks the two display numbers;
# VELMORA_BENCH_GAME_ENV adds settings to both games (e.g. VELMORA_FULL_REDRAW=1);
# VELMORA_BENCH_GAME_SIZE=WxH resizes both game windows (needs xdotool), so that they scale.
set -u
game=$(readlink -f "$1"); secs=${2:-20}
read -r d1 d2 <<<"${VELMORA_BENCH_DISPLAYS:-71 72}"
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
floor=$work/present_floor
gcc -O2 "$here/present_floor.c" -o "$floor" $(pkg-config --cflags --libs sdl2) || exit 2
# A wide first screen: the floor at its left edge, the game centred (x 1310 to 2590).
Xvfb ":$d1" -screen 0 3900x800x24 -nolisten tcp >/dev/null 2>&1 & x1=$!
Xvfb ":$d2" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 & x2=$!
sleep 1.5
mkdir -p "$work/h1" "$work/h2"
extra=${VELMORA_BENCH_GAME_ENV:-}
env $extra DISPLAY=:$d1 HOME=$work/h1 VELMORA_PRESENT=surface "$game" --seconds $((secs + 8)) --db "$work/g1.db" \
  >"$work/g1.log" 2>&1 & g1=$!
env $extra DISPLAY=:$d2 HOME=$work/h2 VELMORA_PRESENT=texture "$game" --seconds $((secs + 8)) --db "$work/g2.db" \
  >"$work/g2.log" 2>&1 & g2=$!
DISPLAY=:$d1 "$floor" $((secs + 8)) 0 >/dev/null 2>&1 & f=$!
sleep 6
if [[ -n ${VELMORA_BENCH_GAME_SIZE:-} ]]; then
  for pair in "$d1 $g1" "$d2 $g2"; do
    read -r d p <<<"$pair"
    for w in $(DISPLAY=:$d xdotool search --pid "$p" 2>/dev/null); do
      DISPLAY=:$d xdotool windowsize "$w" ${VELMORA_BENCH_GAME_SIZE/x/ }
    done
  done
  sleep 2
fi
ticks() { awk '{print $14+$15}' /proc/$1/stat 2>/dev/null || echo 0; }
a0=$(ticks $g1); b0=$(ticks $g2); f0=$(ticks $f)
sleep "$secs"
a1=$(ticks $g1); b1=$(ticks $g2); f1=$(ticks $f)
hz=$(getconf CLK_TCK)
kill $g1 $g2 $f 2>/dev/null; wait $g1 $g2 $f 2>/dev/null
kill $x1 $x2 2>/dev/null; wait $x1 $x2 2>/dev/null
python3 - "$a0" "$a1" "$b0" "$b1" "$f0" "$f1" "$hz" "$secs" <<'PY'
import sys
a0, a1, b0, b1, f0, f1, hz, s = map(float, sys.argv[1:])
share = lambda t0, t1: (t1 - t0) / hz / s * 100
a, b, f = share(a0, a1), share(b0, b1), share(f0, f1)
print(f"present-only floor {f:.1f}% of a core")
print(f"game, window surface {a:.1f}%, ratio {a / max(f, 0.1):.2f}")
print(f"game, streaming texture {b:.1f}%, ratio {b / max(f, 0.1):.2f}")
PY
