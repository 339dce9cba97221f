#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, checks that its files sit where the
# freedesktop layout expects them, and starts the packaged program to prove that it runs.
set -euo pipefail

build=${1:?usage: test_package.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$(find "$work/out" -maxdepth 1 -name 'tessra_*.deb' | head -n 1)
[ -n "$deb" ] || fail "no tessra_*.deb was written"
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for file in \
    ./usr/bin/tessra \
    ./usr/share/applications/de.tessra.Tessra.desktop \
    ./usr/share/metainfo/de.tessra.Tessra.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/de.tessra.Tessra.svg \
    ./usr/share/icons/hicolor/32x32/apps/de.tessra.Tessra.png; do
    grep -qx -- "$file" "$work/contents" || fail "$file is missing from the package"
done

[ "$(dpkg-deb -f "$deb" Package)" = tessra ] || fail "wrong package name"
# Each field is taken whole before it is searched: grep -q stops reading at the first match,
# and under pipefail the writer's broken pipe would fail the check.
feld() { dpkg-deb -f "$deb" "$1"; }
grep -q 'Tessra' <<<"$(feld Maintainer)" || fail "maintainer field"
grep -q 'libqt6widgets6' <<<"$(feld Depends)" \
    || fail "dependencies were not derived from the shared libraries"
grep -q 'qt6-translations-l10n' <<<"$(feld Depends)" \
    || fail "Qt's German texts are not among the dependencies"
grep -q 'Seriennummer' <<<"$(feld Description)" || fail "no German description"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/de.tessra.Tessra.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/de.tessra.Tessra.metainfo.xml" \
    >/dev/null

# The program takes no arguments and runs until closed: still running after a few seconds means
# it started; `timeout` then stops exactly that process.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/tessra" || status=$?
[ "$status" -eq 124 ] || fail "the packaged program ended early with status $status"
echo "package test passed"
