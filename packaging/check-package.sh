#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks that it declares
# the runtime packages it needs, that the programs it holds run, and that
# Debian's own checker finds neither an error nor a warning in it.
#   packaging/check-package.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
package=$(ls "$work"/form13f_*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for needed in libqt6webenginewidgets6 libqt6webenginecore6-bin qt6-qpa-plugins libcanberra0 xdg-utils; do
  case "$depends" in *"$needed"*) ;; *) echo "the package does not declare $needed: $depends"; exit 1 ;; esac
done
dpkg-deb -x "$package" "$work/root"
out=$(printf 'A\tCOM\t123456782\t5\t1\tSH\tn/a\tSOLE\tn/a\t1\tsole\n' | "$work/root/usr/bin/form13f-convert" -o "$work/t.xml")
[ "$out" = $'No. of information table entries: 1\nInformation table total: 5' ] || { echo "unexpected: $out"; exit 1; }
"$work/root/usr/bin/form13f" --version >/dev/null
if command -v lintian >/dev/null; then
  findings=$(lintian --tag-display-limit 0 "$package" 2>&1 | grep -E '^(E|W): ' || true)
  [ -z "$findings" ] || { echo "lintian: $findings"; exit 1; }
fi
echo "package $(basename "$package"): ok"
