#include "ergebnisliste.h"

void Ergebnisliste::uebernehmeZeile(qsizetype zeile)
{
    m_eintraege.push_back(zeile);
}

void Ergebnisliste::uebernehmeBearbeitet(QByteArray bytes)
{
    m_bearbeitet.push_back(std::move(bytes));
    m_eintraege.push_back(-qsizetype(m_bearbeitet.size()));
}

Ergebnisliste::Stand Ergebnisliste::stand() const
{
    return {size(), qsizetype(m_bearbeitet.size())};
}

void Ergebnisliste::kehreZurueck(Stand stand)
{
    if (stand.eintraege < size())
        m_eintraege.resize(size_t(stand.eintraege));
    if (stand.bearbeitet < qsizetype(m_bearbeitet.size()))
        m_bearbeitet.resize(size_t(stand.bearbeitet));
}

QByteArrayView Ergebnisliste::bytes(const Textdatei &quelle, qsizetype index) const
{
    const qsizetype eintrag = m_eintraege.at(size_t(index));
    if (eintrag >= 0)
        return quelle.bytes(eintrag);
    return m_bearbeitet.at(size_t(-eintrag - 1));
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

bool Ergebnisliste::schreibeInhalt(const Textdatei &quelle,
                                   const std::function<bool(QByteArrayView)> &ziel) const
{
    const QByteArrayView zeilenende = quelle.zeilenendeBytes();
    if (!ziel(quelle.vorspann()))
        return false;
    for (qsizetype i = 0; i < size(); ++i) {
        if (!ziel(bytes(quelle, i)) || !ziel(zeilenende))
            return false;
    }
    return true;
}
