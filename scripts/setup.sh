#!/usr/bin/env bash
# Sets up pageKiln on a Debian 12 machine and then runs it or its tests.
#   scripts/setup.sh run    build, place the defaults and a sample site, start the program
#   scripts/setup.sh test   build and run the whole test suite offscreen
#   scripts/setup.sh deps   only install what is missing
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}
build=${PAGEKILN_BUILD_DIR:-build}

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev fonts-noto-cjk
          xdg-utils xvfb xauth x11-utils pkg-config libmicrohttpd-dev libpcre2-dev libxtst-dev libxdamage-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    # Without root and without a usable sudo, say what to run instead of failing halfway;
    # sudo is usable when it needs no password or a terminal can answer its prompt.
    can_sudo=false
    if command -v sudo > /dev/null && { [ -t 0 ] || sudo -n true 2> /dev/null; }; then can_sudo=true; fi
    if ! $can_sudo; then
      echo "Some packages are missing. Run this as root (or with sudo), then start again:" >&2
      echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
      exit 1
    fi
    sudo="sudo"
  fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

[ "$mode" = deps ] && exit 0

werror=OFF; [ "${CI:-}" = "true" ] && werror=ON
# A build from scratch compiles the libraries eight sources at a time, optimised, with line
# tables for backtraces (-g1: a third less to compile than full debugging information); the
# benchmarks are built only on request (-DPAGEKILN_BENCH=ON, see the README).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
  -DPAGEKILN_WERROR=$werror -DPAGEKILN_UNITY=ON
# Running needs only the program; the tests need everything.
if [ "$mode" = run ]; then cmake --build "$build" --target pagekiln; else cmake --build "$build"; fi

# A small sample site next to the program, its definition written for where it lands.
site="$(cd "$build" && pwd)/sample-site"
if [ ! -f "$site/sample.ksd" ]; then
  mkdir -p "$site"
  cp examples/sample-site/*.htm "$site/"
  LC_ALL=C sed "s|@DIR@|$site/|g" examples/sample-site/sample.ksd.in > "$site/sample.ksd"
fi

case "$mode" in
  # Until a site has been opened (none in the file history), the sample site opens.
  run)  echo "Sample site: $site/sample.ksd"
        if grep -aq $'^FILE01=[^\r]' "$build/pageKiln.INI" 2> /dev/null; then exec "$build/pagekiln"; fi
        exec "$build/pagekiln" "$site/sample.ksd" ;;
  # The longest tests mostly wait (for timers, children, a display), so more run at once
  # than there are cores.
  test) cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(($(nproc) + 2)) ;;
  *)    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
