# Sourced by the scripts that run the program in a virtual X server: a work folder that goes
# when the script ends, the processes it started (stopped exactly, newest first), and Xvfb on a
# display it picks itself. Usage: . xvfb_gemeinsam.sh NAME, then starte_xvfb.

arbeit=$(mktemp -d "/tmp/tessra-$1.XXXXXX")
pids=()
aufraeumen() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$arbeit"
}
trap aufraeumen EXIT
trap 'exit 1' INT TERM HUP

# Xvfb reports the number of the display it took; DISPLAY names it afterwards.
starte_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$arbeit/display" \
        >"$arbeit/xvfb.log" 2>&1 </dev/null &
    pids+=($!)
    local xvfb=$!
    for _ in $(seq 100); do
        [ -s "$arbeit/display" ] && break
        kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb startet nicht: $(cat "$arbeit/xvfb.log")" >&2; exit 1; }
        sleep 0.1
    done
    [ -s "$arbeit/display" ] || { echo "Xvfb meldet keine Anzeige" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$arbeit/display")"
}
