#!/usr/bin/env bash
# Instructions per voice-sample of one vorlix-bench case, counted by callgrind: a figure that
# does not move with machine load. Two renders (100 and 600 blocks after the same one-second
# warm-up) are counted inside processReplacingT only; their difference covers 500 blocks of 64
# samples with 10 voices in the steady state.
#   bench/callgrind-per-voice-sample.sh [saw|heavy|pink|tail] [build dir] [precise]
# ("precise": with the precise oscillators)
set -euo pipefail
case="${1:-heavy}"
build="${2:-build}"
mode=()
[ "${3:-}" = precise ] && mode=(--precise)
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
count() {
  valgrind --tool=callgrind --callgrind-out-file="$tmp/cg.$1" --toggle-collect='*processReplacingT*' \
    "$build/vorlix-bench" --render="$case" --blocks="$1" "${mode[@]}" >/dev/null 2>&1
  callgrind_annotate "$tmp/cg.$1" | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
}
short="$(count 100)"
long="$(count 600)"
awk -v a="$short" -v b="$long" -v c="$case" \
  'BEGIN { printf "%s: %.1f instructions per voice-sample (%d instructions over 320000 voice-samples)\n", c, (b - a) / 320000, b - a }'
