#!/usr/bin/env bash
# Starts the installed program with its launcher's command line under Xvfb and checks
# what its first start did: the default settings and tag database copied into the user's
# configuration folder. Run by package-check.sh inside the chroot as an ordinary user, and
# by the install test on a prefix of its own.
#   package-session.sh [PREFIX]     (default /usr)
set -euo pipefail
prefix=${1:-/usr}
launcher=$prefix/share/applications/pagekiln.desktop
if command -v update-mime-database > /dev/null; then
  [ -f "$prefix/share/mime/application/x-pagekiln-site.xml" ] || { echo "the site definition's type is not registered"; exit 1; }
fi
command=$(sed -n 's/^Exec=//p' "$launcher" | sed 's/ %[fFuU]//')
folder="${XDG_CONFIG_HOME:-$HOME/.config}/pageKiln"
$command --help | grep -qF "$folder" || { echo "--help does not name $folder"; exit 1; }

session=$(mktemp)
cat > "$session" <<SESSION
#!/usr/bin/env bash
$command & pid=\$!
for _ in \$(seq 1 200); do
  xwininfo -root -tree 2> /dev/null | grep -q '"pageKiln"' && break
  sleep 0.1
done
xwininfo -root -tree | grep -q '"pageKiln"' || { echo "the frame did not appear"; kill -9 \$pid; exit 1; }
kill -TERM \$pid
wait \$pid || { echo "the program did not end normally"; exit 1; }
SESSION
# xvfb-run -a can lose the race for a display number to another X server starting at the
# same moment; only then start again.
for attempt in 1 2 3; do
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" bash "$session" > "$session.log" 2>&1 && break
  cat "$session.log"
  grep -q 'could not connect to display' "$session.log" && [ "$attempt" -lt 3 ] || exit 1
done
rm -f "$session" "$session.log"
for name in pageKiln.INI TagDB.TXT; do
  [ -s "$folder/$name" ] || { echo "the first start did not copy $name into $folder"; exit 1; }
done
cmp -s "$prefix/share/pagekiln/TagDB.TXT" "$folder/TagDB.TXT" || { echo "the tag database copied is not the default"; exit 1; }
echo "started from the launcher ($command); settings in $folder"
