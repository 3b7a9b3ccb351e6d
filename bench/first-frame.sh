#!/usr/bin/env bash
# Time from the program's start to its first picture (the first frame of the
# logo), five starts on a private X server with a black root, and their
# median, in milliseconds. Give the load (uptime) with any figure.
#   bench/first-frame.sh [PROGRAM] [STARTS]    (default build/halvane, 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-$root/build/halvane}"
starts="${2:-5}"
work="$(mktemp -d)"
trap 'kill "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
c++ -O2 -o "$work/probe" "$root/bench/first-frame/Probe.cpp" -lX11
display=":$((200 + RANDOM % 200))"
Xvfb "$display" -screen 0 1024x768x24 -br -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
times=()
for i in $(seq "$starts"); do
  # A home of its own for each start: nothing saved by one start reaches the next.
  mkdir -p "$work/home$i"
  t="$(HOME="$work/home$i" XDG_CONFIG_HOME="$work/home$i/.config" XDG_DATA_HOME="$work/home$i/.local/share" \
       ALSOFT_DRIVERS=null DISPLAY="$display" "$work/probe" "$program" 2>>"$work/probe.log")"
  echo "start $i: $t ms"
  times+=("$t")
  sleep 1
done
median="$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
echo "median: $median ms ($(uptime | sed 's/.*load average/load average/'))"
