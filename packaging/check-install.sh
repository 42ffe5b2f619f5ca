#!/usr/bin/env bash
# Installs a build into a fresh prefix and checks what a desktop needs of it:
# the programs run, the desktop entry and the AppStream metadata validate.
#   packaging/check-install.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/form13f bin/form13f-convert share/applications/com.trellan.form13f.desktop \
    share/metainfo/com.trellan.form13f.metainfo.xml share/icons/hicolor/scalable/apps/com.trellan.form13f.svg \
    share/icons/hicolor/256x256/apps/com.trellan.form13f.png share/man/man1/form13f-convert.1.gz \
    share/man/man1/form13f.1.gz share/doc/form13f/copyright share/doc/form13f/changelog.gz; do
  [ -e "$prefix/$file" ] || { echo "missing from the installation: $file"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/com.trellan.form13f.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/com.trellan.form13f.metainfo.xml"
for page in "$prefix"/share/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | groff -man -Tutf8 -z -ww 2>&1)
  [ -z "$warnings" ] || { echo "man page $(basename "$page"): $warnings"; exit 1; }
done
grep -q '^License: Expat$' "$prefix/share/doc/form13f/copyright"
zcat "$prefix/share/doc/form13f/changelog.gz" | grep -q "^form13f ($("$prefix/bin/form13f-convert" --version | cut -d' ' -f2))"

version=$("$prefix/bin/form13f-convert" --version)
[ "$version" = "$("$prefix/bin/form13f" --version | sed 's/^form13f/form13f-convert/')" ] || { echo "versions differ"; exit 1; }
table=$(printf 'ALPHA INC\tCOM\t123456782\t1,500\t10\tSH\tn/a\tSOLE\tn/a\t10\tsole\n')
out=$(cd "$prefix" && printf '%s\n' "$table" | bin/form13f-convert -o table.xml)
[ "$out" = $'No. of information table entries: 1\nInformation table total: 1500' ] || { echo "unexpected: $out"; exit 1; }
grep -q '<value>1500</value>' "$prefix/table.xml"
echo "installation in a clean prefix: ok ($version)"
