#!/bin/bash
# Usage (from the top folder, under a display):
#   xvfb-run -a -s "-screen 0 1024x768x24" bench/startup-time.sh [RUNS]
# Wall-clock time from exec until the main window is viewable and the memory in use
# then (resident set), for pelmora --no-splash and for an empty Qt Widgets window
# (build/bin/bench_empty_window) started alternately in the same run; medians and the
# ratio pelmora / empty.
runs="${1:-7}"
bin="${BIN:-build/bin}"
export XDG_RUNTIME_DIR="$(mktemp -d)"
measure() {  # measure TITLE PROGRAM ARGS... -> "ms kB"
  local title="$1"; shift
  local start end pid rss
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 &
  pid=$!
  for i in $(seq 1 1000); do
    xwininfo -name "$title" 2>/dev/null | grep -q IsViewable && break
    sleep 0.005
  done
  end=$(date +%s%N)
  rss=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
  kill $pid; wait $pid 2>/dev/null
  echo "$(( (end - start) / 1000000 )) $rss"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# The window title as the program itself gives it.
title=$("$bin/pelmora-calc" --json | sed -n 's/^  "title": "\(.*\)",$/\1/p')
: >"$XDG_RUNTIME_DIR/p" ; : >"$XDG_RUNTIME_DIR/e"
for run in $(seq 1 "$runs"); do
  measure "$title" "$bin/pelmora" --no-splash >>"$XDG_RUNTIME_DIR/p"
  measure "empty-yardstick" "$bin/bench_empty_window" empty-yardstick >>"$XDG_RUNTIME_DIR/e"
done
pt=$(cut -d' ' -f1 "$XDG_RUNTIME_DIR/p" | median); pm=$(cut -d' ' -f2 "$XDG_RUNTIME_DIR/p" | median)
et=$(cut -d' ' -f1 "$XDG_RUNTIME_DIR/e" | median); em=$(cut -d' ' -f2 "$XDG_RUNTIME_DIR/e" | median)
echo "pelmora:      median $pt ms to a viewable window, $((pm / 1024)) MB resident ($runs runs)"
echo "empty window: median $et ms to a viewable window, $((em / 1024)) MB resident"
awk -v a="$pt" -v b="$et" -v c="$pm" -v d="$em" 'BEGIN {printf "ratio: time %.2f, memory %.2f\n", a / b, c / d}'
rm -rf "$XDG_RUNTIME_DIR"
