#!/usr/bin/env bash
# Sets up pageKiln on a Debian 12 machine and then runs it or its tests.
#   scripts/setup.sh run    build, place the defaults and a sample site, start the program
#   scripts/setup.sh test   build and run the whole test suite offscreen
#   scripts/setup.sh deps   only install what is missing
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}
build=${PAGEKILN_BUILD_DIR:-build}

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-noto-cjk xvfb xauth x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

[ "$mode" = deps ] && exit 0

werror=OFF; [ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGEKILN_WERROR=$werror
cmake --build "$build"

# A small sample site next to the program, its definition written for where it lands.
site="$(cd "$build" && pwd)/sample-site"
if [ ! -f "$site/sample.ksd" ]; then
  mkdir -p "$site"
  cp examples/sample-site/*.htm "$site/"
  LC_ALL=C sed "s|@DIR@|$site/|g" examples/sample-site/sample.ksd.in > "$site/sample.ksd"
fi

case "$mode" in
  run)  echo "Sample site: $site/sample.ksd"; exec "$build/pagekiln" ;;
  test) cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure ;;
  *)    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
