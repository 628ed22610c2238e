#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what it holds: the program, its
# default settings and tag database, the launcher, icons, file type and AppStream data,
# the launcher and AppStream data valid. Then starts it from the launcher as a user who
# has never run it, which copies the defaults into the user's configuration folder.
#   install.sh <build-folder> <scripts-folder>
set -euo pipefail
build=$1; scripts=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/pagekiln share/pagekiln/pageKiln.INI share/pagekiln/TagDB.TXT share/applications/pagekiln.desktop \
         share/icons/hicolor/scalable/apps/pagekiln.svg share/icons/hicolor/48x48/apps/pagekiln.png \
         share/mime/packages/pagekiln.xml share/metainfo/org.pagekiln.pageKiln.metainfo.xml; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ ! -e "$prefix/bin/pageKiln.INI" ] || { echo "the settings file was installed beside the program"; exit 1; }
grep -q "^Exec=$prefix/bin/pagekiln %f$" "$prefix/share/applications/pagekiln.desktop" \
  || { echo "the launcher does not name the installed program with the file to open"; exit 1; }
grep -q "^MimeType=application/x-pagekiln-site;$" "$prefix/share/applications/pagekiln.desktop" \
  || { echo "the launcher does not open site definitions"; exit 1; }
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$prefix/share/applications/pagekiln.desktop"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.pagekiln.pageKiln.metainfo.xml"
fi
HOME="$prefix/home" XDG_CONFIG_HOME="$prefix/home/config" bash "$scripts/package-session.sh" "$prefix"
echo "install: program, defaults, launcher, icons, file type and AppStream data in place; the installed program runs"
