#!/usr/bin/env bash
# The menu's CPU beside a peer game's menu, side by side in one run on the
# same private X server and the same software renderer (Mesa's llvmpipe):
# each program in a 640 x 480 window, both showing their menu, sound to
# OpenAL's null output; the CPU of each process (all its threads) over the
# same interval, from utime + stime in /proc/PID/stat, in % of one core.
# The peer is Debian's chromium-bsu (apt-get install chromium-bsu), started
# windowed at 640 x 480; it opens on its menu. Halvane reaches its menu by
# itself once the logo and the title have run; its input trace tells when
# the menu takes input (at most SETTLE seconds, default 180), and the
# measure starts a few seconds later, the fade-in done. One Halvane a run:
# only the program in front takes input, so to set two builds side by side,
# run the script for each, the peer being the yardstick of both.
#   bench/peer-menu.sh [PROGRAM] [SECONDS]   (default build/halvane, 20)
# Give the load (printed) with any figure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-$root/build/halvane}"
seconds="${2:-20}"
settle="${SETTLE:-180}"
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

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")" LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null SDL_VIDEODRIVER=x11
export HALVANE_DIALOGS=stderr

mkdir -p "$work/home" "$work/peer"
HALVANE_TRACE_INPUT=1 HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  "$program" >"$work/halvane.log" 2>&1 &
ours=$!
pids+=("$ours")
HOME="$work/peer" "$peer" -w -v 1 >"$work/peer.log" 2>&1 &
theirs=$!
pids+=("$theirs")

for _ in $(seq $((settle * 10))); do
  grep -q "ready main screen" "$work/halvane.log" && break
  sleep 0.1
done
grep -q "ready main screen" "$work/halvane.log" || { echo "the menu did not show in ${settle} s" >&2; exit 1; }
sleep 3

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz="$(getconf CLK_TCK)"
a0="$(ticks "$ours")"
b0="$(ticks "$theirs")"
sleep "$seconds"
a1="$(ticks "$ours")"
b1="$(ticks "$theirs")"
percent() { awk -v d="$(($2 - $1))" -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%5.1f", 100 * d / hz / s}'; }
echo "CPU over the same ${seconds} s, in % of one core:"
echo "  $(percent "$a0" "$a1") %  $program (menu)"
echo "  $(percent "$b0" "$b1") %  $peer (menu)"
echo "($(uptime | sed 's/.*load average/load average/'))"
