#include "gruppenindex.h"

#include <QHash>

namespace {

QByteArray kodiertesTrennzeichen(const Textdatei &zeilen, const QString &trennzeichen)
{
    if (trennzeichen.isEmpty())
        return QByteArray("");
    return zeilen.kodieren(trennzeichen).value_or(QByteArray());
}

} // namespace

Gruppenindex::Gruppenindex(const Textdatei &zeilen, const QString &trennzeichen)
    : m_trennzeichen(kodiertesTrennzeichen(zeilen, trennzeichen))
    , m_erste(size_t(zeilen.size()), keine)
    , m_naechste(size_t(zeilen.size()), keine)
{
    // The views point into the file's bytes, which outlive this loop.
    QHash<QByteArrayView, qsizetype> letzteZeile;
    letzteZeile.reserve(zeilen.size());
    for (qsizetype zeile = 0; zeile < zeilen.size(); ++zeile) {
        const QByteArrayView serie = seriennummer(zeilen, zeile).text;
        if (!istSeriennummer(serie))
            continue;
        // Holds the line number + 1 of the key's latest line; 0 for a key not seen yet.
        qsizetype &letzte = letzteZeile[serie];
        if (letzte == 0) {
            m_erste[size_t(zeile)] = zeile;
        } else {
            const qsizetype vorige = letzte - 1;
            m_erste[size_t(zeile)] = m_erste[size_t(vorige)];
            m_naechste[size_t(vorige)] = zeile;
        }
        letzte = zeile + 1;
    }
}

Seriennummer Gruppenindex::seriennummer(const Textdatei &zeilen, qsizetype zeile) const
{
    return seriennummerVon(zeilen.bytes(zeile), m_trennzeichen);
}

qsizetype Gruppenindex::ersteZeile(qsizetype zeile) const
{
    return size_t(zeile) < m_erste.size() ? m_erste[size_t(zeile)] : keine;
}

qsizetype Gruppenindex::naechsteZeile(qsizetype zeile) const
{
    return size_t(zeile) < m_naechste.size() ? m_naechste[size_t(zeile)] : keine;
}
