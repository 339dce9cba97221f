#include "twips.h"

#include <QWidget>

namespace {

constexpr qreal twipsProZoll = 1440.0;

int inPixel(int twips, qreal dpi)
{
    return qRound(twips * dpi / twipsProZoll);
}

} // namespace

Twips::Twips(qreal dpiX, qreal dpiY)
    : m_dpiX(dpiX)
    , m_dpiY(dpiY)
{
}

Twips Twips::fuer(const QWidget &widget)
{
    return Twips(widget.logicalDpiX(), widget.logicalDpiY());
}

int Twips::x(int twips) const
{
    return inPixel(twips, m_dpiX);
}

int Twips::y(int twips) const
{
    return inPixel(twips, m_dpiY);
}

QRect Twips::rect(int links, int oben, int breite, int hoehe) const
{
    return QRect(x(links), y(oben), x(breite), y(hoehe));
}

QSize Twips::size(int breite, int hoehe) const
{
    return QSize(x(breite), y(hoehe));
}
