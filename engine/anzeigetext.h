#pragma once

#include "textdatei.h"

#include <QString>

// How much of a line the window shows. A list row needs only the beginning of a line, where the
// serial number stands; the edit field shows a line whole up to a bound that keeps typing in it
// responsive. Longer lines are shown cut, ending with "…".
inline constexpr qsizetype listenzeileGrenze = 4000;
inline constexpr qsizetype zeilenfeldGrenze = 65536;

struct Anzeigetext
{
    QString text;
    bool gekuerzt = false;
};

// At most `grenze` characters of the line, followed by "…" when the line is longer. Only the
// bytes that so many characters can take are decoded, so a line of 100 MB costs no more than a
// short one.
Anzeigetext anzeigetext(const Textdatei &datei, qsizetype zeile, qsizetype grenze);
