#!/usr/bin/env bash
# The benchmarks' clicks and keys checked from outside, in a real X server: Xvfb with a
# window manager (openbox). xlatency starts the built program on generated sites and
# sends its clicks and keys through XTest, timing each to the last change of the screen
# (X Damage), without looking inside the program; then bench_allopen and bench_startup,
# which time the same clicks and keys from inside to the last paint, run in the same X
# server, so that the two can be compared.
#
#   bench/realwindow.sh BUILD-FOLDER RESOURCES [STARTS]     (STARTS: 3 unless given)
#
# Needs xvfb-run, openbox, and xlatency built (libxtst-dev, libxdamage-dev). Places in the
# window are those of the program's default settings (resources/pageKiln.INI) on a
# 1280 × 800 screen: the site tree's first title row, and a place inside the text of the
# editor on top.
set -euo pipefail
build=$(realpath "$1")
resources=$(realpath "$2")
starts=${3:-3}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build/bench/bench_site" generate "$dir/open" 1000 open
"$build/bench/bench_site" generate "$dir/site" 1000
mkdir -p "$dir/prog"
cp "$build/pagekiln" "$resources/pageKiln.INI" "$resources/TagDB.TXT" "$dir/prog/"

cat > "$dir/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -euo pipefail
dir=$1; build=$2; resources=$3; starts=$4
openbox >/dev/null 2>&1 &
sleep 1
title=246,88        # the site tree's first title row (page 1), in the frame's window
text=700,300        # inside the text of the editor on top
# Every start gets a user folder of its own: typing leaves recovery copies behind, which
# the next start would offer back.
fresh() { rm -rf "$dir/home"; mkdir -p "$dir/home"; }
run() { fresh; HOME="$dir/home" XDG_DATA_HOME="$dir/home/data" "$build/bench/xlatency" "$@"; }

echo "== from outside (X Damage), 1,000 pages all open"
band=$(run "$dir/prog/pagekiln" "$dir/open/site.ksd" -- learn:10 | sed -n 's/^band //p')
for _ in $(seq 1 "$starts"); do
  run --band "$band" "$dir/prog/pagekiln" "$dir/open/site.ksd" -- \
    key:a*20 key:ctrl+Tab*20 click:$title*1 click:$text*10
done
echo "== from outside (X Damage), 1,000 pages, a page in 200 open: the first click on a hidden page's title"
for _ in $(seq 1 "$starts"); do
  run "$dir/prog/pagekiln" "$dir/site/site.ksd" -- click:$title*1
done
echo "== from inside (last paint), the same X server"
fresh
HOME="$dir/home" "$build/bench/bench_allopen" "$resources"
for _ in $(seq 1 "$starts"); do
  fresh
  HOME="$dir/home" "$build/bench/bench_startup" shown "$dir/prog" "$dir/site/site.ksd" \
    | awk 'NR == 2 { print "first click on a hidden page\047s title: " $2 " ms" }'
done
SESSION
chmod +x "$dir/session.sh"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$dir/session.sh" "$dir" "$build" "$resources" "$starts" 2>&1 \
  | grep -v -e 'XDG_RUNTIME_DIR' -e 'propagateSizeHints'
