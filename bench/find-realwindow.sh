#!/usr/bin/env bash
# The site search watched from outside, in a real X server: Xvfb with a window manager
# (openbox). bench_find starts the program's search window on generated sites, clicks its
# find button and types into it through XTest, and times what is drawn (X Damage).
#
#   bench/find-realwindow.sh BUILD-FOLDER [CASE...]   (the 16,000-page and slow cases unless named)
#
# Needs xvfb-run, openbox, and bench_find built with the X libraries (libxtst-dev,
# libxdamage-dev).
set -euo pipefail
build=$(realpath "$1")
shift
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(word-16k frequent-16k slow-regex-1k)
export HOME=$(mktemp -d) XDG_DATA_HOME=
trap 'rm -rf "$HOME"' EXIT
xvfb-run -a -s "-screen 0 1280x800x24" bash -c 'openbox >/dev/null 2>&1 & sleep 1; "$0"/bench/bench_find outside "$@"' \
  "$build" "${cases[@]}"
