#include "gruppengang.h"

#include <algorithm>
#include <utility>

namespace {

// How far ahead the walk asks for the lines of the groups to come, and for how many lines of
// each: some six groups of the benchmark's make-up, and most of their lines.
constexpr qsizetype vorausZeilen = 64;
constexpr int vorausGlieder = 3;

} // namespace

Gruppengang::Gruppengang(SuchZustand &zustand)
    : m_zustand(zustand)
{
}

void Gruppengang::beginne()
{
    m_zustand.AnzSerien = 0;
    m_zustand.AktZeile = -1;
    m_zustand.Ergebnis = {};
    vergiss();
}

void Gruppengang::vergiss()
{
    kuerzeVerlauf(0);
}

bool Gruppengang::gruppeGezeigt() const
{
    const SuchZustand &z = m_zustand;
    return z.Gruppen.istKopf(z.AktZeile) &&
           z.Gruppen.naechsteZeile(z.AktZeile) != Gruppenindex::keine;
}

std::vector<qsizetype> Gruppengang::gruppe() const
{
    const SuchZustand &z = m_zustand;
    std::vector<qsizetype> zeilen;
    for (qsizetype zeile = z.AktZeile; zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile))
        zeilen.push_back(zeile);
    return zeilen;
}

bool Gruppengang::zeilenGleich(qsizetype kopf) const
{
    const SuchZustand &z = m_zustand;
    const QByteArrayView erste = z.Zeilen.bytes(kopf);
    for (qsizetype zeile = z.Gruppen.naechsteZeile(kopf); zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile)) {
        if (z.Zeilen.bytes(zeile) != erste)
            return false;
    }
    return true;
}

void Gruppengang::entscheide(const Behalten &behalten, const Verlassen &verlassen)
{
    if (gruppeGezeigt())
        merke(verlassen);
    if (const auto *zeile = std::get_if<qsizetype>(&behalten))
        m_zustand.Ergebnis.uebernehmeZeile(*zeile);
    else if (const auto *bytes = std::get_if<QByteArray>(&behalten))
        m_zustand.Ergebnis.uebernehmeBearbeitet(*bytes);
}

// The history entry holds the state before the decision, so it is taken before the decision
// touches the result.
void Gruppengang::merke(const Verlassen &verlassen)
{
    const Ergebnisliste::Stand stand = m_zustand.Ergebnis.stand();
    if (verlassen.zeilenfeld || verlassen.zusammengefuehrt)
        m_zeilenfeldtexte.push_back({m_schritte.size(), verlassen});
    m_schritte.push_back(
        {std::uint32_t(m_zustand.AktZeile), std::uint32_t(stand.eintraege),
         std::uint32_t(stand.bearbeitet), std::uint32_t(m_zustand.AnzSerien),
         verlassen.auswahl >= 0 ? std::uint32_t(verlassen.auswahl) : Schritt::keineAuswahl});
}

void Gruppengang::kuerzeVerlauf(size_t schritte)
{
    m_schritte.resize(std::min(schritte, m_schritte.size()));
    while (!m_zeilenfeldtexte.empty() && m_zeilenfeldtexte.back().schritt >= m_schritte.size())
        m_zeilenfeldtexte.pop_back();
}

Gruppengang::Verlassen Gruppengang::nimmZurueck()
{
    const Schritt schritt = m_schritte.back();
    m_schritte.pop_back();
    SuchZustand &z = m_zustand;
    z.Ergebnis.kehreZurueck({schritt.eintraege, schritt.bearbeitet});
    z.AktZeile = schritt.aktZeile;
    z.AnzSerien = schritt.anzSerien;
    Verlassen verlassen;
    if (!m_zeilenfeldtexte.empty() && m_zeilenfeldtexte.back().schritt == m_schritte.size()) {
        verlassen = m_zeilenfeldtexte.back().verlassen;
        m_zeilenfeldtexte.pop_back();
    }
    verlassen.auswahl = schritt.auswahl == Schritt::keineAuswahl ? -1 : qsizetype(schritt.auswahl);
    return verlassen;
}

