#pragma once

#include "dateien.h"
#include "ergebnisliste.h"
#include "gruppenindex.h"
#include "seriennummer.h"
#include "textdatei.h"

#include <QString>

// The state of one cleaning run. Counters are as wide as the machine's sizes, so any file that
// fits in memory can be cleaned.
struct SuchZustand
{
    // The loaded file; one empty line while no file is loaded.
    Textdatei Zeilen;
    // The result so far, without the empty place the next line would take.
    Ergebnisliste Ergebnis;
    // Which lines share a serial number with which.
    Gruppenindex Gruppen;
    // The line under examination; -1 before the first search step.
    qsizetype AktZeile = 0;
    // Distinct serial numbers met so far whose first line holds the delimiter.
    qsizetype AnzSerien = 0;
    // Other lines that share the current line's serial number.
    qsizetype AnzFunde = 0;
    // The serial number of the group on show, as the key reader sees its first line
    // (Textdatei::schluesselbytes).
    Seriennummer Serie;
    // The column delimiter chosen at loading; may be longer than one character.
    QString Trennzeichen;
    // The path the file was loaded from and its state then, so that saving notices a file
    // that another program changed meanwhile, or a path edited to name another file.
    QString GeladenerPfad;
    Dateistand GeladenerStand;
};
