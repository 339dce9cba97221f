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
    ./usr/share/icons/hicolor/32x32/apps/de.tessra.Tessra.png \
    ./usr/share/doc/tessra/handbuch.md \
    ./usr/share/doc/tessra/dateiformat.md \
    ./usr/share/doc/tessra/speichern.md \
    ./usr/share/doc/tessra/leistung.md; do
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
# The help page names the handbook there; every picture and document it links to lies beside it.
doku=$work/root/usr/share/doc/tessra
for ziel in $(grep -o '](\([a-z-]*\.\(png\|md\)\)' "$doku/handbuch.md" | sed 's/^](//' | sort -u); do
    [ -f "$doku/$ziel" ] || fail "the handbook shows $ziel, which is not in the package"
done
desktop-file-validate "$work/root/usr/share/applications/de.tessra.Tessra.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/de.tessra.Tessra.metainfo.xml" \
    >/dev/null

# Installed, the entry is offered for a CSV file by the desktop's "Öffnen mit".
update-desktop-database "$work/root/usr/share/applications"
# GLib offers only entries whose program it finds on the PATH.
PATH="$work/root/usr/bin:$PATH" XDG_DATA_DIRS="$work/root/usr/share:/usr/share" \
    XDG_DATA_HOME="$work/leer" gio mime text/csv \
    >"$work/mime" 2>&1 || true
grep -q 'de.tessra.Tessra.desktop' "$work/mime" \
    || { cat "$work/mime"; fail "the desktop entry is not offered for text/csv"; }

# The program runs until closed: still running after a few seconds means it started; `timeout`
# then stops exactly that process. It takes one file, as "Öffnen mit" hands it over.
for argumente in "" "$work/liste.csv"; do
    status=0
    printf '1;a\n1;b\n2;c\n3;d\n' >"$work/liste.csv"
    # shellcheck disable=SC2086 # no argument at all in the first round
    QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/tessra" $argumente || status=$?
    [ "$status" -eq 124 ] || fail "the packaged program ($argumente) ended early with status $status"
done
# Two files, or an option, are refused on the terminal with status 2.
for argumente in "a.csv b.csv" "--hilfe"; do
    status=0
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/tessra" $argumente \
        2>"$work/fehler" || status=$?
    [ "$status" -eq 2 ] || fail "tessra $argumente ended with status $status, not 2"
    grep -q 'höchstens eine Datei' "$work/fehler" || fail "tessra $argumente says nothing"
done
echo "package test passed"
