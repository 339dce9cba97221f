#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// The window layouts are drawn up in twips, 1/1440 inch. This turns them into pixels for a
// screen of a given logical resolution: 15 twips make a pixel at 96 DPI.
class Twips
{
public:
    Twips(qreal dpiX, qreal dpiY);

    // The resolution the widget is drawn at.
    static Twips fuer(const QWidget &widget);

    int x(int twips) const;
    int y(int twips) const;
    QRect rect(int links, int oben, int breite, int hoehe) const;
    QSize size(int breite, int hoehe) const;

private:
    qreal m_dpiX;
    qreal m_dpiY;
};
