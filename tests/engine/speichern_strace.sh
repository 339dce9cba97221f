#!/usr/bin/env bash
# Saving as the system really fails it: strace makes one system call of a real save fail with
# EIO, at its first, second or third call, for each call a save makes. Whatever fails, the file
# holds its old content or the result in full, the backup is missing or holds the old content,
# a failure is reported, no temporary file is left, and a save that reports success has written
# both.
# Usage: speichern_strace.sh TESSRA_BENCH SPREADSHEET_EXPORT
set -uo pipefail

bench=${1:?tessra-bench}
quelle=${2:?file to save}
if ! strace -qq -o /dev/null true 2>/dev/null; then
    echo "strace cannot trace here (no ptrace): skipped"
    exit 77
fi
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
fehler=0
falsch() {
    echo "FEHLER ($fall): $*"
    fehler=$((fehler + 1))
}

# tessra-bench copies FILE to FILE.out and replaces that, keeping FILE.out.ALT, or writes the
# result to the path given with --out.
speichere() { # mode, then strace's options
    local modus=$1
    shift
    rm -rf "$arbeit/d" && mkdir "$arbeit/d" && cp "$quelle" "$arbeit/d/liste.csv"
    local ziel=(--ersetzen)
    [ "$modus" = unter ] && ziel=(--out "$arbeit/d/neu.csv")
    QT_QPA_PLATFORM=offscreen timeout 60 strace -f -qq -o /dev/null "$@" \
        "$bench" "$arbeit/d/liste.csv" --delim ';' "${ziel[@]}" >/dev/null 2>"$arbeit/meldung"
}

inhalt() { [ -e "$1" ] && sha256sum <"$1" || echo fehlt; }

alt=$(inhalt "$quelle")
speichere ersetzen -e trace=none || { cat "$arbeit/meldung"; exit 1; }
neu=$(inhalt "$arbeit/d/liste.csv.out")
[ "$neu" != "$alt" ] || { echo "the file has no groups to settle"; exit 1; }

faelle=0
for modus in ersetzen anort unter; do
    for aufruf in fsync fdatasync rename ftruncate write copy_file_range flock fchown fchmod unlink; do
        # A file whose owner the new file cannot take is rewritten in place.
        extra=()
        if [ "$modus" = anort ]; then
            [ "$aufruf" = fchown ] && continue
            extra=(-e trace="$aufruf",fchown -e inject=fchown:error=EPERM:when=2+)
        fi
        for n in 1 2 3; do
            fall="$modus $aufruf#$n"
            faelle=$((faelle + 1))
            speichere "$modus" -e trace="$aufruf" -e inject="$aufruf":error=EIO:when=$n \
                "${extra[@]}"
            status=$?
            if [ "$modus" = unter ]; then
                ergebnis=$(inhalt "$arbeit/d/neu.csv")
                [ "$(inhalt "$arbeit/d/liste.csv")" = "$alt" ] || falsch "the loaded file changed"
                case $ergebnis in "$neu" | fehlt) ;; *) falsch "the target is half written" ;; esac
                [ $status -ne 0 ] || [ "$ergebnis" = "$neu" ] || falsch "success without the result"
            else
                datei=$(inhalt "$arbeit/d/liste.csv.out")
                sicherung=$(inhalt "$arbeit/d/liste.csv.out.ALT")
                case $datei in "$alt" | "$neu") ;; *) falsch "the file is half written" ;; esac
                case $sicherung in "$alt" | fehlt) ;; *) falsch "the backup is half written" ;; esac
                [ $status -ne 0 ] || { [ "$datei" = "$neu" ] && [ "$sicherung" = "$alt" ]; } ||
                    falsch "success without the result and the backup"
            fi
            [ $status -eq 0 ] || grep -q 'Tessra - Speicherfehler' "$arbeit/meldung" ||
                falsch "failed (status $status) without a message: $(head -c 300 "$arbeit/meldung")"
            # Only a failed unlink may leave one, which the next save in the folder removes.
            if [ "$aufruf" != unlink ] && find "$arbeit/d" -regextype posix-extended -regex '.*/\.tessra-[A-Za-z0-9]{6}' |
                grep -q .; then
                falsch "a temporary file is left"
            fi
        done
    done
done
echo "$faelle injected faults, $fehler broken promises"
[ $fehler -eq 0 ]
