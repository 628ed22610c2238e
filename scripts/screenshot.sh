#!/usr/bin/env bash
# Takes the README's screenshot (docs/screenshot.png): the built program on a virtual
# display with a window manager, the sample site open, its first page in an editor and
# the tag palette beside the site tree. Run it again after changing what the windows show.
#   scripts/screenshot.sh [PROGRAM]     (default build/pagekiln)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/pagekiln}")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/pagekiln"
cp resources/TagDB.TXT "$dir/"
# The palette at the left, the site tree beside it, the editors' frame filling the screen.
printf '[FORM INF]\r\nTAG_V=-1\r\nTAG_W=2600\r\nTAG_H=9900\r\nTAG_T=0\r\nTAG_L=0\r\nTRE_V=-1\r\nTRE_W=5600\r\nTRE_H=9900\r\nTRE_T=0\r\nTRE_L=2700\r\nTRE_S=2700\r\n[APP INF]\r\nCUR_DIR=/tmp/\r\n' \
  > "$dir/pageKiln.INI"
mkdir "$dir/site"
cp examples/sample-site/*.htm "$dir/site/"
LC_ALL=C sed "s|@DIR@|$dir/site/|g" examples/sample-site/sample.ksd.in > "$dir/site/sample.ksd"

cat > "$dir/session.sh" <<'SESSION'
#!/usr/bin/env bash
dir=$1; out=$2
openbox > /dev/null 2>&1 &
sleep 1
"$dir/pagekiln" "$dir/site/sample.ksd" & pid=$!
for _ in $(seq 1 100); do
  xwininfo -root -tree 2> /dev/null | grep -q '"pageKiln"' && break
  sleep 0.1
done
# The frame at full size, then time for the editor to fill and paint.
frame=$(xdotool search --onlyvisible --name '^pageKiln$' | head -n 1)
xdotool windowmove "$frame" 0 24 windowsize "$frame" 1280 776
sleep 3
import -window root "$out"
kill -TERM $pid
wait $pid || true
SESSION
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" bash "$dir/session.sh" "$dir" "$dir/shot.png"
# A palette of 256 colours keeps the file small without visible loss on a window's flat colours.
convert "$dir/shot.png" -colors 256 PNG8:docs/screenshot.png
echo "docs/screenshot.png"
