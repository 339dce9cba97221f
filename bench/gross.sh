#!/usr/bin/env bash
# Measures how the cost grows with the file: tessra-bench on a seeded file of LINES lines (the
# make-up of the million-line file) and on the million-line file, three runs each, taken in
# turn so that both see the machine alike. Prints the medians of load, walk and save, the peak
# memory per byte of the file, and the cost per line against the million-line file, whose
# target is 1.15. The result must equal awk's keep-first output byte for byte.
# A second series runs the same, each run right after tessra-speicherprobe has taken and freed
# as much memory as the large run needs: on a virtual machine whose host backs memory only when
# it is first used, the large run otherwise pays for hundreds of fresh megabytes that the small
# one, right after a large one, finds ready. The probe's own time shows that price.
# Usage: gross.sh BUILD_DIR LINES
set -euo pipefail

build=${1:?build folder}
zeilen=${2:?lines}
bench=$build/bench/tessra-bench
probe=$build/bench/tessra-speicherprobe
daten=$build/bench-daten
seed=20261208
mkdir -p "$daten"

klein=$daten/zeilen-1000000.txt
gross=$daten/zeilen-$zeilen.txt
[ -f "$klein" ] || "$build/bench/tessra-testdaten" 1000000 "$seed" "$klein"
[ -f "$gross" ] || "$build/bench/tessra-testdaten" "$zeilen" "$seed" "$gross"

median() { sort -g | awk '{ werte[NR] = $1 } END { print werte[int((NR + 1) / 2)] }'; }
wert() { sed -n "s/^$1=//p" "$2"; }

# Three runs of each file in turn; with a size in MiB, tessra-speicherprobe takes and frees that
# much memory before each run. Figures go to $daten/SERIE-klein-N.txt and SERIE-gross-N.txt.
serie() {
    local name=$1 vorher=${2:-}
    for lauf in 1 2 3; do
        [ -z "$vorher" ] || "$probe" "$vorher" > "$daten/$name-probe-klein-$lauf.txt"
        "$bench" "$klein" --out "$klein.gross-tessra" > "$daten/$name-klein-$lauf.txt"
        [ -z "$vorher" ] || "$probe" "$vorher" > "$daten/$name-probe-gross-$lauf.txt"
        "$bench" "$gross" --out "$gross.tessra" > "$daten/$name-gross-$lauf.txt"
        echo "-- Lauf $lauf: $(tr '\n' ' ' < "$daten/$name-gross-$lauf.txt")"
    done
}
spalte() { for lauf in 1 2 3; do wert "$1" "$daten/$2-$lauf.txt"; done | median; }
# The medians of a series and its cost per line against the million-line file.
auswertung() {
    local name=$1 zusatz=$2
    awk -v z="$zeilen" -v n="$zusatz" -v l="$(spalte load_ms "$name-gross")" \
        -v w="$(spalte walk_ms "$name-gross")" -v s="$(spalte save_ms "$name-gross")" \
        -v t="$(spalte total_ms "$name-gross")" -v k="$(spalte total_ms "$name-klein")" \
        -v kl="$(spalte load_ms "$name-klein")" -v kw="$(spalte walk_ms "$name-klein")" \
        -v ks="$(spalte save_ms "$name-klein")" 'BEGIN {
        printf "gross_%d%s_load_ms=%s walk_ms=%s save_ms=%s total_ms=%s\n", z, n, l, w, s, t
        printf "gross_%d%s je Zeile: load %.1f ns, walk %.1f ns, save %.1f ns gegen %.1f, %.1f, %.1f ns bei 1000000 Zeilen\n",
            z, n, l * 1e6 / z, w * 1e6 / z, s * 1e6 / z, kl, kw, ks
        je = (t / z) / (k / 1000000)
        printf "gross_%d%s_kosten_je_zeile=%.1f ns gegen %.1f ns bei 1000000 Zeilen = %.2f x  (Ziel <= 1.15: %s)\n",
            z, n, t * 1e6 / z, k * 1e6 / 1000000, je, (je <= 1.15 ? "ok" : "VERFEHLT")
    }'
}

echo "== tessra-bench, $zeilen Zeilen ($(stat -L -c %s "$gross") Bytes) und 1000000 Zeilen im Wechsel"
serie wie
# The output is left for the check only; it is as large as the file.
awk -F';' '!seen[$1]++' "$gross" | cmp -s - "$gross.tessra" && gleich=ja || gleich=nein

spitze=$(spalte peak_rss_mb wie-gross)
awk -v z="$zeilen" -v b="$(stat -L -c %s "$gross")" -v r="$spitze" 'BEGIN {
    printf "gross_%d_peak_rss_mb=%s = %.2f x die Datei  (Ziel <= 2.0: %s)\n", z, r,
        r * 1048576 / b, (r * 1048576 / b <= 2.0 ? "ok" : "VERFEHLT")
}'
auswertung wie ""

vorher=$(awk -v r="$spitze" 'BEGIN { printf "%d", r + 1 }')
# What the machine asks for that much memory once it has had a few seconds to take back what
# the runs before freed.
sleep 5
kalt=$("$probe" "$vorher" | sed -n 's/^first_touch_ms=//p')
echo "erstberuehrung_${vorher}_mib_ms=$kalt  (tessra-speicherprobe nach 5 s Pause: was die Maschine für so viel frischen Speicher verlangt)"
echo "== dasselbe, vor jedem Lauf $vorher MiB genommen und freigegeben (tessra-speicherprobe)"
serie warm "$vorher"
rm -f "$gross.tessra" "$klein.gross-tessra"
auswertung warm "_vorbelegt"
echo "gross_$zeilen Ausgabe byte-gleich mit awk: $gleich"
[ "$gleich" = ja ] || { echo "tessra-bench und awk schreiben verschiedene Bytes" >&2; exit 1; }
