#!/usr/bin/env bash
# Resident memory of the game on its title, its menu and in a game, side by
# side with a peer game from Debian (chromium-bsu, on its menu and in a game),
# on one private X server with Mesa's software renderer. For each state:
# RSS, PSS, and the private anonymous memory (heap and mappings of no file)
# from /proc/PID/smaps_rollup, in MB; then the biggest mappings of each
# program's last state. Both windowed (the game 640 x 480, the peer its own
# 800 x 600), sound to OpenAL's null output. Give the load (printed) with
# any figure.
#   bench/memory.sh [PROGRAM ...]      (default build/halvane; the peer is
#                                       measured when installed:
#                                       apt-get install chromium-bsu)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
programs=()
for p in "$@"; do programs+=("$(realpath "$p")"); done
[ ${#programs[@]} -gt 0 ] || programs=("$root/build/Halvane.app/Contents/bin/halvane")
peer=/usr/games/chromium-bsu
settle="${MEMORY_SETTLE:-3}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
c++ -O2 -o "$work/drive" "$root/bench/memory/Drive.cpp" -lX11 -lXtst
display=":$((200 + RANDOM % 200))"
Xvfb "$display" -screen 0 1280x1024x24 -br -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
sleep 1
export DISPLAY="$display" LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null

# A line of figures for the process in the state named.
measure() {
  awk -v who="$1" -v state="$2" '
    /^Rss:/ {rss = $2} /^Pss:/ {pss = $2} /^Anonymous:/ {anon = $2}
    END {printf "%-28s %-6s RSS %6.1f  PSS %6.1f  private+anon %6.1f MB\n", who, state, rss/1024, pss/1024, anon/1024}' \
    "/proc/$3/smaps_rollup"
}

# The mappings of the process summed by file (anonymous ones by kind), the
# biggest first.
mappings() {
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / {n = split($6, p, "/"); name = (NF >= 6) ? p[n] : "[anon]"; next}
    /^Rss:/ {rss[name] += $2} /^Anonymous:/ {anon[name] += $2}
    END {for (k in rss) printf "    %-36s RSS %6.1f  anon %6.1f MB\n", k, rss[k]/1024, anon[k]/1024}' \
    "/proc/$1/smaps" | sort -k3 -n -r | head -8
}

# Waits until the log holds the text (the input trace's screen lines).
wait_for() {
  for _ in $(seq 600); do
    grep -q "$2" "$1" && return 0
    sleep 0.2
  done
  echo "timed out waiting for \"$2\"" >&2
  return 1
}

echo "$(uptime | sed 's/.*load average/load average/'), $(nproc) cores"
n=0
for program in "${programs[@]}"; do
  n=$((n + 1))
  home="$work/home$n"
  mkdir -p "$home/.config/Halvane"
  printf '<dict>\t<key>Full Screen</key>\t<false/>\t</dict>' >"$home/.config/Halvane/Halvane Preferences.plist"
  log="$work/halvane$n.log"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" HALVANE_TRACE_INPUT=1 \
    "$program" >"$work/halvane$n.out" 2>"$log" &
  pid=$!
  pids+=("$pid")
  who="halvane $n ($(basename "${program%/build*}"))"
  wait_for "$log" "ready title"
  sleep "$settle"
  measure "$who" title "$pid"
  # The logo movie has closed by the title: its decoder's libraries should
  # be gone (a library that stays once loaded shows here).
  echo "    mapped after the movie: $(awk '/\/lib(av|sw)[a-z]*\.so/ {n = split($6, p, "/"); print p[n]}' \
    "/proc/$pid/maps" | sort -u | tr '\n' ' ')(libav*/libsw*), $(awk 'NF >= 6 && /\.so/ {print $6}' \
    "/proc/$pid/maps" | sort -u | wc -l) libraries in all"
  # One press on the title, one click on the menu's Play: each waits for
  # the screen that follows to take input.
  "$work/drive" key Return
  wait_for "$log" "ready main screen"
  sleep "$settle"
  measure "$who" menu "$pid"
  "$work/drive" click Halvane $((52 + 60)) $((110 + 15))
  wait_for "$log" "ready game"
  sleep "$settle"
  measure "$who" game "$pid"
  mappings "$pid"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done

if [ -x "$peer" ]; then
  mkdir -p "$work/peer"
  HOME="$work/peer" "$peer" >"$work/peer.out" 2>&1 &
  pid=$!
  pids+=("$pid")
  # The peer opens on its menu and shows no trace: a few seconds to settle.
  sleep $((settle + 4))
  measure "chromium-bsu" menu "$pid"
  "$work/drive" key Return
  sleep $((settle + 3))
  measure "chromium-bsu" game "$pid"
  mappings "$pid"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
fi
echo "$(uptime | sed 's/.*load average/load average/')"
