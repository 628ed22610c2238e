#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that it holds a runnable program
# with its settings file, tag database and desktop launcher, then runs it for real.
#   install.sh <build-folder> <tests-folder> <resources-folder>
set -euo pipefail
build=$1; tests=$2; resources=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/pagekiln bin/pageKiln.INI bin/TagDB.TXT bin/pagekiln.desktop bin/pagekiln.svg \
         share/applications/pagekiln.desktop share/icons/hicolor/scalable/apps/pagekiln.svg \
         share/mime/packages/pagekiln.xml; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -q "^Exec=$prefix/bin/pagekiln %f$" "$prefix/share/applications/pagekiln.desktop" \
  || { echo "the launcher does not name the installed program with the file to open"; exit 1; }
grep -q "^MimeType=application/x-pagekiln-site;$" "$prefix/share/applications/pagekiln.desktop" \
  || { echo "the launcher does not open site definitions"; exit 1; }
bash "$tests/app/realwindow.sh" "$prefix/bin/pagekiln" "$resources"
echo "install: program, settings, tag database and launcher in place; the installed program runs"
