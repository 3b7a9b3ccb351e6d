# Shared by ./play and ./run-tests: install missing Debian packages, then
# configure and build with the preset given as $1 (default or asan).
set -euo pipefail

halvane_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

halvane_install_packages() {
  local missing=() wanted=() p
  while read -r p; do
    p="${p%%#*}"; p="${p//[[:space:]]/}"
    if [ -n "$p" ]; then wanted+=("$p"); fi
  done < "$halvane_root/debian-packages"
  # One question for all of them: dpkg-query names each installed package
  # with its status (and complains on standard error of the unknown ones).
  local -A installed=()
  local name status
  while read -r name status; do
    if [ "$status" = installed ]; then installed["$name"]=1; fi
  done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${wanted[@]}" 2>/dev/null || true)
  for p in "${wanted[@]}"; do
    if [ -z "${installed[$p]:-}" ]; then missing+=("$p"); fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  local log; log="$(mktemp)"
  if ! { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
         "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    tail -50 "$log"; rm -f "$log"
    echo "Package installation failed." >&2
    return 1
  fi
  rm -f "$log"
}

# Further arguments: those that start with "-" go to the configure step (for
# example -DHALVANE_WERROR=ON); the others name the targets to build (all
# when none is named).
halvane_build() {
  local preset="${1:-default}" configure=() targets=() a
  shift || true
  for a in "$@"; do
    if [[ "$a" == -* ]]; then configure+=("$a"); else targets+=(--target "$a"); fi
  done
  cd "$halvane_root"
  cmake --preset "$preset" "${configure[@]}" >/dev/null
  cmake --build --preset "$preset" -j"${HALVANE_JOBS:-$(nproc)}" "${targets[@]}"
}
