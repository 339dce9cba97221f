#!/usr/bin/env bash
# Measures tessra-bench against `awk -F';' '!seen[$1]++'` on a seeded 1,000,000-line file, three
# runs each, and checks that both write the same bytes. The same file with every field quoted
# and a line break in every tenth record is measured too, its result checked against awk's
# quoted the same way. Then measures "Speichern (ersetzen)"
# (backup and replace of a copy) three times, and a 100,000-line file of the same make-up to show
# how the time grows with the file. Last, the rules for all remaining groups over the large file:
# keeping the first line must write what the walk wrote, keeping the last what a two-pass awk
# writes, each in no more time than the walk. Usage: vergleich.sh BUILD_DIR
set -euo pipefail

build=${1:?build folder}
bench=$build/bench/tessra-bench
testdaten=$build/bench/tessra-testdaten
daten=$build/bench-daten
seed=20261208
mkdir -p "$daten"

gross=$daten/zeilen-1000000.txt
klein=$daten/zeilen-100000.txt
[ -f "$gross" ] || "$testdaten" 1000000 "$seed" "$gross"
[ -f "$klein" ] || "$testdaten" 100000 "$seed" "$klein"

median() { sort -g | awk '{ werte[NR] = $1 } END { print werte[int((NR + 1) / 2)] }'; }
wert() { sed -n "s/^$1=//p" "$2"; }
jetzt_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Runs tessra-bench on a file (three times unless told, further options after that); leaves each
# run's figures in $daten/lauf-N.txt, with the wall time of the whole process (as awk's is
# taken) as wall_ms.
tessra_laeufe() {
    local datei=$1 anzahl=${2:-3}
    shift $(( $# < 2 ? $# : 2 ))
    for lauf in $(seq "$anzahl"); do
        vorher=$(jetzt_ms)
        "$bench" "$datei" --out "$datei.tessra" "$@" > "$daten/lauf-$lauf.txt"
        echo "wall_ms=$(( $(jetzt_ms) - vorher ))" >> "$daten/lauf-$lauf.txt"
    done
}

echo "== tessra-bench, $(wc -l < "$gross") Zeilen, $(stat -c %s "$gross") Bytes"
tessra_laeufe "$gross"
for lauf in 1 2 3; do
    echo "-- Lauf $lauf: $(tr '\n' ' ' < "$daten/lauf-$lauf.txt")"
done
tessra_ms=$(for lauf in 1 2 3; do wert total_ms "$daten/lauf-$lauf.txt"; done | median)
gang_ms=$(for lauf in 1 2 3; do wert walk_ms "$daten/lauf-$lauf.txt"; done | median)
schritt_us=$(for lauf in 1 2 3; do wert step_median_us "$daten/lauf-$lauf.txt"; done | median)
wand_ms=$(for lauf in 1 2 3; do wert wall_ms "$daten/lauf-$lauf.txt"; done | median)
rss_mb=$(for lauf in 1 2 3; do wert peak_rss_mb "$daten/lauf-$lauf.txt"; done | median)

echo "== awk -F';' '!seen[\$1]++' ($(readlink -f "$(command -v awk)"))"
awk_ms=$(for lauf in 1 2 3; do
    vorher=$(jetzt_ms)
    awk -F';' '!seen[$1]++' "$gross" > "$gross.awk"
    echo $(( $(jetzt_ms) - vorher ))
done | median)

if cmp -s "$gross.tessra" "$gross.awk"; then
    gleich=ja
else
    gleich=nein
fi

# Quotes every field; a record whose serial number ends in 0 gets a line break in its second
# field. Record by record, so keeping the first record of each serial number commutes with it.
zitiere() {
    awk -F';' -v OFS=';' '{
        for (i = 1; i <= NF; i++) $i = "\"" $i "\""
        if (NR > 1 && substr($1, length($1) - 1, 1) == "0") sub(/-/, "\n", $2)
        print
    }' "$1"
}
zitiert=$daten/zitiert-1000000.txt
[ -f "$zitiert" ] || zitiere "$gross" > "$zitiert"
echo "== tessra-bench, $(wc -l < "$zitiert") Zeilen: jedes Feld in Anführungszeichen, Zeilenumbruch in jedem zehnten Datensatz"
tessra_laeufe "$zitiert"
for lauf in 1 2 3; do
    echo "-- Lauf $lauf: $(tr '\n' ' ' < "$daten/lauf-$lauf.txt")"
done
zitiert_ms=$(for lauf in 1 2 3; do wert total_ms "$daten/lauf-$lauf.txt"; done | median)
zitiert_laden_ms=$(for lauf in 1 2 3; do wert load_ms "$daten/lauf-$lauf.txt"; done | median)
zitiere "$gross.awk" > "$zitiert.awk"
if cmp -s "$zitiert.tessra" "$zitiert.awk"; then
    zitiert_gleich=ja
else
    zitiert_gleich=nein
fi

echo "== tessra-bench --ersetzen, $(wc -l < "$gross") Zeilen (Sicherungskopie und Ersetzen einer Kopie)"
tessra_laeufe "$gross" 3 --ersetzen
for lauf in 1 2 3; do
    echo "-- Lauf $lauf: $(tr '\n' ' ' < "$daten/lauf-$lauf.txt")"
done
ersetzen_ms=$(for lauf in 1 2 3; do wert save_ms "$daten/lauf-$lauf.txt"; done | median)
# What the save adds over the peak of loading and walking, and over the memory in use when it
# starts; the median of each.
zuwachs_mb=$(for lauf in 1 2 3; do
    awk -v s="$(wert save_peak_rss_mb "$daten/lauf-$lauf.txt")" \
        -v l="$(wert load_peak_rss_mb "$daten/lauf-$lauf.txt")" 'BEGIN { print s - l }'
done | median)
zuwachs_start_mb=$(for lauf in 1 2 3; do
    awk -v s="$(wert save_peak_rss_mb "$daten/lauf-$lauf.txt")" \
        -v r="$(wert rss_before_save_mb "$daten/lauf-$lauf.txt")" 'BEGIN { print s - r }'
done | median)
speicher_mb=$(for lauf in 1 2 3; do wert save_peak_rss_mb "$daten/lauf-$lauf.txt"; done | median)
if cmp -s "$gross.tessra" "$gross.awk" && cmp -s "$gross.tessra.ALT" "$gross"; then
    ersetzt_gleich=ja
else
    ersetzt_gleich=nein
fi

echo "== tessra-bench, $(wc -l < "$klein") Zeilen"
# Five runs: a run of a few dozen milliseconds is easily disturbed on a shared machine.
tessra_laeufe "$klein" 5
klein_ms=$(for lauf in 1 2 3 4 5; do wert total_ms "$daten/lauf-$lauf.txt"; done | median)

# The rules, three runs each; every run's output is compared, not just the last one's.
regel_ms() {
    local regel=$1 vergleich=$2
    # The last --out counts: each rule writes a file of its own.
    tessra_laeufe "$gross" 3 --regel "$regel" --out "$gross.$regel" >&2
    for lauf in 1 2 3; do
        echo "-- --regel $regel, Lauf $lauf: $(tr '\n' ' ' < "$daten/lauf-$lauf.txt")" >&2
    done
    cmp -s "$gross.$regel" "$vergleich" ||
        { echo "--regel $regel schreibt andere Bytes als $vergleich" >&2; exit 1; }
    for lauf in 1 2 3; do wert rule_ms "$daten/lauf-$lauf.txt"; done | median
}
echo "== tessra-bench --regel erste|letzte, $(wc -l < "$gross") Zeilen"
erste_ms=$(regel_ms erste "$gross.tessra")
awk -F';' 'NR == FNR { letzte[$1] = $0; next } !gesehen[$1]++ { print letzte[$1] }' \
    "$gross" "$gross" > "$gross.awk-letzte"
letzte_ms=$(regel_ms letzte "$gross.awk-letzte")

datei_mb=$(awk -v b="$(stat -c %s "$gross")" 'BEGIN { printf "%.1f", b / 1048576 }')
awk -v t="$tessra_ms" -v a="$awk_ms" -v s="$schritt_us" -v r="$rss_mb" -v f="$datei_mb" \
    -v k="$klein_ms" -v g="$gleich" -v w="$wand_ms" -v e="$ersetzen_ms" -v z="$zuwachs_mb" \
    -v zs="$zuwachs_start_mb" -v sp="$speicher_mb" -v eg="$ersetzt_gleich" -v l="$gang_ms" \
    -v re="$erste_ms" -v rl="$letzte_ms" -v zt="$zitiert_ms" -v zl="$zitiert_laden_ms" \
    -v zg="$zitiert_gleich" 'BEGIN {
    printf "tessra_total_ms_median=%s\n", t
    printf "awk_ms_median=%s  (Prozess von Start bis Ende)\n", a
    printf "tessra_wall_ms_median=%s  (Prozess von Start bis Ende, Verhältnis %.2f)\n", w, w / a
    printf "ratio=%.2f  (Ziel <= 1.0: %s)\n", t / a, (t / a <= 1.0 ? "ok" : "VERFEHLT")
    printf "step_median_us=%s  (Ziel <= 1000: %s)\n", s, (s <= 1000 ? "ok" : "VERFEHLT")
    printf "peak_rss_mb=%s bei %s MB Datei = %.2f x  (Ziel <= 4: %s)\n", r, f, r / f,
        (r / f <= 4 ? "ok" : "VERFEHLT")
    printf "total_ms 100000 Zeilen=%s, 1000000 Zeilen=%s, Faktor %.1f  (Ziel <= 12: %s)\n",
        k, t, t / k, (t / k <= 12 ? "ok" : "VERFEHLT")
    printf "Ausgaben byte-gleich: %s\n", g
    printf "zitiert_total_ms_median=%s (load %s), %.2f x die Datei ohne Anführungszeichen; Ausgabe gleich awk, zitiert: %s\n",
        zt, zl, zt / t, zg
    printf "ersetzen_save_ms_median=%s  (Sicherungskopie und Ersetzen, je mit fsync)\n", e
    printf "ersetzen_save_peak_rss_mb=%s, ueber der Spitze nach dem Laden: %s MB, ueber dem Stand vor dem Speichern: %s MB  (Ziel <= 64: %s)\n",
        sp, z, zs, (zs <= 64 ? "ok" : "VERFEHLT")
    printf "Ersetzen byte-gleich mit awk, .ALT gleich der Datei: %s\n", eg
    printf "walk_ms_median=%s  (\"Weiter\" durch alle Gruppen)\n", l
    printf "rule_ms_median erste=%s, letzte=%s  (Ziel <= walk: %s)\n", re, rl,
        (re <= l && rl <= l ? "ok" : "VERFEHLT")
    printf "Regeln byte-gleich mit Durchklicken (erste) und zweifachem awk (letzte): ja\n"
}'
[ "$gleich" = ja ] || { echo "tessra-bench und awk schreiben verschiedene Bytes" >&2; exit 1; }
[ "$zitiert_gleich" = ja ] || { echo "tessra-bench schreibt zitiert andere Bytes als awk" >&2; exit 1; }
[ "$ersetzt_gleich" = ja ] || { echo "Speichern (ersetzen) schreibt andere Bytes" >&2; exit 1; }