Gruppengang::Stand Gruppengang::stand() const
{
    const SuchZustand &z = m_zustand;
    return {z.AktZeile,         z.AnzSerien,       z.AnzFunde,
            z.Ergebnis.stand(), m_schritte.size(), m_gleicheAutomatisch};
}

void Gruppengang::kehreZurueck(const Stand &stand)
{
    SuchZustand &z = m_zustand;
    z.AktZeile = stand.aktZeile;
    z.AnzSerien = stand.anzSerien;
    z.AnzFunde = stand.anzFunde;
    z.Ergebnis.kehreZurueck(stand.ergebnis);
    kuerzeVerlauf(stand.schritte);
    m_gleicheAutomatisch = stand.gleicheAutomatisch;
}

bool Gruppengang::naechsteGruppe(Gang &gang, const Fortschrittsmeldung &meldung)
{
    while (geheZumNaechstenKopf(gang, meldung)) {
        if (!m_gleicheAutomatisch || !zeilenGleich(m_zustand.AktZeile))
            return true;
        behalteNach(Kriterium::erste(), gang);
    }
    return false;
}

void Gruppengang::alleNach(const Kriterium &kriterium, const Verlassen &verlassen,
                           const Fortschrittsmeldung &meldung, Gang &gang)
{
    merke(verlassen);
    do
        behalteNach(kriterium, gang);
    while (geheZumNaechstenKopf(gang, meldung));
}

bool Gruppengang::uebernimmGleiche(const Verlassen &verlassen, const Fortschrittsmeldung &meldung,
                                   Gang &gang)
{
    merke(verlassen);
    behalteNach(Kriterium::erste(), gang);
    return naechsteGruppe(gang, meldung);
}

// Moves AktZeile on to the next line that heads a group of several lines, passing every line
// without a serial number and every unique one into the result and counting the serial numbers
// met; false past the last line. The walk of "Weiter" and the rules share it, so both count
// alike.
bool Gruppengang::geheZumNaechstenKopf(Gang &gang, const Fortschrittsmeldung &meldung)
{
    SuchZustand &z = m_zustand;
    while (++z.AktZeile < z.Zeilen.size()) {
        meldeAlle(meldung, z.AktZeile, z.AktZeile, z.Zeilen.size());
        // The lines of the groups ahead lie anywhere in a file far larger than the processor's
        // caches, and each leads to the next: they are asked for a line of the group at a time
        // while the walk comes nearer, so that none is waited for when the group is shown.
        for (int glied = 0; glied < vorausGlieder; ++glied)
            z.Gruppen.holeGruppeVoraus(z.AktZeile + (vorausZeilen >> glied), glied);
        if (!z.Gruppen.hatSerie(z.AktZeile)) {
            z.Ergebnis.uebernehmeZeile(z.AktZeile);
            continue;
        }
        // The group of this serial number was settled when its first line was reached. Lines
        // are passed without reading them, so a step right after a huge group stays quick.
        if (!z.Gruppen.istKopf(z.AktZeile))
            continue;
        if (z.Gruppen.mitTrennzeichen(z.AktZeile))
            ++z.AnzSerien;
        gang.statuszeile = z.AktZeile;
        z.AnzFunde = 0;
        if (z.Gruppen.naechsteZeile(z.AktZeile) != Gruppenindex::keine)
            return true;
        z.Ergebnis.uebernehmeZeile(z.AktZeile);
    }
    return false;
}

// Settles the group at AktZeile without showing it: the kept line, unedited, takes the place
// of the group's first line, as if the user had selected it and kept it.
void Gruppengang::behalteNach(const Kriterium &kriterium, Gang &gang)
{
    SuchZustand &z = m_zustand;
    // The first and the last line need only the chain of the group; the other criteria read
    // its lines.
    const bool liestZeilen =
        kriterium.art() != Kriterium::Art::Erste && kriterium.art() != Kriterium::Art::Letzte;
    std::vector<qsizetype> zeilen;
    qsizetype letzte = z.AktZeile;
    z.AnzFunde = -1;
    for (qsizetype zeile = z.AktZeile; zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile)) {
        if (liestZeilen)
            zeilen.push_back(zeile);
        letzte = zeile;
        ++z.AnzFunde;
    }
    const qsizetype behalten =
        kriterium.art() == Kriterium::Art::Erste ? z.AktZeile
        : kriterium.art() == Kriterium::Art::Letzte
            ? letzte
            : zeilen.at(size_t(std::max(vorschlagNach(kriterium, zeilen), qsizetype(0))));
    z.Ergebnis.uebernehmeZeile(behalten);
    gang.statuszeile = behalten;
    gang.funde = z.AnzFunde;
}

