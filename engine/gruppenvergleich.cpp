#include "gruppenvergleich.h"

#include <algorithm>

namespace {

// Enough records to find the column count of nearly any file at once, few enough to open a
// group of any size without waiting.
constexpr qsizetype vorabGezaehlt = 256;
constexpr size_t zwischenspeicherGrenze = 4096;

} // namespace

Gruppenvergleich::Gruppenvergleich(const SuchZustand &zustand, std::vector<qsizetype> zeilen,
                                   qsizetype seriennummernspalte)
    : m_zustand(zustand)
    , m_zeilen(std::move(zeilen))
    , m_seriennummernspalte(seriennummernspalte)
{
    const Gruppenindex &gruppen = zustand.Gruppen;
    const bool ersteInGruppe = gruppen.hatSerie(0) && gruppen.istKopf(0) &&
                               gruppen.naechsteZeile(0) != Gruppenindex::keine;
    if (zustand.Zeilen.size() > 0 && !ersteInGruppe)
        m_kopf = Satzfelder::teile(zustand.Zeilen.text(0), zustand.Trennzeichen);
    m_spalten = m_kopf.size();
    if (!m_zeilen.empty())
        m_erster = felder(0);
    for (qsizetype satz = 0; satz < std::min(saetze(), vorabGezaehlt); ++satz)
        felder(satz);
    m_spalten = std::max<qsizetype>(m_spalten, 1);
    if (!m_zeilen.empty())
        behalte(0);
}

QString Gruppenvergleich::spaltenname(qsizetype spalte) const
{
    if (spalte < m_kopf.size())
        return m_kopf[spalte].wert;
    return QStringLiteral("Spalte ") + QString::number(spalte + 1);
}

const QList<Satzfelder::Feld> &Gruppenvergleich::felder(qsizetype satz) const
{
    if (satz == 0 && !m_erster.isEmpty())
        return m_erster;
    auto gefunden = m_zwischenspeicher.find(satz);
    if (gefunden != m_zwischenspeicher.end())
        return gefunden->second;
    if (m_zwischenspeicher.size() >= zwischenspeicherGrenze)
        m_zwischenspeicher.clear();
    const QString text = m_zustand.Zeilen.text(dateizeile(satz));
    auto &felder = m_zwischenspeicher[satz] = Satzfelder::teile(text, m_zustand.Trennzeichen);
    m_spalten = std::max(m_spalten, felder.size());
    return felder;
}

QString Gruppenvergleich::wert(qsizetype satz, qsizetype spalte) const
{
    const QList<Satzfelder::Feld> &f = felder(satz);
    return spalte < f.size() ? f[spalte].wert : QString();
}

bool Gruppenvergleich::weichtAb(qsizetype satz, qsizetype spalte) const
{
    return satz > 0 && wert(satz, spalte) != wert(0, spalte);
}

std::vector<bool> Gruppenvergleich::abweichendeSpalten() const
{
    std::vector<bool> abweichend(size_t(m_spalten), false);
    // Each record is split once and not kept: the scan would only push out the records the
    // table draws.
    for (qsizetype satz = 1; satz < saetze(); ++satz) {
        const QList<Satzfelder::Feld> f =
            Satzfelder::teile(m_zustand.Zeilen.text(dateizeile(satz)), m_zustand.Trennzeichen);
        // A record with more fields than any before widens the table.
        m_spalten = std::max(m_spalten, f.size());
        abweichend.resize(size_t(m_spalten), false);
        for (qsizetype spalte = 0; spalte < m_spalten; ++spalte) {
            const QString wert = spalte < f.size() ? f[spalte].wert : QString();
            if (wert != this->wert(0, spalte))
                abweichend[size_t(spalte)] = true;
        }
    }
    return abweichend;
}

Gruppenvergleich::Zelle Gruppenvergleich::zelle(qsizetype satz, qsizetype spalte) const
{
    const QList<Satzfelder::Feld> &f = felder(satz);
    if (spalte < f.size())
        return {f[spalte], satz};
    return {std::nullopt, satz};
}

void Gruppenvergleich::behalte(qsizetype satz)
{
    m_basis = satz;
    m_verlauf.clear();
    const qsizetype anzahl = felder(satz).size();
    m_ergebnis.clear();
    for (qsizetype spalte = 0; spalte < anzahl; ++spalte)
        m_ergebnis.push_back(zelle(satz, spalte));
}

