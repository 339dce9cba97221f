#include "ergebnisliste.h"

#include <algorithm>

void Ergebnisliste::uebernehmeZeile(qsizetype zeile)
{
    m_eintraege.push_back(std::uint32_t(zeile));
}

void Ergebnisliste::uebernehmeBearbeitet(QByteArray bytes)
{
    m_eintraege.push_back(bearbeitet | std::uint32_t(m_bearbeitet.size()));
    m_bearbeitet.push_back(std::move(bytes));
}

Ergebnisliste::Stand Ergebnisliste::stand() const
{
    return {size(), qsizetype(m_bearbeitet.size())};
}

void Ergebnisliste::kehreZurueck(Stand stand)
{
    if (stand.eintraege < size())
        m_eintraege.resize(stand.eintraege);
    if (stand.bearbeitet < qsizetype(m_bearbeitet.size()))
        m_bearbeitet.resize(size_t(stand.bearbeitet));
}

QByteArrayView Ergebnisliste::bytes(const Textdatei &quelle, qsizetype index) const
{
    const std::uint32_t eintrag = m_eintraege[index];
    if (eintrag & bearbeitet)
        return m_bearbeitet.at(eintrag & ~bearbeitet);
    return quelle.bytes(eintrag);
}

QString Ergebnisliste::text(const Textdatei &quelle, qsizetype index) const
{
    return quelle.dekodieren(bytes(quelle, index));
}

QByteArray Ergebnisliste::dateiinhalt(const Textdatei &quelle) const
{
    QByteArray inhalt;
    schreibeInhalt(quelle, [&inhalt](QByteArrayView stueck) {
        inhalt.append(stueck);
        return true;
    });
    return inhalt;
}

// The last entry from `index` on, and before `grenze`, whose line follows the one before it in
// the file, with the very line end the result writes between them.
qsizetype Ergebnisliste::zusammenhaengendBis(const Textdatei &quelle, qsizetype index,
                                             qsizetype grenze) const
{
    const QByteArrayView zeilenende = quelle.zeilenendeBytes();
    qsizetype letzte = index;
    if (m_eintraege[index] & bearbeitet)
        return letzte;
    QByteArrayView stueck = quelle.bytes(m_eintraege[index]);
    while (letzte + 1 < grenze) {
        const std::uint32_t folgt = m_eintraege[letzte + 1];
        if (folgt != m_eintraege[letzte] + 1)
            break;
        const QByteArrayView naechstes = quelle.bytes(folgt);
        const char *ende = stueck.data() + stueck.size();
        if (naechstes.data() != ende + zeilenende.size() ||
            QByteArrayView(ende, zeilenende.size()) != zeilenende)
            break;
        stueck = naechstes;
        ++letzte;
    }
    return letzte;
}

bool Ergebnisliste::schreibeInhalt(const Textdatei &quelle,
                                   const std::function<bool(QByteArrayView)> &ziel,
                                   const Fortschrittsmeldung &meldung) const
{
    const QByteArrayView zeilenende = quelle.zeilenendeBytes();
    if (!ziel(quelle.vorspann()))
        return false;
    qsizetype naechsteMeldung = 0;
    for (qsizetype i = 0; i < size(); ++i) {
        // A run of lines goes in parts of meldeabstand lines at most, each written in a few
        // milliseconds, and how far it came is told in between.
        if (i >= naechsteMeldung) {
            if (meldung)
                meldung(i, size());
            naechsteMeldung = i + meldeabstand;
        }
        const qsizetype bis = zusammenhaengendBis(quelle, i, std::min(size(), naechsteMeldung));
        const QByteArrayView erstes = bytes(quelle, i);
        const QByteArrayView letztes = bytes(quelle, bis);
        const QByteArrayView stueck(erstes.data(), letztes.data() + letztes.size() - erstes.data());
        if (!ziel(stueck) || !ziel(zeilenende))
            return false;
        i = bis;
    }
    return true;
}
