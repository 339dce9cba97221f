#include "satzfelder.h"

#include "datensaetze.h"

namespace Satzfelder {

namespace {

constexpr QChar anfuehrungszeichen = u'"';

QString wertVon(QStringView satz, const Datensaetze::Feldstelle &stelle)
{
    const QStringView roh = satz.sliced(stelle.anfang, stelle.laenge);
    if (stelle.auf < 0)
        return roh.toString();
    QString wert = satz.sliced(stelle.auf + 1, stelle.zu - stelle.auf - 1).toString();
    wert.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    // Text after the closing quote is no CSV writer's, but a reader keeps it.
    const qsizetype ende = stelle.anfang + stelle.laenge;
    QStringView rest = satz.sliced(stelle.zu + 1, ende - stelle.zu - 1);
    while (!rest.isEmpty() && rest.back() == u' ')
        rest.chop(1);
    wert += rest;
    return wert;
}

} // namespace

QList<Feld> teile(QStringView satz, QStringView trenner)
{
    QList<Feld> felder;
    for (const Datensaetze::Feldstelle &stelle : Datensaetze::feldstellen(satz, trenner))
        felder.append(
            {wertVon(satz, stelle), satz.sliced(stelle.anfang, stelle.laenge).toString()});
    return felder;
}

QString alsFeld(QStringView wert, QStringView trenner)
{
    const bool quoten = (!trenner.isEmpty() && wert.contains(trenner)) ||
                        wert.contains(anfuehrungszeichen) || wert.contains(u'\n') ||
                        wert.contains(u'\r') || wert.startsWith(u' ') || wert.endsWith(u' ');
    // With a delimiter that holds a quote, no quote can protect anything.
    if (!quoten || !Datensaetze::anfuehrungGilt(trenner))
        return wert.toString();
    QString feld = wert.toString();
    feld.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return anfuehrungszeichen + feld + anfuehrungszeichen;
}

QString verbinde(const QList<std::optional<QString>> &rohfelder, QStringView trenner)
{
    qsizetype anzahl = rohfelder.size();
    while (anzahl > 1 && !rohfelder[anzahl - 1])
        --anzahl;
    QString satz;
    for (qsizetype i = 0; i < anzahl; ++i) {
        if (i > 0)
            satz += trenner;
        if (rohfelder[i])
            satz += *rohfelder[i];
    }
    return satz;
}

} // namespace Satzfelder
