#!/usr/bin/env bash
# Starts the built program in a real X server with both tool windows shown and a site
# definition named on the command line, checks that the frame appears, sends SIGTERM and
# checks that the settings were written back (the definition first in the file history)
# and the preview files deleted, as on a normal exit. Also checks the answers on the
# terminal: --version, and how to start without a display.
#   realwindow.sh <path-to-pagekiln> <resources-folder>
set -euo pipefail
program=$1
resources=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/pagekiln"
cp "$resources/TagDB.TXT" "$dir/"
# Blanks around the values: a program that writes the file back writes them without.
printf '[FORM INF]\r\nTAG_V = -1\r\nTAG_W = 2820\r\nTAG_H = 6600\r\nTAG_T = 0\r\nTAG_L = 0\r\nTRE_V = -1\r\nTRE_W = 4500\r\nTRE_H = 6600\r\nTRE_T = 0\r\nTRE_L = 2900\r\nTRE_S = 0\r\n[APP INF]\r\nCUR_DIR=/tmp/\r\n' > "$dir/pageKiln.INI"
printf 'x' > "$dir/temp1.htm"
mkdir "$dir/site"
printf '<TITLE>Top</TITLE>\r\n' > "$dir/site/index.htm"
printf '[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=Site\r\nDIR=%s/site/\r\nURL=http://x/\r\n[HTML LIST]\r\nCNT=001\r\n001=-1*%s/site/*index.htm\r\n' \
  "$dir" "$dir" > "$dir/site/site.ksd"
printf 'x' > "$dir/temp2.htm"

cat > "$dir/session.sh" <<'SESSION'
#!/usr/bin/env bash
dir=$1
"$dir/pagekiln" "$dir/site/site.ksd" & pid=$!
for _ in $(seq 1 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"pageKiln"' && break
  sleep 0.1
done
xwininfo -root -tree | grep -q '"pageKiln"' || { echo "the frame did not appear"; kill -9 $pid; exit 1; }
kill -TERM $pid
wait $pid || { echo "the program did not end normally on SIGTERM"; exit 1; }
SESSION
chmod +x "$dir/session.sh"
# xvfb-run -a can lose the race for a display number to another X server starting at the
# same moment; only then, when the program could not reach the display, start again.
for attempt in 1 2 3; do
  if QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$dir/session.sh" "$dir" > "$dir/session.log" 2>&1; then
    break
  fi
  cat "$dir/session.log"
  grep -q 'could not connect to display' "$dir/session.log" && [ "$attempt" -lt 3 ] || exit 1
  echo "no display (attempt $attempt); starting the X server again"
done

grep -q $'^TAG_W=2820\r$' "$dir/pageKiln.INI" || { echo "settings were not written back"; cat -A "$dir/pageKiln.INI"; exit 1; }
grep -q $'^TAG_V=-1\r$' "$dir/pageKiln.INI" || { echo "the palette was not recorded as open"; exit 1; }
grep -q "^FILE01=$dir/site/site.ksd"$'\r$' "$dir/pageKiln.INI" || { echo "the definition named on the command line was not opened"; exit 1; }
[ ! -e "$dir/temp1.htm" ] && [ ! -e "$dir/temp2.htm" ] || { echo "preview files were not deleted"; exit 1; }
version=$("$dir/pagekiln" --version)
[[ $version == "pageKiln "* ]] || { echo "--version answered: $version"; exit 1; }
headless=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$dir/pagekiln" 2>&1) && { echo "started without a display"; exit 1; }
[[ $headless == *"xvfb-run"* ]] || { echo "without a display it said: $headless"; exit 1; }
echo "real window: frame shown, SIGTERM saved the settings and deleted the preview files"
