#pragma once

#include "fortschritt.h"
#include "kriterium.h"
#include "suchzustand.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <optional>
#include <variant>
#include <vector>

// The walk through a loaded file, group by group, and the history of its decisions. It moves
// the run's place and fills its result; it knows nothing of windows and says nothing to the
// user, so a caller decides what to show and what to ask.
class Gruppengang
{
public:
    explicit Gruppengang(SuchZustand &zustand);

    // What the lines passed on a walk leave for the captions: the line the status would name
    // and the duplicates of the last group settled without being shown (-1 for none).
    struct Gang
    {
        qsizetype statuszeile = Gruppenindex::keine;
        qsizetype funde = -1;
    };

    // How the user left a group: the list row then selected (-1 for none) and, where the edit
    // field held something else than the selected record as listed, its text then.
    struct Verlassen
    {
        qsizetype auswahl = -1;
        std::optional<QString> zeilenfeld = {};
        // The merged record the field showed, as it would stand in the file.
        std::optional<QString> zusammengefuehrt = {};
    };

    // What a command that walks may change, so that a stopped command can put it back.
    struct Stand
    {
        qsizetype aktZeile = 0;
        qsizetype anzSerien = 0;
        qsizetype anzFunde = 0;
        Ergebnisliste::Stand ergebnis;
        size_t schritte = 0;
        bool gleicheAutomatisch = false;
    };

    // What a decision keeps of a group: nothing, a line of the file byte for byte, or new bytes.
    using Behalten = std::variant<std::monostate, qsizetype, QByteArray>;

    // Before the first group of a freshly loaded file; forgets every decision.
    void beginne();
    void vergiss();

    // True while the group at the run's place waits for a decision.
    bool gruppeGezeigt() const;
    // The lines of the group at the run's place, in list order.
    std::vector<qsizetype> gruppe() const;
    bool zeilenGleich(qsizetype kopf) const;

    // Keeps a record for the group on show and remembers how the user left it. Without a
    // group on show the record still joins the result, but there is nothing to take back.
    void entscheide(const Behalten &behalten, const Verlassen &verlassen);
    // Walks on to the next group that needs the user, settling groups of equal lines on the
    // way while that is on; false past the last line.
    bool naechsteGruppe(Gang &gang, const Fortschrittsmeldung &meldung);
    // Settles the group on show and every later one by the criterion.
    void alleNach(const Kriterium &kriterium, const Verlassen &verlassen,
                  const Fortschrittsmeldung &meldung, Gang &gang);
    // Settles the group on show, keeping its first line, and walks on.
    bool uebernimmGleiche(const Verlassen &verlassen, const Fortschrittsmeldung &meldung,
                          Gang &gang);

    bool kannZuruecknehmen() const { return !m_schritte.empty(); }
    // Back to the place before the last decision; how the user left that group.
    Verlassen nimmZurueck();

    Stand stand() const;
    void kehreZurueck(const Stand &stand);

    bool gleicheAutomatisch() const { return m_gleicheAutomatisch; }
    void setzeGleicheAutomatisch(bool an) { m_gleicheAutomatisch = an; }

    // The criterion by which each group suggests a record; none at the start.
    const std::optional<Kriterium> &kriterium() const { return m_kriterium; }
    // False, keeping the criterion as it was, when no record of the loaded file holds the
    // column it reads. Stopped through `meldung`, it keeps it as it was too.
    bool setzeKriterium(const std::optional<Kriterium> &kriterium,
                        const Fortschrittsmeldung &meldung = {});
    // Reads the criterion's column of a newly loaded file anew; false when no record holds it.
    bool bestimmeLesart(const Fortschrittsmeldung &meldung = {});
    // Where in `gruppe` the criterion's suggestion stands; -1 without a criterion.
    qsizetype vorschlag(const std::vector<qsizetype> &gruppe) const;

    qsizetype verbleibendeGruppen() const;
    // The groups of this run settled so far, by the user, by a rule or on their own.
    qsizetype entschiedeneGruppen() const;
    // The groups of several lines whose first line lies in [von, bis).
    qsizetype gruppenZwischen(qsizetype von, qsizetype bis) const;

private:
    // A decision, so that it can be taken back: the group then shown, the result's size, the
    // serial numbers counted up to that group and the list row selected then. Four bytes each,
    // as no file has more lines than the group index can hold: a history of millions of
    // decisions stays small.
    struct Schritt
    {
        static constexpr std::uint32_t keineAuswahl = UINT32_MAX;
        std::uint32_t aktZeile = 0;
        std::uint32_t eintraege = 0;
        std::uint32_t bearbeitet = 0;
        std::uint32_t anzSerien = 0;
        std::uint32_t auswahl = keineAuswahl;
    };
    // The edit field's text at a decision, kept only where the user had typed or merged: most
    // decisions keep a record as listed and need none.
    struct Zeilenfeldtext
    {
        size_t schritt = 0;
        Verlassen verlassen;
    };

    void merke(const Verlassen &verlassen);
    void kuerzeVerlauf(size_t schritte);
    bool geheZumNaechstenKopf(Gang &gang, const Fortschrittsmeldung &meldung);
    void behalteNach(const Kriterium &kriterium, Gang &gang);
    qsizetype vorschlagNach(const Kriterium &kriterium, const std::vector<qsizetype> &gruppe) const;

    SuchZustand &m_zustand;
    // One entry per decision of the run so far, the latest last. A deque grows in blocks, so a
    // long history is never copied whole, nor held twice while it grows.
    std::deque<Schritt> m_schritte;
    std::deque<Zeilenfeldtext> m_zeilenfeldtexte;
    bool m_gleicheAutomatisch = false;
    std::optional<Kriterium> m_kriterium;
    // How the criterion's column reads, decided over the whole loaded file.
    Spaltenlesart m_lesart = Spaltenlesart::als(Spaltenlesart::Typ::Text);
};
