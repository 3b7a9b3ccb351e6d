#!/usr/bin/env bash
# Shows that the e2e tests notice a program that loses a press: for each key
# (or mouse button) the tests press, the e2e tests that press it run with the
# program made to lose that key's first press (LosePress.cpp, preloaded), and
# every one of them must fail. Prints per key: the tests pressing it, how
# many failed, and the names of any that passed.
#
#   tests/support/losepress/lost-press-run.sh [options] [key ...]
#     --build DIR      the build folder (default build)
#     --log FILE       the press log of an earlier run ("<test> <key>" lines);
#                      without it, the e2e label runs once first to write one
#                      (and must pass)
#     --jobs N         tests run at once within a key's run (default 2)
#     --keys-at-once K keys run side by side (default 1)
#     --whole-label    run the whole e2e label for each key, not only the
#                      tests that press it
#     --record-only    only the first run, that writes the press log
#     --tabulate       no runs: the table from the outputs the last runs
#                      left in the build folder (lost-press-<key>.txt)
#   With no keys, every key in the log is lost in turn. Keys are X keysym
#   names as the tests use them ("Escape", "q", "KP_0") or "button1".
#   Exits non-zero when a test passed over its lost key.
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
build="$root/build" log="" jobs=2 at_once=1 whole=0 record_only=0 tabulate=0
keys=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$(cd "$2" && pwd)"; shift 2 ;;
    --log) log="$(realpath "$2")"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --keys-at-once) at_once="$2"; shift 2 ;;
    --whole-label) whole=1; shift ;;
    --record-only) record_only=1; shift ;;
    --tabulate) tabulate=1; shift ;;
    -h|--help) sed -n '2,24p' "$0"; exit 0 ;;
    *) keys+=("$1"); shift ;;
  esac
done
shim="$build/tests/libhalvane_losepress.so"
[ -f "$shim" ] || { echo "no $shim: build the tests first" >&2; exit 2; }

work="$(mktemp -d)" xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The arrangement ./run-tests makes: a private X server for the tests that
# want a display (each e2e test starts one of its own besides), sound to
# OpenAL's null output, a home folder of the run's own, dialogs on stderr.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }
mkdir -p "$work/home"
export DISPLAY=":$(head -n1 "$work/display")" SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null LP_NUM_THREADS=2
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export HALVANE_DIALOGS=stderr
unset HALVANE_LOSE_PRESS HALVANE_LOSE_PRESS_LIBRARY

# The names of the tests of a ctest output that ended in each way.
# (A parameterised test's name goes on with "  # GetParam() = ...".)
outcome() { sed -n -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) .*'"$2"'.*/\1/p' "$1" | sort -u; }

if [ -z "$log" ]; then
  log="$work/presses.log"
  echo "recording which tests press which keys (the e2e label, nothing lost)..."
  recorded=0
  HALVANE_E2E_PRESS_LOG="$log" HALVANE_E2E_REPRESS_LOG="$work/represses.log" \
    ctest --test-dir "$build" -L e2e -j"$jobs" --output-on-failure >"$work/record.txt" 2>&1 || recorded=$?
  cp "$work/record.txt" "$build/e2e-record.txt"
  touch "$work/represses.log"
  echo "harness re-presses in the run: $(wc -l <"$work/represses.log")"
  sed 's/^/  /' "$work/represses.log"
  if [ "$recorded" != 0 ]; then
    echo "the e2e label does not pass without a lost press (its output: $build/e2e-record.txt); failed:" >&2
    outcome "$work/record.txt" '\*\*\*' >&2
    exit 2
  fi
  cp "$log" "$build/e2e-presses.log"
  echo "press log kept in $build/e2e-presses.log"
fi
[ "$record_only" = 0 ] || exit 0
[ ${#keys[@]} -gt 0 ] || mapfile -t keys < <(awk '{print $2}' "$log" | sort -u)

# One key's run: its results in $work/<n>.result, one line per test pressing
# it, "failed <test>" or "passed <test>".
run_key() {
  local n="$1" key="$2" tests regex
  tests="$(awk -v k="$key" '$2 == k {print $1}' "$log" | sort -u)"
  # ctest's names of parameterised tests go on with "  # GetParam() = ...".
  regex="^($(printf '%s\n' "$tests" | sed 's/[.[\]()*+?^$|]/\\&/g' | paste -sd'|'))( |$)"
  local filter=(-R "$regex")
  [ "$whole" = 1 ] && filter=()
  local saved
  saved="$build/lost-press-$(tr -c 'A-Za-z0-9_\n' _ <<<"$key").txt"
  if [ "$tabulate" = 1 ]; then
    cp "$saved" "$work/$n.out"
  else
    HALVANE_LOSE_PRESS="$key" HALVANE_LOSE_PRESS_LIBRARY="$shim" \
      ctest --test-dir "$build" -L e2e "${filter[@]}" -j"$jobs" --output-on-failure >"$work/$n.out" 2>&1 || true
    cp "$work/$n.out" "$saved"
  fi
  local failed passed
  failed="$(outcome "$work/$n.out" '\*\*\*')"
  passed="$(outcome "$work/$n.out" ' Passed ')"
  : >"$work/$n.result"
  while read -r t; do
    [ -n "$t" ] || continue
    if grep -qxF "$t" <<<"$failed"; then
      echo "failed $t" >>"$work/$n.result"
    elif grep -qxF "$t" <<<"$passed"; then
      echo "passed $t" >>"$work/$n.result"
    else
      echo "notrun $t" >>"$work/$n.result"
    fi
  done <<<"$tests"
}

# The keys' runs, at most $at_once at a time (the X server is a job too, so
# the runs are counted by their own ids).
n=0 runs=()
for key in "${keys[@]}"; do
  n=$((n + 1))
  echo "losing the first press of $key..."
  run_key "$n" "$key" &
  runs+=($!)
  while :; do
    running=0
    for pid in "${runs[@]}"; do kill -0 "$pid" 2>/dev/null && running=$((running + 1)); done
    [ "$running" -lt "$at_once" ] && break
    sleep 1
  done
done
for pid in "${runs[@]}"; do wait "$pid" 2>/dev/null || true; done

status=0
printf '%-10s %8s %7s  %s\n' key pressing failed "passed (or not run) over the lost press"
n=0
for key in "${keys[@]}"; do
  n=$((n + 1))
  total=$(wc -l <"$work/$n.result")
  failed=$(grep -c '^failed ' "$work/$n.result" || true)
  others=$(grep -v '^failed ' "$work/$n.result" | sed 's/^\(passed\|notrun\) \(.*\)/\2 (\1)/' | paste -sd' ' || true)
  printf '%-10s %8d %7d  %s\n' "$key" "$total" "$failed" "$others"
  [ "$failed" = "$total" ] || status=1
done
echo "each key's ctest output: $build/lost-press-<key>.txt"
exit $status
