#!/usr/bin/env bash
# Drives the real program in a virtual X server, by mouse and keyboard only, through three whole
# cleaning runs. The first: open and close the help, type a path, choose "Semikolon", "Datei
# laden", double-click the help open and closed again above "Weiter", pick the second line of the
# group, open "Seriennummer..." and close it by Escape, "Weiter", double-click the help closed
# above "Speichern (ersetzen)" without saving,
# "Speichern (ersetzen)". The second picks its file in the browse window by a double-click
# instead; the third loads by Enter, closes the help by Escape, goes through the context menu of
# the list and takes a decision back by Ctrl+Z; the fourth merges two cells of a group in the
# comparison window. Every click goes to the place the
# window layout gives its control, so a control that moved makes a run go wrong and the file
# check fail.
#
# Usage: e2e_xvfb.sh PROGRAM
# With TESSRA_SCREENSHOTS=DIR it also saves the window at start, with the help shown, with a
# group shown, the dialog "Seriennummer", a group whose lines differ in some columns and the
# list's context menu, and the comparison window with a record built from three.
set -euo pipefail

programm=$(realpath "$1")
for werkzeug in Xvfb xdotool; do
    command -v "$werkzeug" >/dev/null || { echo "$werkzeug fehlt (scripts/install-deps.sh)"; exit 1; }
done

# shellcheck source=xvfb_gemeinsam.sh
. "$(dirname "$(realpath "$0")")/xvfb_gemeinsam.sh" e2e

fehler() {
    echo "FEHLER: $*" >&2
    [ -f "$arbeit/tessra.log" ] && sed 's/^/tessra: /' "$arbeit/tessra.log" >&2
    exit 1
}

# Layout units: twips, 15 to the pixel at 96 DPI, rounded as the window rounds them.
px() { echo $(((($1) * 2 + 15) / 30)); }

starte_xvfb

# The program starts in the data folder, which the browse window shows first.
daten="$arbeit/daten"
mkdir "$daten"
datei="$daten/liste.txt"
printf 'Nr;Name\r\n100;Anna\r\n200;Bert\r\n100;Carla\r\n300;Dora\r\n' >"$datei"
cp "$datei" "$arbeit/original"
printf 'Nr;Name\r\n100;Carla\r\n200;Bert\r\n300;Dora\r\n' >"$arbeit/erwartet"

env -C "$daten" QT_QPA_PLATFORM=xcb "$programm" >"$arbeit/tessra.log" 2>&1 </dev/null &
pids+=($!)
tessra_pid=$!

# Without a window manager nothing gives a new window the keyboard focus.
fokussiere() {
    xdotool windowfocus "$1"
    for _ in $(seq 50); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && break
        sleep 0.1
    done
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] || fehler "Das Fenster $2 bekommt den Fokus nicht"
    sleep 0.3
}

# Waits until a file holds what it should, then checks it and that Tessra still runs.
erwarte() {
    for _ in $(seq 50); do
        cmp -s "$1" "$2" && break
        sleep 0.2
    done
    kill -0 "$tessra_pid" 2>/dev/null || fehler "Tessra ist abgestürzt"
    cmp -s "$1" "$2" || fehler "$3: $(od -c "$1" | head -n 12)"
}

fenster=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tessra$' | head -n1) ||
    fehler "Das Fenster Tessra erscheint nicht"
fokussiere "$fenster" Tessra

geometrie=$(xdotool getwindowgeometry "$fenster" | sed -n 's/.*Geometry: //p')
[ "$geometrie" = "$(px 6945)x$(px 6015)" ] || fehler "Fenstergröße $geometrie"

bild() {
    [ -n "${TESSRA_SCREENSHOTS:-}" ] || return 0
    mkdir -p "$TESSRA_SCREENSHOTS"
    import -window "${2:-$fenster}" "$TESSRA_SCREENSHOTS/$1"
}

# Clicks at a point given in twips of the window's client area.
klicke() {
    xdotool mousemove --window "$fenster" "$(px "$1")" "$(px "$2")" click 1
    sleep 0.4
}

