#!/bin/bash
# CPU of a steady headless frame of two velmora builds side by side, in cold screen copies.
#
#   bench/frame/steady_frame.sh BEFORE_VELMORA AFTER_VELMORA SERVER COLDCOPY [RUNS]
#
# One velmora-server with 8 simulated players; in each run both clients play against it at the
# same time (they see the same game), 300 frames and then 3000 frames each, the one started
# first swapped between runs. The steady frame is the CPU (user + system) of the 2700 frames
# between the two lengths; COLDCOPY (gcc -O2 ../shared/bench/coldcopy.c) is measured after
# each run. Prints one line per run: ms a frame and cold copies for each client.
set -eu
if [ $# -lt 4 ]; then
  echo "usage: $0 BEFORE_VELMORA AFTER_VELMORA SERVER COLDCOPY [RUNS]" >&2
  exit 2
fi
before=$1 after=$2 server=$3 coldcopy=$4 runs=${5:-4}
dir=$(mktemp -d)
trap 'kill "$spid" 2> /dev/null; rm -rf "$dir"' EXIT
"$server" --port 0 --bots 8 --db :memory: --plain --fast-sync > "$dir/server.log" 2>&1 &
spid=$!
port=
for _ in $(seq 50); do
  port=$(sed -n 's/.*listening on [^:]*:\([0-9]*\).*/\1/p' "$dir/server.log")
  [ -n "$port" ] && break
  sleep 0.2
done
[ -n "$port" ] || { echo "server did not start" >&2; exit 1; }
echo "steady-frame-bench" > "$dir/pw"
# CPU seconds of one client run of n frames.
client() {  # binary name frames
  /usr/bin/time -f '%U %S' -o "$dir/$2.$3.time" "$1" --connect "127.0.0.1:$port" --plain \
    --password-file "$dir/pw" --headless --frames "$3" --name "$2" > /dev/null 2>&1
}
cpu() { awk '{ print $1 + $2 }' "$dir/$1.time"; }
echo "# run before_ms before_copies after_ms after_copies coldcopy_ms"
for run in $(seq "$runs"); do
  for n in 300 3000; do
    if [ $((run % 2)) -eq 1 ]; then
      client "$before" sfb "$n" & first=$!; sleep 1; client "$after" sfa "$n" & second=$!
    else
      client "$after" sfa "$n" & first=$!; sleep 1; client "$before" sfb "$n" & second=$!
    fi
    wait "$first" "$second"  # not the server
  done
  copy=$("$coldcopy" | grep -o '[0-9.]*' | head -1)
  b=$(echo "$(cpu sfb.3000) $(cpu sfb.300)" | awk '{ printf "%.3f", ($1 - $2) / 2700 * 1000 }')
  a=$(echo "$(cpu sfa.3000) $(cpu sfa.300)" | awk '{ printf "%.3f", ($1 - $2) / 2700 * 1000 }')
  echo "$run $b $(awk -v f="$b" -v c="$copy" 'BEGIN { printf "%.2f", f / c }') $a $(awk -v f="$a" -v c="$copy" 'BEGIN { printf "%.2f", f / c }') $copy"
done
