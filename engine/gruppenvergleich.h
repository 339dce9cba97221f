#pragma once

#include "satzfelder.h"
#include "suchzustand.h"

#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

// The group on show as a table, and the record to keep built from its cells. The comparison
// window shows what this gives and hands it the user's choices; the record it builds goes to
// the run as text (Duplikatensuche::zeigeZusammengefuehrt).
//
// A record is split only when its row is asked for, so a group of a million records opens as
// fast as one of ten. The column count is that of the first records and grows when a later
// record drawn has more fields (spalten() tells).
class Gruppenvergleich
{
public:
    // The group's lines in list order, from the run in `zustand`, which must outlive this.
    // `seriennummernspalte` counts from 0: the column the serial number is read from.
    Gruppenvergleich(const SuchZustand &zustand, std::vector<qsizetype> zeilen,
                     qsizetype seriennummernspalte = 0);

    qsizetype saetze() const { return qsizetype(m_zeilen.size()); }
    // The record's line in the file, from 0.
    qsizetype dateizeile(qsizetype satz) const { return m_zeilen[size_t(satz)]; }
    qsizetype spalten() const { return m_spalten; }
    // The field of the file's first record when that record belongs to no group (a header),
    // otherwise "Spalte N".
    QString spaltenname(qsizetype spalte) const;
    qsizetype seriennummernspalte() const { return m_seriennummernspalte; }

    // Empty past the record's last field.
    QString wert(qsizetype satz, qsizetype spalte) const;
    // Whether the cell differs from the same column of the group's first record.
    bool weichtAb(qsizetype satz, qsizetype spalte) const;
    // For each column, whether any record differs in it; reads every record of the group.
    std::vector<bool> abweichendeSpalten() const;

    // The record to keep. It starts as the record chosen in the list.
    void behalte(qsizetype satz);
    // One cell's field into the record to keep; its text stays as it was in that record.
    void uebernimmZelle(qsizetype satz, qsizetype spalte);
    void bearbeite(qsizetype spalte, const QString &wert);
    // Takes the last cell taken or edited back; false when there is none.
    bool nimmZurueck();
    bool hatUebernahmen() const { return !m_verlauf.empty(); }
    qsizetype behaltenerSatz() const { return m_basis; }
    QString ergebniswert(qsizetype spalte) const;
    // The record a cell of the record to keep came from, -1 for a typed one.
    qsizetype herkunft(qsizetype spalte) const;
    // Whether the cell was taken from another record or typed.
    bool geaendert(qsizetype spalte) const;
    // The record to keep as it would stand in the file.
    QString ergebnissatz() const;
    // The record whose fields the record to keep has, all of them; it is kept byte for byte.
    std::optional<qsizetype> einzigeQuelle() const;
    // The record to keep built back to `satz`, one this comparison built before a decision that
    // was taken back: each field from the record that holds exactly its text, the kept one
    // first, and typed where none does.
    void stelleWiederHer(const QString &satz);

private:
    struct Zelle
    {
        std::optional<Satzfelder::Feld> feld; // none past the source's last field
        qsizetype quelle = -1;
    };
    struct Rueckgabe
    {
        qsizetype spalte = 0;
        Zelle vorher;
    };

    const QList<Satzfelder::Feld> &felder(qsizetype satz) const;
    Zelle zelle(qsizetype satz, qsizetype spalte) const;
    void setzeZelle(qsizetype spalte, Zelle zelle);
    bool gleicht(qsizetype satz) const;

    const SuchZustand &m_zustand;
    std::vector<qsizetype> m_zeilen;
    qsizetype m_seriennummernspalte = 0;
    QList<Satzfelder::Feld> m_kopf;
    mutable qsizetype m_spalten = 0;
    QList<Satzfelder::Feld> m_erster;
    // The records split lately: those a table draws again and again as it scrolls.
    mutable std::unordered_map<qsizetype, QList<Satzfelder::Feld>> m_zwischenspeicher;

    qsizetype m_basis = 0;
    std::vector<Zelle> m_ergebnis;
    std::vector<Rueckgabe> m_verlauf;
};