doppelklicke() {
    xdotool mousemove --window "$fenster" "$(px "$1")" "$(px "$2")" click --repeat 2 --delay 100 1
    sleep 0.5
}

bild tessra-start.png

# btnHilfe (2520, 40, 2055 x 255) shows the help; a click on its text, frmHilfe (240, 0) >
# Label1 (360, 960, 5775 x 4335), hides it again, or every later click would land on it.
klicke $((2520 + 1027)) $((40 + 127))
bild tessra-hilfe.png
klicke $((240 + 360 + 2887)) $((960 + 2167))

# The help button took the focus: Frame1 (120, 240) > txtPfad (120, 240, 5055 x 285).
klicke $((120 + 120 + 2527)) $((240 + 240 + 142))
xdotool type --delay 20 "$datei"
sleep 0.3

# Frame1 (120, 240) > Frame4 (120, 600) > optSemikolon (240, 480, 1215 x 195): on its circle.
klicke $((120 + 120 + 240 + 90)) $((240 + 600 + 480 + 97))
# Frame1 (120, 240) > btnLaden (3480, 600, 1695 x 495)
klicke $((120 + 3480 + 847)) $((240 + 600 + 247))
# The group is shown with 100;Anna chosen. A double-click on "Hilfe (F1)" leaves the help shown;
# a double-click on the help where "Weiter", Frame2 (120, 2160) > btnNächsteZeile (2520, 2400,
# 1695 x 495), lies only hides it. Had either reached "Weiter", Anna would be kept.
doppelklicke $((2520 + 1027)) $((40 + 127))
doppelklicke $((120 + 2520 + 847)) $((2160 + 2400 + 247))
# Frame2 (120, 2160) > LstZeilen (120, 480, 6495 x 1230): the second line, 100;Carla.
xdotool mousemove --window "$fenster" $(($(px $((120 + 120))) + 60)) $(($(px $((2160 + 480))) + 24)) click 1
sleep 0.4
bild tessra-gruppe.png
# Frame1 (120, 240) > btnSeriennummer (3480, 1440, 1695 x 255) opens the dialog of the serial
# number's column and options; Escape closes it and leaves the group as it was.
klicke $((120 + 3480 + 847)) $((240 + 1440 + 127))
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Seriennummer$' | head -n1) ||
    fehler "Das Fenster Seriennummer erscheint nicht"
fokussiere "$dialog" Seriennummer
bild tessra-seriennummer.png "$dialog"
xdotool key Escape
sleep 0.4
xdotool search --onlyvisible --name '^Seriennummer$' >/dev/null &&
    fehler "Escape schließt das Fenster Seriennummer nicht"
fokussiere "$fenster" Tessra
# Frame2 (120, 2160) > btnNächsteZeile (2520, 2400, 1695 x 495)
klicke $((120 + 2520 + 847)) $((2160 + 2400 + 247))
# Finished. With the help shown, a double-click on it where "Speichern (ersetzen)",
# btnSpeichern (720, 5400, 2295 x 495), lies must not save.
klicke $((2520 + 1027)) $((40 + 127))
doppelklicke $((720 + 1147)) $((5400 + 247))
cmp -s "$datei" "$arbeit/original" && [ ! -e "$datei.ALT" ] ||
    fehler "Der Doppelklick auf die Hilfe hat gespeichert"
klicke $((720 + 1147)) $((5400 + 247))

erwarte "$datei" "$arbeit/erwartet" "Die Datei ist nicht bereinigt"
cmp -s "$datei.ALT" "$arbeit/original" || fehler "Die Sicherungskopie .ALT fehlt oder weicht ab"

# The second run picks its file in the browse window. It opens at the program's folder, whose
# files are listed by name: a.txt comes before liste.txt and liste.txt.ALT.
zweite="$daten/a.txt"
printf '7;x\r\n7;y\r\n8;z\r\n9;w\r\n' >"$zweite"
# Frame1 (120, 240) > btnDurchsuchen (5280, 240, 1335 x 255)
klicke $((120 + 5280 + 667)) $((240 + 240 + 127))
suche=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tessra - Datei suchen$' | head -n1) ||
    fehler "Das Fenster Tessra - Datei suchen erscheint nicht"
