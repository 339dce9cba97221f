#include "trennzeichenwahl.h"

#include "seriennummer.h"

#include <array>

namespace {

// The serial-number reader already tells whether a delimiter ends a record's first field, which
// it does exactly when the record holds the delimiter outside quotes.
bool haeltTrennzeichen(const Textdatei &datei, qsizetype zeile, QByteArrayView trenner)
{
    return seriennummerVon(datei.schluesselbytes(zeile), trenner).mitTrennzeichen();
}

qsizetype saetzeMit(const Textdatei &datei, const QString &trennzeichen)
{
    const QByteArray trenner = datei.schluesselTrennzeichen(trennzeichen);
    if (trenner.isEmpty())
        return 0;
    qsizetype anzahl = 0;
    for (qsizetype zeile = 0; zeile < datei.size(); ++zeile)
        anzahl += haeltTrennzeichen(datei, zeile, trenner) ? 1 : 0;
    return anzahl;
}

// Stops at the first record that holds it, which in a fitting file is the first or second.
bool kommtVor(const Textdatei &datei, const QString &trennzeichen)
{
    const QByteArray trenner = datei.schluesselTrennzeichen(trennzeichen);
    if (trenner.isEmpty())
        return false;
    for (qsizetype zeile = 0; zeile < datei.size(); ++zeile) {
        if (haeltTrennzeichen(datei, zeile, trenner))
            return true;
    }
    return false;
}

} // namespace

std::optional<Trennzeichenvorschlag> schlageTrennzeichenVor(const Textdatei &datei,
                                                            const QString &gewaehlt)
{
    if (gewaehlt.isEmpty() || kommtVor(datei, gewaehlt))
        return std::nullopt;
    std::optional<Trennzeichenvorschlag> bester;
    for (const QString &kandidat :
         std::array{QStringLiteral("\t"), QStringLiteral(";"), QStringLiteral(",")}) {
        if (kandidat == gewaehlt)
            continue;
        const qsizetype anzahl = saetzeMit(datei, kandidat);
        if (2 * anzahl > datei.size() && (!bester || anzahl > bester->saetze))
            bester = Trennzeichenvorschlag{kandidat, anzahl, datei.size()};
    }
    return bester;
}

QString trennzeichenName(const QString &trennzeichen)
{
    if (trennzeichen == u"\t")
        return QStringLiteral("Tab");
    if (trennzeichen == u";")
        return QStringLiteral("Semikolon");
    if (trennzeichen == u",")
        return QStringLiteral("Komma");
    return QStringLiteral("„") + trennzeichen + QStringLiteral("“");
}
