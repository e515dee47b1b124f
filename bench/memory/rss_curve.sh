#!/bin/bash
# Resident size of a headless velmora run with its built-in server, sampled over time.
#
#   bench/memory/rss_curve.sh VELMORA SECONDS [EVERY] [-- extra velmora options]
#
# Prints one line per sample: seconds since start, resident size, and the parts of it in
# the malloc heap, in font files and in anonymous mappings (all in kB). The database lives in
# a temporary folder removed at the end. Run it at low priority beside other work:
#   nice bench/memory/rss_curve.sh build/app/velmora/velmora 1800 10 > curve.txt
set -u
if [ $# -lt 2 ]; then
  echo "usage: $0 VELMORA SECONDS [EVERY] [-- extra velmora options]" >&2
  exit 2
fi
velmora=$1 seconds=$2 every=${3:-10}
shift 2
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$velmora" --headless --seconds "$seconds" --db "$dir/game.db" "$@" > "$dir/out.log" 2>&1 &
pid=$!
start=$(date +%s)
echo "# seconds rss_kB heap_kB fonts_kB anon_kB"
while kill -0 "$pid" 2> /dev/null; do
  line=$(awk '/^[0-9a-f]+-[0-9a-f]+ /{name=$6}
    /^Rss:/{ t+=$2; if (name=="[heap]") h+=$2; else if (name ~ /\/fonts\//) f+=$2; else if (name=="") a+=$2 }
    END { if (t) print t, h+0, f+0, a+0 }' "/proc/$pid/smaps" 2> /dev/null)
  [ -n "$line" ] && echo "$(( $(date +%s) - start )) $line"
  sleep "$every"
done
wait "$pid"
status=$?
echo "# velmora exit status $status"
exit $status
