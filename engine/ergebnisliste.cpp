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
    const QByteArrayView zeilenende = quelle.zeilenendeBytes();
    qsizetype groesse = quelle.vorspann().size();
    for (qsizetype i = 0; i < size(); ++i)
        groesse += bytes(quelle, i).size() + zeilenende.size();

    QByteArray inhalt;
    inhalt.reserve(groesse);
    inhalt.append(quelle.vorspann());
    for (qsizetype i = 0; i < size(); ++i) {
        inhalt.append(bytes(quelle, i));
        inhalt.append(zeilenende);
    }
    return inhalt;
}
