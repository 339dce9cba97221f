#include "gruppenindex.h"

#include <algorithm>
#include <bit>
#include <vector>
#include <cstring>
#include <new>

#include <QHash>

namespace {

// A quick hash of a serial number's bytes, eight at a time, finished with the mixing step of
// MurmurHash3 so that every bit of the key reaches the top bits the table is indexed with.
// The seed is the process's own, as QHash's, so that no file can be made to collide on purpose.
std::uint32_t hashVon(QByteArrayView text, std::uint64_t seed)
{
    constexpr std::uint64_t faktor = 0x9E3779B97F4A7C15ULL;
    std::uint64_t h = seed ^ (std::uint64_t(text.size()) * faktor);
    const char *p = text.data();
    qsizetype rest = text.size();
    for (; rest > 0; p += 8, rest -= 8) {
        std::uint64_t wort = 0;
        std::memcpy(&wort, p, size_t(std::min<qsizetype>(rest, 8)));
        h = (h ^ wort) * faktor;
        h ^= h >> 29;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return std::uint32_t(h);
}

constexpr std::uint32_t mitSerieBit = 1;
constexpr std::uint32_t mitTrennerBit = 2;

} // namespace

Gruppenindex::Gruppenindex(Textdatei &zeilen, const QString &trennzeichen,
                           const Schluesselregel &regel, const Fortschrittsmeldung &meldung)
    : m_trennzeichen(zeilen.schluesselTrennzeichen(trennzeichen))
    , m_zeilen(&zeilen)
    , m_regel(regel)
{
    const qsizetype anzahl = zeilen.size();
    // No machine holds the line table of a file with a billion lines; such a file is simply
    // too large for the memory.
    if (anzahl >= qsizetype(folge))
        throw std::bad_alloc();
    // Reading the serial numbers, sorting them into parts and matching them take about the
    // same time.
    if (meldung)
        meldung(0, 3 * anzahl);

    // A hash table over all lines of a large file is far larger than the processor's caches,
    // and every line would cost a trip to memory. So the lines are first sorted by the top bits
    // of their hash into parts of some ten thousand lines, each in file order, and each part is
    // then matched in a small table that stays in the cache.
    const int bits = std::bit_width(std::uint64_t(std::max<qsizetype>(anzahl / 16384, 1))) - 1;
    const auto teilVon = [bits](std::uint32_t hash) {
        return bits == 0 ? qsizetype(0) : qsizetype(hash >> (32 - bits));
    };
    const std::uint64_t seed = QHashSeed::globalSeed();
    // Until the lines are matched, each line's note holds its hash, whose lowest bit is set, or
    // the mark of a line without a serial number, whose lowest bit is clear: no table of its own
    // has to be taken from the system and filled.
    static_assert((ohneSerie & mitSerieBit) == 0);
    std::vector<qsizetype> beginn((size_t(1) << bits) + 1, 0);
    constexpr qsizetype vorlauf = 16;
    const bool windows1252 = zeilen.kodierung() == Textdatei::Kodierung::Windows1252;
    QByteArray puffer;
    QByteArray vergleichspuffer;
    // Copies of their own, which the compiler can keep in registers: the stores into the line
    // table might otherwise change the members for all it knows.
    const Schluesselregel schluesselregel = m_regel;
    const QByteArrayView trennbytes = m_trennzeichen;
    const auto lies = [&](qsizetype zeile) {
        return schluesselregel.lies(zeilen.schluesselbytes(zeile), trennbytes);
    };
    bool spalteGefunden = false;
    for (qsizetype zeile = 0; zeile < anzahl; ++zeile) {
        meldeAlle(meldung, zeile, zeile, 3 * anzahl);
        if (zeile + vorlauf < anzahl)
            zeilen.holeVoraus(zeile + vorlauf);
        const Seriennummer serie = lies(zeile);
        spalteGefunden = spalteGefunden || serie.vorhanden();
        if (!schluesselregel.istSeriennummer(serie)) {
            zeilen.setzeVermerk(zeile, ohneSerie);
            continue;
        }
        // The lowest bit marks a line with a serial number, the next one a delimiter after it.
        const QByteArrayView schluessel =
            schluesselregel.vergleichsform(serie.text(), windows1252, puffer);
        const std::uint32_t hash = (hashVon(schluessel, seed) & ~mitTrennerBit) | mitSerieBit |
                                   (serie.mitTrennzeichen() ? mitTrennerBit : 0);
        zeilen.setzeVermerk(zeile, hash);
        ++beginn[size_t(teilVon(hash)) + 1];
    }
    m_spalteGefunden = spalteGefunden;
    for (size_t teil = 1; teil < beginn.size(); ++teil)
        beginn[teil] += beginn[teil - 1];

    struct Paar
    {
        std::uint32_t hash = 0;
        std::uint32_t zeile = 0;
    };
    Grossfeld<Paar> paare;
    paare.belegeNullen(beginn.back(), [&] {
        if (meldung)
            meldung(anzahl, 3 * anzahl);
    });
    {
        std::vector<qsizetype> frei(beginn.begin(), beginn.end() - 1);
        for (qsizetype zeile = 0; zeile < anzahl; ++zeile) {
            meldeAlle(meldung, zeile, anzahl + zeile, 3 * anzahl);
            if (const std::uint32_t hash = zeilen.vermerk(zeile); hash & mitSerieBit)
                paare[frei[size_t(teilVon(hash))]++] = {hash, std::uint32_t(zeile)};
        }
    }

    // Open addressing with each key's hash kept in the slot: a probe reads the table only, and
    // the file's bytes only when the hashes agree.
    struct Platz
    {
        std::uint32_t hash = 0;
        std::uint32_t letzte = 0; // the latest line with this key so far, plus one; 0: free
    };
    qsizetype groesstes = 0;
    for (size_t teil = 0; teil + 1 < beginn.size(); ++teil)
        groesstes = std::max(groesstes, beginn[teil + 1] - beginn[teil]);
    const size_t maske = std::bit_ceil(size_t(2 * groesstes + 16)) - 1;
    std::vector<Platz> tabelle(maske + 1);
    const auto platzVon = [maske](std::uint32_t hash) { return size_t(hash >> 2) & maske; };
    const auto gleicherHash = [](std::uint32_t a, std::uint32_t b) {
        return ((a ^ b) & ~mitTrennerBit) == 0;
    };
    const auto gleicheSerie = [&](qsizetype eine, qsizetype andere) {
        const Seriennummer a = lies(eine);
        const Seriennummer b = lies(andere);
        return schluesselregel.vergleichsform(a.text(), windows1252, puffer) ==
               schluesselregel.vergleichsform(b.text(), windows1252, vergleichspuffer);
    };
    // The line a pair will likely be compared with, or 0.
    const auto vergleich = [&](const Paar &paar) {
        const Platz &platz = tabelle[platzVon(paar.hash)];
        return platz.letzte != 0 && gleicherHash(platz.hash, paar.hash) ? platz.letzte : 0;
    };
    for (size_t teil = 0; teil + 1 < beginn.size(); ++teil) {
        const qsizetype ende = beginn[teil + 1];
        for (qsizetype k = beginn[teil]; k < ende; ++k) {
            meldeAlle(meldung, k, 2 * anzahl + k, 3 * anzahl);
            // The lines of a part lie all over the file, and each gets its note. A line that
            // repeats a serial number is compared with the latest line before it that has it:
            // where both start is asked for ahead, then their bytes.
            if (k + 2 * vorlauf < ende) {
                const Paar spaeter = paare[k + 2 * vorlauf];
                zeilen.holeAnfangVoraus(spaeter.zeile);
                if (const std::uint32_t letzte = vergleich(spaeter))
                    zeilen.holeAnfangVoraus(letzte - 1);
            }
            if (k + vorlauf < ende) {
                const Paar spaeter = paare[k + vorlauf];
                if (const std::uint32_t letzte = vergleich(spaeter)) {
                    zeilen.holeVoraus(letzte - 1);
                    zeilen.holeVoraus(spaeter.zeile);
                }
            }
            const auto [hash, zeile] = paare[k];
            size_t i = platzVon(hash);
            while (tabelle[i].letzte != 0 && (!gleicherHash(tabelle[i].hash, hash) ||
                                              !gleicheSerie(tabelle[i].letzte - 1, zeile)))
                i = (i + 1) & maske;
            // Plain stores where they can be: a store that need not read its target first never
            // waits for memory.
            Platz &platz = tabelle[i];
            if (platz.letzte == 0) {
                platz.hash = hash;
                zeilen.setzeVermerk(zeile, kopf | (hash & mitTrennerBit ? trenner : 0));
            } else {
                zeilen.setzeVermerk(zeile, 0);
                zeilen.ergaenzeVermerk(platz.letzte - 1, zeile + 1);
            }
            platz.letzte = zeile + 1;
        }
        // Only the slots this part used are cleared for the next one.
        for (qsizetype k = beginn[teil]; k < ende; ++k)
            for (size_t i = platzVon(paare[k].hash); tabelle[i].letzte != 0; i = (i + 1) & maske)
                tabelle[i] = {};
    }
}

void Gruppenindex::holeGruppeVoraus(qsizetype zeile, int glied) const
{
    if (!istKopf(zeile) || naechsteZeile(zeile) == keine)
        return;
    for (; glied > 0 && zeile != keine; --glied)
        zeile = naechsteZeile(zeile);
    if (zeile == keine)
        return;
    m_zeilen->holeVoraus(zeile);
    if (const qsizetype weiter = naechsteZeile(zeile); weiter != keine)
        m_zeilen->holeAnfangVoraus(weiter);
}

Seriennummer Gruppenindex::seriennummer(const Textdatei &zeilen, qsizetype zeile) const
{
    return m_regel.lies(zeilen.schluesselbytes(zeile), m_trennzeichen);
}

Gruppenindex::Ueberblick Gruppenindex::ueberblick(Textdatei &zeilen, const QString &trennzeichen,
                                                  const Schluesselregel &regel)
{
    std::vector<std::uint32_t> vermerke(size_t(zeilen.size()));
    for (qsizetype zeile = 0; zeile < zeilen.size(); ++zeile)
        vermerke[size_t(zeile)] = zeilen.vermerk(zeile);
    Ueberblick ergebnis;
    {
        const Gruppenindex index(zeilen, trennzeichen, regel);
        ergebnis.spalteGefunden = index.spalteGefunden();
        for (qsizetype kopf = 0; kopf < zeilen.size(); ++kopf) {
            if (!index.istKopf(kopf) || index.naechsteZeile(kopf) == keine)
                continue;
            ++ergebnis.gruppen;
            qsizetype anzahl = 0;
            for (qsizetype zeile = kopf; zeile != keine; zeile = index.naechsteZeile(zeile))
                ++anzahl;
            if (anzahl > ergebnis.groessteAnzahl) {
                ergebnis.groessteAnzahl = anzahl;
                ergebnis.groessteGruppe = kopf;
            }
        }
    }
    for (qsizetype zeile = 0; zeile < zeilen.size(); ++zeile)
        zeilen.setzeVermerk(zeile, vermerke[size_t(zeile)]);
    return ergebnis;
}
