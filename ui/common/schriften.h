#pragma once

#include <QFont>

// The type faces the window layouts name. Linux desktops rarely have them, so each maps to the
// nearest installed sans-serif face at the same size and weight: Liberation Sans shares Arial's
// metrics and is close to MS Sans Serif, DejaVu Sans stands in when it is missing.
enum class Schriftart { MsSansSerif, Arial, ArialBlack };

QFont schrift(Schriftart art, qreal punkte, bool fett);

// The windows' standard dialog font, MS Sans Serif 8.25 pt regular; the fixed layouts are
// measured for its width.
QFont dialogSchrift();
