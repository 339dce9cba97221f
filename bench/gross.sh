#!/usr/bin/env bash
# Measures how the cost grows with the file: tessra-bench on a seeded file of LINES lines (the
# make-up of the million-line file) and on the million-line file, three runs each, taken in
# turn so that both see the machine alike. Prints the medians of load, walk and save, the peak
# memory per byte of the file, and the cost per line against the million-line file, whose
# target is 1.15. The result must equal awk's keep-first output byte for byte.
# Usage: gross.sh BUILD_DIR LINES
set -euo pipefail

build=${1:?build folder}
zeilen=${2:?lines}
bench=$build/bench/tessra-bench
daten=$build/bench-daten
seed=20261208
mkdir -p "$daten"

klein=$daten/zeilen-1000000.txt
gross=$daten/zeilen-$zeilen.txt
[ -f "$klein" ] || "$build/bench/tessra-testdaten" 1000000 "$seed" "$klein"
[ -f "$gross" ] || "$build/bench/tessra-testdaten" "$zeilen" "$seed" "$gross"

median() { sort -g | awk '{ werte[NR] = $1 } END { print werte[int((NR + 1) / 2)] }'; }
wert() { sed -n "s/^$1=//p" "$2"; }

echo "== tessra-bench, $zeilen Zeilen ($(stat -L -c %s "$gross") Bytes) und 1000000 Zeilen im Wechsel"
for lauf in 1 2 3; do
    "$bench" "$klein" --out "$klein.gross-tessra" > "$daten/klein-$lauf.txt"
    "$bench" "$gross" --out "$gross.tessra" > "$daten/gross-$lauf.txt"
    echo "-- Lauf $lauf: $(tr '\n' ' ' < "$daten/gross-$lauf.txt")"
done
# The output is left for the check only; it is as large as the file.
awk -F';' '!seen[$1]++' "$gross" | cmp -s - "$gross.tessra" && gleich=ja || gleich=nein
rm -f "$gross.tessra" "$klein.gross-tessra"

spalte() { for lauf in 1 2 3; do wert "$1" "$daten/$2-$lauf.txt"; done | median; }
awk -v z="$zeilen" -v b="$(stat -L -c %s "$gross")" \
    -v l="$(spalte load_ms gross)" -v w="$(spalte walk_ms gross)" -v s="$(spalte save_ms gross)" \
    -v t="$(spalte total_ms gross)" -v r="$(spalte peak_rss_mb gross)" \
    -v k="$(spalte total_ms klein)" -v g="$gleich" 'BEGIN {
    printf "gross_%d_load_ms=%s walk_ms=%s save_ms=%s total_ms=%s\n", z, l, w, s, t
    printf "gross_%d_peak_rss_mb=%s = %.2f x die Datei  (Ziel <= 2.0: %s)\n", z, r,
        r * 1048576 / b, (r * 1048576 / b <= 2.0 ? "ok" : "VERFEHLT")
    je = (t / z) / (k / 1000000)
    printf "gross_%d_kosten_je_zeile=%.1f ns gegen %.1f ns bei 1000000 Zeilen = %.2f x  (Ziel <= 1.15: %s)\n",
        z, t * 1e6 / z, k * 1e6 / 1000000, je, (je <= 1.15 ? "ok" : "VERFEHLT")
    printf "gross_%d Ausgabe byte-gleich mit awk: %s\n", z, g
}'
[ "$gleich" = ja ] || { echo "tessra-bench und awk schreiben verschiedene Bytes" >&2; exit 1; }
