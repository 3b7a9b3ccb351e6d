#!/usr/bin/env bash
# The menu's CPU beside a peer game's menu, side by side in one run on the
# same private X server and the same software renderer (Mesa's llvmpipe):
# each program in a 640 x 480 window, all showing their menu, sound to
# OpenAL's null output; the CPU of each process (all its threads) over the
# same interval, from utime + stime in /proc/PID/stat, in % of one core.
# The peer is Debian's chromium-bsu (apt-get install chromium-bsu), started
# windowed at 640 x 480; it opens on its menu. Each Halvane given (several,
# to set builds side by side) reaches its menu by itself once the logo and
# the title have run; its input trace tells when the menu takes input (at
# most SETTLE seconds, default 120), and the measure starts a few seconds
# after the last one did, the fade-in done.
#   bench/peer-menu.sh [SECONDS] [PROGRAM...]   (default 20, build/halvane)
# Give the load (printed) with any figure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
programs=("$@")
[ "${#programs[@]}" -gt 0 ] || programs=("$root/build/halvane")
settle="${SETTLE:-120}"
peer="${PEER:-/usr/games/chromium-bsu}"
[ -x "$peer" ] || { echo "no peer at $peer (apt-get install chromium-bsu)" >&2; exit 1; }
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")" LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null SDL_VIDEODRIVER=x11
export HALVANE_DIALOGS=stderr

ours=()
for i in "${!programs[@]}"; do
  home="$work/home$i"
  mkdir -p "$home"
  HALVANE_TRACE_INPUT=1 HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    "${programs[$i]}" >"$work/halvane$i.log" 2>&1 &
  ours+=($!)
  pids+=($!)
done
mkdir -p "$work/peer"
HOME="$work/peer" "$peer" -w -v 1 >"$work/peer.log" 2>&1 &
theirs=$!
pids+=("$theirs")

for i in "${!programs[@]}"; do
  for _ in $(seq $((settle * 10))); do
    grep -q "ready main screen" "$work/halvane$i.log" && break
    sleep 0.1
  done
  grep -q "ready main screen" "$work/halvane$i.log" || {
    echo "${programs[$i]}: the menu did not show in ${settle} s" >&2
    exit 1
  }
done
sleep 3

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz="$(getconf CLK_TCK)"
before=()
for p in "${ours[@]}" "$theirs"; do before+=("$(ticks "$p")"); done
sleep "$seconds"
after=()
for p in "${ours[@]}" "$theirs"; do after+=("$(ticks "$p")"); done
percent() { awk -v d="$(($2 - $1))" -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%5.1f", 100 * d / hz / s}'; }
echo "CPU over the same ${seconds} s, in % of one core:"
for i in "${!programs[@]}"; do echo "  $(percent "${before[$i]}" "${after[$i]}") %  ${programs[$i]} (menu)"; done
n="${#programs[@]}"
echo "  $(percent "${before[$n]}" "${after[$n]}") %  $peer (menu)"
echo "($(uptime | sed 's/.*load average/load average/'))"
