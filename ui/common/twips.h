#pragma once

#include <QRect>
#include <QtGlobal>

// Window layouts are drawn up in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels, so a window keeps its proportions on a high-DPI screen.
inline int twipsZuPixel(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

inline QRect twipsZuRechteck(int links, int oben, int breite, int hoehe, qreal dpi)
{
    return {twipsZuPixel(links, dpi), twipsZuPixel(oben, dpi), twipsZuPixel(breite, dpi),
            twipsZuPixel(hoehe, dpi)};
}
