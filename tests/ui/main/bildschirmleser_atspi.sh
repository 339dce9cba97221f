#!/usr/bin/env bash
# Runs the program in a virtual X server on a private session bus with the accessibility bus
# that screen readers use, and reads it through AT-SPI as Orca would (bildschirmleser.py).
#
# Usage: bildschirmleser_atspi.sh PROGRAM
set -euo pipefail

programm=$(realpath "$1")
hier=$(dirname "$(realpath "$0")")
# The system's Python: pyatspi comes as a Debian package, not in another interpreter.
python=/usr/bin/python3
for werkzeug in Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"; do
    command -v "$werkzeug" >/dev/null || { echo "$werkzeug fehlt (scripts/install-deps.sh)"; exit 1; }
done
"$python" -c 'import pyatspi' || { echo "pyatspi fehlt (scripts/install-deps.sh)"; exit 1; }

# Everything below runs on a bus of its own, which ends with it.
if [ -z "${TESSRA_EIGENER_BUS:-}" ]; then
    TESSRA_EIGENER_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

# shellcheck source=xvfb_gemeinsam.sh
. "$hier/xvfb_gemeinsam.sh" atspi
starte_xvfb
# The tests run offscreen; this one needs the real X server, where the bridge to AT-SPI lives.
export QT_QPA_PLATFORM=xcb

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$arbeit/bus.log" 2>&1 &
pids+=($!)

datei="$arbeit/liste.txt"
printf 'Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;d\r\n' >"$datei"
# Started as a file manager's "Öffnen mit" starts it: the file named, here relative to the folder.
(cd "$arbeit" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$programm" liste.txt \
    >"$arbeit/tessra.log" 2>&1 </dev/null) &
pids+=($!)
# Without a window manager nothing activates the window; the keyboard focus makes it active, as
# a click on it would.
fenster=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tessra$' | head -n1) || true
if [ -z "$fenster" ]; then
    echo "Das Fenster erscheint nicht." >&2
    sed 's/^/tessra: /' "$arbeit/tessra.log" >&2
    exit 1
fi
xdotool windowfocus --sync "$fenster"

if ! timeout 60 "$python" "$hier/bildschirmleser.py" "$datei"; then
    sed 's/^/tessra: /' "$arbeit/tessra.log" >&2
    exit 1
fi