fokussiere "$suche" "Tessra - Datei suchen"
geometrie=$(xdotool getwindowgeometry "$suche" | sed -n 's/.*Geometry: //p')
[ "$geometrie" = "$(px 5175)x$(px 5175)" ] || fehler "Größe des Suchfensters $geometrie"
bild tessra-suche.png "$suche"
# File1 (2520, 360, 2535 x 3990): a double-click on its first line takes the file.
xdotool mousemove --window "$suche" $(($(px 2520) + 40)) $(($(px 360) + 10)) click --repeat 2 --delay 100 1
sleep 0.5
xdotool search --onlyvisible --name '^Tessra - Datei suchen$' >/dev/null &&
    fehler "Das Suchfenster bleibt nach dem Doppelklick offen"
fokussiere "$fenster" Tessra
# "Semikolon" is still chosen: Frame1 (120, 240) > btnLaden, then "Weiter" keeps 7;x, then
# "Speichern (ersetzen)".
klicke $((120 + 3480 + 847)) $((240 + 600 + 247))
klicke $((120 + 2520 + 847)) $((2160 + 2400 + 247))
klicke $((720 + 1147)) $((5400 + 247))
printf '7;x\r\n8;z\r\n9;w\r\n' >"$arbeit/erwartet2"
erwarte "$zweite" "$arbeit/erwartet2" "Die im Suchfenster gewählte Datei ist nicht bereinigt"

# The third run loads by Enter in the path field and goes through the list's context menu: the
# Menu key and the right button open it, the keyboard picks its entries (the arrow keys pass the
# disabled ones). "Letzte Zeile behalten" for all groups, answered "Ja"; undone by Ctrl+Z;
# "Weiter" twice; then the setting for identical groups settles the last group, of two identical
# lines, by itself.
dritte="$daten/c.txt"
printf 'Nr;Firma;Ort;Stand\r\n4711;Müller GmbH;Berlin;2019\r\n0815;Schulz KG;Köln;2020\r\n4711;Müller GmbH;Bonn;2019\r\n4711;Mueller GmbH;Berlin;2021\r\n0815;Schulz KG;Kiel;2020\r\n0042;Meier AG;Ulm;2018\r\n0042;Meier AG;Ulm;2018\r\n' >"$dritte"
printf 'Nr;Firma;Ort;Stand\r\n4711;Müller GmbH;Berlin;2019\r\n0815;Schulz KG;Köln;2020\r\n0042;Meier AG;Ulm;2018\r\n' >"$arbeit/erwartet3"
klicke $((120 + 120 + 2527)) $((240 + 240 + 142))
xdotool key ctrl+a
xdotool type --delay 20 "$dritte"
xdotool key Return
sleep 0.4
# Escape closes the help, or the clicks below would land on it.
klicke $((2520 + 1027)) $((40 + 127))
xdotool key Escape
sleep 0.3
# Frame2 (120, 2160) > LstZeilen (120, 480, 6495 x 1230): its free area below the three rows.
liste_x=$(($(px $((120 + 120))) + 150))
liste_y=$(($(px $((2160 + 480))) + 64))
rechtsklick() {
    xdotool mousemove --window "$fenster" "$liste_x" "$liste_y" click 3
    sleep 0.5
}
# With the focus on the list, its frame (top edge) changes colour, and the selected row gets a
# white frame (left edge), which Fusion's own faint mark is not. First without it.
farbe() {
    import -window "$fenster" -crop "1x1+$1+$2" +repage -depth 8 txt:- |
        sed -n '2s/.*#\([0-9A-F]*\).*/\1/p'
}
rand="$(px $((120 + 120)))"
oben="$(px $((2160 + 480)))"
ohne="$(farbe $((rand + 200)) "$oben") $(farbe $((rand + 2)) $((oben + 7)))"
if [ -n "${TESSRA_SCREENSHOTS:-}" ]; then
    # Low in the list, so that the menu lies within the window and leaves the rows free.
    xdotool mousemove --window "$fenster" $((liste_x - 140)) $((liste_y + 10)) click 3
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$fenster")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
        "$TESSRA_SCREENSHOTS/tessra-unterschiede.png"
    xdotool key Escape
    sleep 0.3
