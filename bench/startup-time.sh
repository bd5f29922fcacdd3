#!/bin/bash
# Usage (from the top folder, under a display):
#   xvfb-run -a -s "-screen 0 1024x768x24" bench/startup-time.sh [RUNS]
# Wall-clock time from exec until the X server maps the main window, and the memory in
# use then (resident set), for pelmora --no-splash and for an empty Qt Widgets window
# (build/bin/bench_empty_window) started alternately in the same run; medians and the
# ratio pelmora / empty. For context, the same window with one Chinese caption is timed
# too: the part of the ratio that any window with text pays. The clock
# (build/bin/startup_clock) waits for the map event rather than polling, so it takes no
# processor time from the program it measures.
runs="${1:-15}"
bin="${BIN:-build/bin}"
export XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_STATE_HOME="$XDG_RUNTIME_DIR/state" XDG_CONFIG_HOME="$XDG_RUNTIME_DIR/config"
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# The window title as the program itself gives it.
title=$("$bin/pelmora-calc" --json | sed -n 's/^  "title": "\(.*\)",$/\1/p')
: >"$XDG_RUNTIME_DIR/p" ; : >"$XDG_RUNTIME_DIR/e" ; : >"$XDG_RUNTIME_DIR/c"
for run in $(seq 1 "$runs"); do
  "$bin/startup_clock" "$title" "$bin/pelmora" --no-splash >>"$XDG_RUNTIME_DIR/p" || exit 1
  "$bin/startup_clock" "empty-yardstick" "$bin/bench_empty_window" empty-yardstick >>"$XDG_RUNTIME_DIR/e" || exit 1
  "$bin/startup_clock" "caption-yardstick" "$bin/bench_empty_window" caption-yardstick --caption \
    >>"$XDG_RUNTIME_DIR/c" || exit 1
done
pt=$(cut -d' ' -f1 "$XDG_RUNTIME_DIR/p" | median); pm=$(cut -d' ' -f2 "$XDG_RUNTIME_DIR/p" | median)
et=$(cut -d' ' -f1 "$XDG_RUNTIME_DIR/e" | median); em=$(cut -d' ' -f2 "$XDG_RUNTIME_DIR/e" | median)
ct=$(cut -d' ' -f1 "$XDG_RUNTIME_DIR/c" | median)
echo "pelmora:      median $pt ms to a mapped window, $((pm / 1024)) MB resident ($runs runs)"
echo "empty window: median $et ms to a mapped window, $((em / 1024)) MB resident"
echo "with one Chinese caption: median $ct ms"
awk -v a="$pt" -v b="$et" -v c="$pm" -v d="$em" -v e="$ct" \
  'BEGIN {printf "ratio: time %.2f, memory %.2f; against the captioned window: time %.2f\n", a / b, c / d, a / e}'
rm -rf "$XDG_RUNTIME_DIR"
