#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop expects of it, then builds
# the Debian package and checks that it holds the same files and runs.
#   install_test.sh <build folder> <source folder> <application id>
set -euo pipefail
build=$1 source=$2 id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# 1. cmake --install into a DESTDIR holds exactly the expected files.
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/root" && find . -type f -o -type l | sed 's|^\./||' | sort) > "$work/installed.txt"
sed "s/@ID@/$id/g" "$source/tests/install/expected-files.txt" | sort > "$work/expected.txt"
diff -u "$work/expected.txt" "$work/installed.txt" || fail "installed files differ from the expected list"

# 2. The desktop entry and the AppStream data pass their validators.
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

# 3. The installed command line runs, and the installed icon is a code that scans.
"$work/root/usr/bin/marbeck-cli" --version | grep -q "marbeck-cli" || fail "marbeck-cli --version"
[ "$(zbarimg --quiet --raw "$work/root/usr/share/icons/hicolor/256x256/apps/$id.png")" = "Marbeck" ] \
  || fail "the 256 x 256 icon does not read back"
rsvg-convert -w 400 -b white -o "$work/icon.png" "$work/root/usr/share/icons/hicolor/scalable/apps/$id.svg"
[ "$(zbarimg --quiet --raw "$work/icon.png")" = "Marbeck" ] || fail "the SVG icon does not read back"

# 4. The Debian package: computed dependencies, the same files as the install, and it runs.
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null) || fail "cpack -G DEB"
deb=$(ls "$work"/deb/marbeck_*_*.deb) || fail "no marbeck_<version>_<arch>.deb"
dpkg-deb --info "$deb" > "$work/info.txt"
grep -q '^ Depends: .*libc6' "$work/info.txt" || fail "dpkg-deb --info shows no computed Depends"
grep -q '^ Depends: .*libqt6gui6' "$work/info.txt" || fail "the Depends line lacks Qt"
grep -q '^ Section: graphics' "$work/info.txt" || fail "no section"
dpkg-deb --contents "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||; s| -> .*||' \
  | sed 's|^|usr/|' | sort > "$work/packaged.txt"
diff -u "$work/installed.txt" "$work/packaged.txt" || fail "the package holds other files than the install"
dpkg-deb -x "$deb" "$work/extracted"
"$work/extracted/usr/bin/marbeck-cli" --version | grep -q "marbeck-cli" || fail "packaged marbeck-cli --version"
echo "install and package checks passed"
