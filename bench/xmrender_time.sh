#!/usr/bin/env bash
# xmrender's whole-process time against a small libxmp program writing the same WAV: each
# renders SECONDS of SONG RUNS times, taking turns; the fastest run of each counts, by the
# wall clock and by CPU time (user + system), as other work on the machine only slows a run.
# usage: bench/xmrender_time.sh BUILD_DIR SONG.xm [SECONDS] [RUNS]
set -euo pipefail
build=$1
song=$2
seconds=${3:-300}
runs=${4:-5}
if [ ! -x "$build/libxmp_wav" ]; then
  echo "xmrender_time: $build/libxmp_wav is not built (needs libxmp-dev)"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints "WALL CPU" of one run of the command, in seconds.
one_run() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}

best_wall=(9e9 9e9)
best_cpu=(9e9 9e9)
for ((i = 0; i < runs; i++)); do
  k=0
  for tool in xmrender libxmp; do
    if [ $tool = xmrender ]; then
      read -r wall cpu < <(one_run "$build/xmrender" "$song" "$work/out.wav" --seconds "$seconds")
    else
      read -r wall cpu < <(one_run "$build/libxmp_wav" "$song" "$work/out.wav" "$seconds")
    fi
    best_wall[k]=$(awk -v a="$wall" -v b="${best_wall[k]}" 'BEGIN { print (a < b ? a : b) }')
    best_cpu[k]=$(awk -v a="$cpu" -v b="${best_cpu[k]}" 'BEGIN { print (a < b ? a : b) }')
    rm -f "$work/out.wav"
    k=$((k + 1))
  done
done
printf '\n%s seconds of %s, whole process, fastest of %d runs\n' "$seconds" "$(basename "$song")" "$runs"
printf '%-10s %10s %10s\n' tool "wall (s)" "cpu (s)"
printf '%-10s %10.3f %10.3f\n' xmrender "${best_wall[0]}" "${best_cpu[0]}"
printf '%-10s %10.3f %10.3f\n' libxmp "${best_wall[1]}" "${best_cpu[1]}"
awk -v xw="${best_wall[0]}" -v xc="${best_cpu[0]}" -v lw="${best_wall[1]}" -v lc="${best_cpu[1]}" \
  'BEGIN { printf "%-10s %9.2fx %9.2fx\n", "ratio", lw / xw, lc / xc }'
