#include "gruppenindex.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <new>

#include <QHash>

Gruppenindex::Gruppenindex(const Textdatei &zeilen, const QString &trennzeichen)
    : m_trennzeichen(zeilen.schluesselTrennzeichen(trennzeichen))
    , m_erste(size_t(zeilen.size()), keine)
    , m_naechste(size_t(zeilen.size()), keine)
{
    // Open addressing with each key's hash kept in the slot: a probe reads the table only, and
    // the file's bytes only when the hashes agree. On files of a million lines a general hash
    // table spent most of the load waiting for memory, reading keys all over the file. Slots of
    // 32-bit hashes and line numbers keep the table, the largest thing built at load besides the
    // file itself, at 16 bytes a line.
    constexpr std::uint32_t frei = std::numeric_limits<std::uint32_t>::max();
    struct Platz
    {
        std::uint32_t hash = 0;
        std::uint32_t letzte = frei; // the latest line with this key so far
    };
    // No machine holds the line table of a file with four billion lines; such a file is simply
    // too large for the memory.
    if (zeilen.size() >= qsizetype(frei))
        throw std::bad_alloc();
    const size_t groesse = std::bit_ceil(std::max<size_t>(16, size_t(zeilen.size()) * 2));
    const size_t maske = groesse - 1;
    std::vector<Platz> tabelle(groesse);
    const size_t seed = QHashSeed::globalSeed();

    // The hashes first, so that the slot a line will need can be fetched from memory while
    // the lines before it are placed.
    constexpr std::uint32_t ohneSerie = 0;
    std::vector<std::uint32_t> hashes(size_t(zeilen.size()), ohneSerie);
    for (qsizetype zeile = 0; zeile < zeilen.size(); ++zeile) {
        const Seriennummer serie = seriennummer(zeilen, zeile);
        if (istSeriennummer(serie.text()))
            hashes[size_t(zeile)] = std::uint32_t(qHash(serie.text(), seed)) | 1; // never ohneSerie
    }

    constexpr size_t vorlauf = 16;
    for (size_t zeile = 0; zeile < hashes.size(); ++zeile) {
        if (zeile + vorlauf < hashes.size())
            __builtin_prefetch(&tabelle[hashes[zeile + vorlauf] & maske]);
        const std::uint32_t hash = hashes[zeile];
        if (hash == ohneSerie)
            continue;
        // The keys themselves are compared only when the hashes agree, so a line's bytes are
        // read a second time only when it repeats a serial number.
        size_t i = hash & maske;
        while (tabelle[i].letzte != frei &&
               (tabelle[i].hash != hash || seriennummer(zeilen, tabelle[i].letzte).text() !=
                                               seriennummer(zeilen, qsizetype(zeile)).text()))
            i = (i + 1) & maske;

        Platz &platz = tabelle[i];
        if (platz.letzte == frei) {
            platz.hash = hash;
            m_erste[zeile] = qsizetype(zeile);
        } else {
            m_erste[zeile] = m_erste[platz.letzte];
            m_naechste[platz.letzte] = qsizetype(zeile);
        }
        platz.letzte = std::uint32_t(zeile);
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