fi
# The first row, already chosen, takes the focus for the Menu key.
xdotool mousemove --window "$fenster" "$liste_x" $((oben + 8)) click 1
sleep 0.3
mit="$(farbe $((rand + 200)) "$oben") $(farbe $((rand + 2)) $((oben + 7)))"
[ "${mit% *}" != "${ohne% *}" ] && [ "${mit#* }" = FFFFFF ] && [ "${ohne#* }" != FFFFFF ] ||
    fehler "Die Liste zeigt ihren Fokus nicht: $ohne / $mit"
xdotool key Menu
sleep 0.5
xdotool key Down Down Return
frage=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tessra - Alle weiteren Gruppen$' | head -n1) ||
    fehler "Die Frage nach allen weiteren Gruppen erscheint nicht"
fokussiere "$frage" "Tessra - Alle weiteren Gruppen"
# "Nein" has the focus; Tab moves it to "Ja".
xdotool key Tab space
sleep 0.5
fokussiere "$fenster" Tessra
xdotool key ctrl+z
sleep 0.4
klicke $((120 + 2520 + 847)) $((2160 + 2400 + 247))
klicke $((120 + 2520 + 847)) $((2160 + 2400 + 247))
rechtsklick
xdotool key Down Down Down Down Down Return
sleep 0.4
klicke $((720 + 1147)) $((5400 + 247))
erwarte "$dritte" "$arbeit/erwartet3" "Der Lauf über das Kontextmenü endet anders"

# The fourth run merges in the comparison window, by keyboard only: Ctrl+T opens it on the
# article sheet's group 0815; the third record's address (two rows down, two columns right) and
# the second's remark go by Space into the record to keep, Enter is "Weiter" and settles the
# three groups left with their first records too; Escape closes it, and "Speichern (ersetzen)".
vierte="$daten/artikel.csv"
quelle="$(dirname "$0")/../../data/tabellen"
cp "$quelle/artikel-semikolon.csv" "$vierte"
perl -0pe 's/0815;Schraube M6;"Musterstr\. 1\n80331 M\x{c3}\x{bc}nchen";;0\.25/0815;Schraube M6;"Musterstr. 1a\n80331 M\x{c3}\x{bc}nchen";Nachbestellung;0.25/' \
    "$quelle/artikel-semikolon-erste.csv" >"$arbeit/erwartet4"
cmp -s "$arbeit/erwartet4" "$quelle/artikel-semikolon-erste.csv" && fehler "Erwartete Datei unverändert"
klicke $((120 + 120 + 2527)) $((240 + 240 + 142))
xdotool key ctrl+a
xdotool type --delay 20 "$vierte"
xdotool key Return
sleep 0.5
xdotool key ctrl+t
vergleich=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tessra - Gruppe vergleichen$' | head -n1) ||
    fehler "Das Fenster Tessra - Gruppe vergleichen erscheint nicht"
fokussiere "$vergleich" "Tessra - Gruppe vergleichen"
for taste in Down Down Right Right space Up Right space; do
    xdotool key "$taste"
    sleep 0.15
done
sleep 0.4
bild tessra-vergleich.png "$vergleich"
xdotool key Return
sleep 0.4
xdotool key Return Return Return
sleep 0.4
xdotool key Escape
sleep 0.3
xdotool search --onlyvisible --name '^Tessra - Gruppe vergleichen$' >/dev/null &&
    fehler "Escape schließt das Vergleichsfenster nicht"
fokussiere "$fenster" Tessra
klicke $((720 + 1147)) $((5400 + 247))
erwarte "$vierte" "$arbeit/erwartet4" "Der im Vergleichsfenster zusammengeführte Datensatz weicht ab"
echo "Ende-zu-Ende-Läufe in Xvfb bestanden"
