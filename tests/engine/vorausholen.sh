#!/usr/bin/env bash
# The group index and the walk ask the processor for scattered lines ahead of time. A compiler
# that drops those requests changes no result, only how long big files take (GCC once did, and
# every test still passed), so this looks for them in the code the build produced.
# Usage: vorausholen.sh ENGINE_LIBRARY
set -euo pipefail

code=$(objdump -d -C --no-show-raw-insn "${1:?engine library}")
for funktion in 'Gruppenindex::Gruppenindex(' 'Gruppenindex::holeGruppeVoraus('; do
    awk -v f="$funktion" '/^[0-9a-f]+ </ { drin = index($0, "<" f) > 0 }
        drin && /prefetch/ { n++ } END { exit n > 0 ? 0 : 1 }' <<< "$code" ||
        { echo "keine prefetch-Anweisung in $funktion" >&2; exit 1; }
done
