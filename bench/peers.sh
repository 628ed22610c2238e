#!/usr/bin/env bash
# Opening the same generated pages (8 KB, 20 links each) in pageKiln, through its site
# definition, and in two other editors, Geany and Bluefish, named on their command lines,
# one program at a time in a real X server (Xvfb). For each: the time from the program
# being started until its window is shown and it has gone idle (no processor time used
# for half a second; the half second is not counted), and its peak memory (VmHWM).
# Uses public tools only: xvfb-run, xdotool, /proc.
#
#   bench/peers.sh BUILD-FOLDER RESOURCES [PAGES]      (PAGES: 1000 unless given)
set -euo pipefail
build=$(realpath "$1")
resources=$(realpath "$2")
pages=${3:-1000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build/bench/bench_site" generate "$dir/site" "$pages"
mkdir -p "$dir/prog" "$dir/home"
cp "$build/pagekiln" "$resources/pageKiln.INI" "$resources/TagDB.TXT" "$dir/prog/"
ls "$dir/site"/page*.htm | sort -V > "$dir/files.txt"

cat > "$dir/session.sh" <<'SESSION'
#!/usr/bin/env bash
# One program: prints "name seconds peak-MB".
name=$1; shift
start=$(date +%s.%N)
"$@" >/dev/null 2>&1 & pid=$!
timeout 600 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null || { echo "$name: no window"; kill -9 $pid; exit 1; }
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
last=$(ticks); idle=0; idleSince=$(date +%s.%N)
while [ $idle -lt 2 ]; do
  sleep 0.25
  now=$(ticks)
  if [ "$now" = "$last" ]; then idle=$((idle + 1)); else idle=0; idleSince=$(date +%s.%N); fi
  last=$now
done
peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill -9 $pid
wait $pid 2>/dev/null || true
printf '%-9s %6.2f s to shown and idle, peak %4d MB\n' "$name" "$(echo "$idleSince - $start" | bc)" $((peak / 1024))
SESSION
chmod +x "$dir/session.sh"

run() { HOME="$dir/home" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$dir/session.sh" "$@"; }
run pageKiln "$dir/prog/pagekiln" "$dir/site/site.ksd"
mapfile -t files < "$dir/files.txt"
if command -v geany >/dev/null; then run Geany geany -i -c "$dir/home/geany" "${files[@]}"; fi
if command -v bluefish >/dev/null; then run Bluefish bluefish "${files[@]}"; fi
