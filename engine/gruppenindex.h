#pragma once

#include "fortschritt.h"
#include "schluesselregel.h"
#include "textdatei.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// Which lines share a serial number, worked out once when a file is loaded, so that a search
// step costs only the lines it passes and the group it shows, however long the file is.
// Serial numbers are compared whole: 12 and 123 are different numbers; the rule says where the
// serial number stands and which of its differences do not count.
//
// Four bytes a line say all the walk needs: whether the line has a serial number, whether it is
// the first line with it (and then whether a delimiter follows), and the next line with it.
// They are kept beside the line's start in the Textdatei, which the index is built on and
// must outlive it; so following a group to its lines costs one trip to memory a line.
class Gruppenindex
{
public:
    static constexpr qsizetype keine = -1;

    // Empty: every line counts as one without a serial number.
    Gruppenindex() = default;
    // `meldung` hears how far the index has come.
    Gruppenindex(Textdatei &zeilen, const QString &trennzeichen, const Schluesselregel &regel = {},
                 const Fortschrittsmeldung &meldung = {});

    // What a rule makes of a file: its groups of several lines, and the largest of them, the
    // first in file order among equals, by its first line and its number of lines.
    struct Ueberblick
    {
        qsizetype gruppen = 0;
        qsizetype groessteGruppe = keine;
        qsizetype groessteAnzahl = 0;
        // Whether any line reaches the rule's column.
        bool spalteGefunden = false;
    };
    // Works it out with an index of its own, and leaves the notes of the lines as they were, so
    // an index already built on them stays valid.
    static Ueberblick ueberblick(Textdatei &zeilen, const QString &trennzeichen,
                                 const Schluesselregel &regel);

    Seriennummer seriennummer(const Textdatei &zeilen, qsizetype zeile) const;
    const Schluesselregel &regel() const { return m_regel; }
    // Whether any line reaches the column of the serial number.
    bool spalteGefunden() const { return m_spalteGefunden; }

    bool hatSerie(qsizetype zeile) const { return eintrag(zeile) != ohneSerie; }
    // The first line that carries its serial number.
    bool istKopf(qsizetype zeile) const { return (eintrag(zeile) & kopf) != 0; }
    // For the first line of a serial number: whether the delimiter follows it.
    bool mitTrennzeichen(qsizetype zeile) const
    {
        return istKopf(zeile) && eintrag(zeile) & trenner;
    }
    // The next line below with the same serial number, or `keine`.
    qsizetype naechsteZeile(qsizetype zeile) const
    {
        return hatSerie(zeile) ? qsizetype(eintrag(zeile) & folge) - 1 : keine;
    }
    // Asks the processor ahead for what showing the group that starts at `zeile` reads, one
    // line of the group a call: the walk calls it with `glied` 0 while the group is still far
    // ahead and with 1, 2, ... as it comes nearer, and each call finds the line the one before
    // asked for. Nothing for a line that starts no group of several lines.
    void holeGruppeVoraus(qsizetype zeile, int glied) const;

private:
    // The top bit marks a first line, the next one a delimiter after it; the other bits hold the
    // next line with the same serial number plus one, 0 for none. The delimiter bit alone, on a
    // line that is no first line, marks a line without a serial number.
    static constexpr std::uint32_t kopf = 1u << 31;
    static constexpr std::uint32_t trenner = 1u << 30;
    static constexpr std::uint32_t folge = trenner - 1;
    static constexpr std::uint32_t ohneSerie = trenner;

    std::uint32_t eintrag(qsizetype zeile) const
    {
        return m_zeilen && zeile >= 0 && zeile < m_zeilen->size() ? m_zeilen->vermerk(zeile)
                                                                  : ohneSerie;
    }

    // As Textdatei::schluesselTrennzeichen: null when no line can hold the delimiter.
    QByteArray m_trennzeichen;
    const Textdatei *m_zeilen = nullptr;
    Schluesselregel m_regel;
    bool m_spalteGefunden = false;
};
