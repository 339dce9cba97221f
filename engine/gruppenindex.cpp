#include "gruppenindex.h"

#include <algorithm>
#include <bit>

#include <QHash>

Gruppenindex::Gruppenindex(const Textdatei &zeilen, const QString &trennzeichen)
    : m_trennzeichen(zeilen.schluesselTrennzeichen(trennzeichen))
    , m_erste(size_t(zeilen.size()), keine)
    , m_naechste(size_t(zeilen.size()), keine)
{
    // Open addressing with each key's hash kept in the slot: a probe reads the table only, and
    // the file's bytes only when the hashes agree. On files of a million lines a general hash
    // table spent most of the load waiting for memory, reading keys all over the file.
    struct Platz
    {
        size_t hash = 0;
        qsizetype letzte = keine; // the latest line with this key so far
    };
    const size_t groesse = std::bit_ceil(std::max<size_t>(16, size_t(zeilen.size()) * 2));
    const size_t maske = groesse - 1;
    std::vector<Platz> tabelle(groesse);
    const size_t seed = QHashSeed::globalSeed();

    // The hashes first, so that the slot a line will need can be fetched from memory while
    // the lines before it are placed.
    constexpr size_t ohneSerie = 0;
    std::vector<size_t> hashes(size_t(zeilen.size()), ohneSerie);
    for (qsizetype zeile = 0; zeile < zeilen.size(); ++zeile) {
        const QByteArrayView serie = seriennummer(zeilen, zeile).text;
        if (istSeriennummer(serie))
            hashes[size_t(zeile)] = qHash(serie, seed) | 1; // never ohneSerie
    }

    constexpr size_t vorlauf = 16;
    for (size_t zeile = 0; zeile < hashes.size(); ++zeile) {
        if (zeile + vorlauf < hashes.size())
            __builtin_prefetch(&tabelle[hashes[zeile + vorlauf] & maske]);
        const size_t hash = hashes[zeile];
        if (hash == ohneSerie)
            continue;
        // The keys themselves are compared only when the hashes agree, so a line's bytes are
        // read a second time only when it repeats a serial number.
        size_t i = hash & maske;
        while (tabelle[i].letzte != keine &&
               (tabelle[i].hash != hash || seriennummer(zeilen, tabelle[i].letzte).text !=
                                               seriennummer(zeilen, qsizetype(zeile)).text))
            i = (i + 1) & maske;

        Platz &platz = tabelle[i];
        if (platz.letzte == keine) {
            platz.hash = hash;
            m_erste[zeile] = qsizetype(zeile);
        } else {
            m_erste[zeile] = m_erste[size_t(platz.letzte)];
            m_naechste[size_t(platz.letzte)] = qsizetype(zeile);
        }
        platz.letzte = qsizetype(zeile);
    }
}

Seriennummer Gruppenindex::seriennummer(const Textdatei &zeilen, qsizetype zeile) const
{
    return seriennummerVon(zeilen.schluesselbytes(zeile), m_trennzeichen);
}

qsizetype Gruppenindex::ersteZeile(qsizetype zeile) const
{
    return size_t(zeile) < m_erste.size() ? m_erste[size_t(zeile)] : keine;
}

qsizetype Gruppenindex::naechsteZeile(qsizetype zeile) const
{
    return size_t(zeile) < m_naechste.size() ? m_naechste[size_t(zeile)] : keine;
}