void Gruppenvergleich::setzeZelle(qsizetype spalte, Zelle zelle)
{
    if (qsizetype(m_ergebnis.size()) <= spalte)
        m_ergebnis.resize(size_t(spalte + 1), Zelle{std::nullopt, m_basis});
    m_verlauf.push_back({spalte, m_ergebnis[size_t(spalte)]});
    m_ergebnis[size_t(spalte)] = std::move(zelle);
}

void Gruppenvergleich::uebernimmZelle(qsizetype satz, qsizetype spalte)
{
    setzeZelle(spalte, zelle(satz, spalte));
}

void Gruppenvergleich::bearbeite(qsizetype spalte, const QString &wert)
{
    setzeZelle(spalte,
               {Satzfelder::Feld{wert, Satzfelder::alsFeld(wert, m_zustand.Trennzeichen)}, -1});
}

bool Gruppenvergleich::nimmZurueck()
{
    if (m_verlauf.empty())
        return false;
    Rueckgabe rueckgabe = std::move(m_verlauf.back());
    m_verlauf.pop_back();
    m_ergebnis[size_t(rueckgabe.spalte)] = std::move(rueckgabe.vorher);
    return true;
}

QString Gruppenvergleich::ergebniswert(qsizetype spalte) const
{
    if (spalte >= qsizetype(m_ergebnis.size()) || !m_ergebnis[size_t(spalte)].feld)
        return QString();
    return m_ergebnis[size_t(spalte)].feld->wert;
}

qsizetype Gruppenvergleich::herkunft(qsizetype spalte) const
{
    return spalte < qsizetype(m_ergebnis.size()) ? m_ergebnis[size_t(spalte)].quelle : m_basis;
}

bool Gruppenvergleich::geaendert(qsizetype spalte) const
{
    return herkunft(spalte) != m_basis;
}

QString Gruppenvergleich::ergebnissatz() const
{
    QList<std::optional<QString>> rohfelder;
    for (const Zelle &z : m_ergebnis)
        rohfelder.append(z.feld ? std::optional<QString>(z.feld->roh) : std::nullopt);
    return Satzfelder::verbinde(rohfelder, m_zustand.Trennzeichen);
}

// Equal values, a missing field as an empty one: the record read back would be the same.
bool Gruppenvergleich::gleicht(qsizetype satz) const
{
    const qsizetype anzahl = std::max(qsizetype(m_ergebnis.size()), felder(satz).size());
    for (qsizetype spalte = 0; spalte < anzahl; ++spalte) {
        if (ergebniswert(spalte) != wert(satz, spalte))
            return false;
    }
    return true;
}

void Gruppenvergleich::stelleWiederHer(const QString &satz)
{
    const QList<Satzfelder::Feld> gesucht = Satzfelder::teile(satz, m_zustand.Trennzeichen);
    const qsizetype anzahl = std::max(gesucht.size(), qsizetype(m_ergebnis.size()));
    for (qsizetype spalte = 0; spalte < anzahl; ++spalte) {
        // Past the record's end a field is missing, as in a shorter record.
        const std::optional<QString> roh =
            spalte < gesucht.size() ? std::optional(gesucht[spalte].roh) : std::nullopt;
        const auto haelt = [&](qsizetype quelle) {
            const QList<Satzfelder::Feld> &f = felder(quelle);
            return spalte < f.size() ? roh == f[spalte].roh : !roh;
        };
        if (haelt(m_basis))
            continue;
        qsizetype quelle = 0;
        while (quelle < saetze() && !haelt(quelle))
            ++quelle;
        if (quelle < saetze())
            uebernimmZelle(quelle, spalte);
        else
            setzeZelle(spalte, {gesucht.value(spalte), -1});
    }
}

std::optional<qsizetype> Gruppenvergleich::einzigeQuelle() const
{
    std::vector<qsizetype> kandidaten{m_basis};
    for (const Zelle &z : m_ergebnis) {
        if (z.quelle >= 0 &&
            std::find(kandidaten.begin(), kandidaten.end(), z.quelle) == kandidaten.end())
            kandidaten.push_back(z.quelle);
    }
    for (const qsizetype satz : kandidaten) {
        if (gleicht(satz))
            return satz;
    }
    return std::nullopt;
}
