#!/bin/bash
# Usage (from the top folder, under a display): xvfb-run -a bench/startup-time.sh [PROGRAM]
# Wall-clock time from exec of pelmora --no-splash until its main window is viewable,
# and the CPU time the program used until then.
# The window title as the program itself gives it.
calc="$(dirname "${1:-build/bin/pelmora}")/pelmora-calc"
title=$("$calc" --json | sed -n 's/^  "title": "\(.*\)",$/\1/p')
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  "${1:-build/bin/pelmora}" --no-splash &
  pid=$!
  for i in $(seq 1 200); do
    sleep 0.02
    xwininfo -name "$title" 2>/dev/null | grep -q IsViewable && break
  done
  end=$(date +%s%N); read -a st < /proc/$pid/stat; cpu=$(( (st[13] + st[14]) * 10 ))
  echo "run $run: $(( (end - start) / 1000000 )) ms wall (20 ms polling), ${cpu} ms cpu"
  kill $pid; wait $pid 2>/dev/null
done