qsizetype Gruppengang::vorschlag(const std::vector<qsizetype> &gruppe) const
{
    return m_kriterium ? std::max(vorschlagNach(*m_kriterium, gruppe), qsizetype(0)) : -1;
}

qsizetype Gruppengang::vorschlagNach(const Kriterium &kriterium,
                                     const std::vector<qsizetype> &gruppe) const
{
    std::vector<QString> saetze;
    saetze.reserve(gruppe.size());
    for (const qsizetype zeile : gruppe)
        saetze.push_back(m_zustand.Zeilen.text(zeile));
    return vorgeschlagen(kriterium, saetze, m_zustand.Trennzeichen, m_lesart);
}

bool Gruppengang::setzeKriterium(const std::optional<Kriterium> &kriterium,
                                 const Fortschrittsmeldung &meldung)
{
    const auto bisher = std::exchange(m_kriterium, kriterium);
    const Spaltenlesart bisherigeLesart = m_lesart;
    const auto behalteBisheriges = [&] {
        m_kriterium = bisher;
        m_lesart = bisherigeLesart;
    };
    bool vorhanden = false;
    try {
        vorhanden = bestimmeLesart(meldung);
    } catch (const Fortschritt::Abbruch &) {
        behalteBisheriges();
        throw;
    }
    if (!vorhanden)
        behalteBisheriges();
    return vorhanden;
}

bool Gruppengang::bestimmeLesart(const Fortschrittsmeldung &meldung)
{
    m_lesart = Spaltenlesart::als(Spaltenlesart::Typ::Text);
    const SuchZustand &z = m_zustand;
    if (!m_kriterium || !m_kriterium->liestWerte() || z.GeladenerPfad.isEmpty())
        return true;
    // Only the lines of groups are ever compared, so only they decide how the column reads.
    const int spalte = m_kriterium->spalte();
    std::vector<QString> werte;
    bool vorhanden = false;
    for (qsizetype zeile = 0; zeile < z.Zeilen.size(); ++zeile) {
        meldeAlle(meldung, zeile, zeile, z.Zeilen.size());
        const bool inGruppe =
            z.Gruppen.hatSerie(zeile) &&
            (!z.Gruppen.istKopf(zeile) || z.Gruppen.naechsteZeile(zeile) != Gruppenindex::keine);
        if (vorhanden && !inGruppe)
            continue;
        const QString satz = z.Zeilen.text(zeile);
        vorhanden = vorhanden || feldtexte(satz, z.Trennzeichen).size() >= spalte;
        if (inGruppe)
            werte.push_back(feldtext(satz, z.Trennzeichen, spalte));
    }
    m_lesart = Spaltenlesart::bestimme(werte);
    return vorhanden;
}

qsizetype Gruppengang::verbleibendeGruppen() const
{
    return gruppenZwischen(m_zustand.AktZeile, m_zustand.Zeilen.size());
}

// The walk goes from top to bottom, so every group that starts above the line under examination
// is settled; past the last line all of them are.
qsizetype Gruppengang::entschiedeneGruppen() const
{
    return gruppenZwischen(0, std::min(m_zustand.AktZeile, m_zustand.Zeilen.size()));
}

qsizetype Gruppengang::gruppenZwischen(qsizetype von, qsizetype bis) const
{
    const SuchZustand &z = m_zustand;
    qsizetype anzahl = 0;
    for (qsizetype zeile = std::max(von, qsizetype(0)); zeile < bis; ++zeile) {
        if (z.Gruppen.istKopf(zeile) && z.Gruppen.naechsteZeile(zeile) != Gruppenindex::keine)
            ++anzahl;
    }
    return anzahl;
}
