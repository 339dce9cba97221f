#!/usr/bin/env bash
# Exports the article sheets with LibreOffice Calc the ways users export them: semicolon UTF-8,
# Windows-1252, tab, UTF-16 and "quote all text cells". The results are committed as test data,
# so the tests never need LibreOffice (Debian package libreoffice-calc-nogui).
# Usage: tests/data/tabellen/exportiere.sh (run erzeuge.py first when the sheets change)
set -euo pipefail
cd "$(dirname "$0")"
profil=$(mktemp -d)
ausgabe=$(mktemp -d)
trap 'rm -rf "$profil" "$ausgabe"' EXIT

# Filter tokens: delimiter, text quote, character set (76 UTF-8, 1 Windows-1252, 65535 UTF-16),
# first line, cell format, language, quote all text cells, detect special numbers, save as shown.
declare -A arten=(
    [semikolon]=59,34,76,1,,0,false,true,true
    [windows1252]=59,34,1,1,,0,false,true,true
    [tab]=9,34,76,1,,0,false,true,true
    [utf16]=59,34,65535,1,,0,false,true,true
    [alletexte]=59,34,76,1,,0,true,true,true
)
for art in "${!arten[@]}"; do
    mkdir -p "$ausgabe/$art"
    HOME=$profil soffice -env:UserInstallation="file://$profil" --headless \
        --convert-to "csv:Text - txt - csv (StarCalc):${arten[$art]}" --outdir "$ausgabe/$art" \
        artikel.fods artikel-erste.fods artikel-letzte.fods > /dev/null
    for blatt in artikel artikel-erste artikel-letzte; do
        cp "$ausgabe/$art/$blatt.csv" "${blatt/artikel/artikel-$art}.csv"
    done
done
ls -l ./*.csv
