#include "schriften.h"

#include <QStringList>

QFont schrift(Schriftart art, qreal punkte, bool fett)
{
    QStringList familien;
    switch (art) {
    case Schriftart::MsSansSerif:
        familien = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                    QStringLiteral("DejaVu Sans")};
        break;
    case Schriftart::Arial:
        familien = {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
        break;
    case Schriftart::ArialBlack:
        familien = {QStringLiteral("Arial Black"), QStringLiteral("DejaVu Sans"),
                    QStringLiteral("Liberation Sans")};
        break;
    }
    QFont font(familien.constFirst());
    font.setFamilies(familien);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(punkte);
    font.setWeight(fett ? QFont::Bold : QFont::Normal);
    return font;
}

QFont dialogSchrift()
{
    return schrift(Schriftart::MsSansSerif, 8.25, false);
}
