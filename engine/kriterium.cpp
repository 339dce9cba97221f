#include "kriterium.h"

#include "datensaetze.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>

#include <array>

namespace {

// How a number's separators read: with a decimal comma, a decimal point, or either way (one
// point or comma followed by exactly three digits: 1.234).
enum class Schreibweise { Ohne, Deutsch, Englisch, Mehrdeutig };

struct Zahltext
{
    double wert = 0;
    Schreibweise schreibweise = Schreibweise::Deutsch;
};

bool istZiffer(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Digits in groups of three after the first group of one to three, split by `trenner`.
bool gruppiert(QStringView ziffern, QChar trenner)
{
    const auto gruppen = ziffern.split(trenner);
    if (gruppen.size() < 2 || gruppen.front().isEmpty() || gruppen.front().size() > 3)
        return false;
    for (qsizetype i = 1; i < gruppen.size(); ++i) {
        if (gruppen[i].size() != 3)
            return false;
    }
    return true;
}

std::optional<double> ganzzahl(QStringView ziffern, QChar gruppentrenner)
{
    QString nur;
    for (const QChar c : ziffern) {
        if (c != gruppentrenner)
            nur.append(c);
    }
    bool gut = false;
    const double wert = nur.toDouble(&gut);
    return gut ? std::optional(wert) : std::nullopt;
}

// The digits with their separators, read as `dezimal` marks the decimals and the other
// separator groups thousands.
std::optional<double> mitDezimal(QStringView ziffern, QChar dezimal)
{
    const QChar gruppe = dezimal == u',' ? u'.' : u',';
    const qsizetype stelle = ziffern.lastIndexOf(dezimal);
    QStringView vorne = stelle < 0 ? ziffern : ziffern.first(stelle);
    const QStringView hinten = stelle < 0 ? QStringView() : ziffern.sliced(stelle + 1);
    if (hinten.contains(gruppe) || hinten.contains(dezimal) || vorne.contains(dezimal))
        return std::nullopt;
    if (vorne.contains(gruppe) && !gruppiert(vorne, gruppe))
        return std::nullopt;
    const auto ganz = ganzzahl(vorne, gruppe);
    if (!ganz || (stelle >= 0 && hinten.isEmpty()))
        return std::nullopt;
    bool gut = true;
    const double bruch = hinten.isEmpty() ? 0 : QString(u"0." + hinten.toString()).toDouble(&gut);
    return gut ? std::optional(*ganz + bruch) : std::nullopt;
}

// A number, a sign before it, a currency sign before it or a unit after it; nothing for text.
std::optional<Zahltext> leseZahl(QStringView text, bool englisch)
{
    text = text.trimmed();
    for (const QStringView zeichen : {u"€", u"$", u"£"}) {
        if (text.startsWith(zeichen))
            text = text.sliced(zeichen.size()).trimmed();
    }
    bool negativ = false;
    if (text.startsWith(u'-') || text.startsWith(u'+') || text.startsWith(u'−')) {
        negativ = text.front() != u'+';
        text = text.sliced(1);
    }
    qsizetype ende = 0;
    while (ende < text.size() &&
           (istZiffer(text[ende]) || text[ende] == u'.' || text[ende] == u','))
        ++ende;
    const QStringView ziffern = text.first(ende);
    const QStringView einheit = text.sliced(ende).trimmed();
    if (ziffern.isEmpty() || !istZiffer(ziffern.front()) || !istZiffer(ziffern.back()) ||
        std::any_of(einheit.begin(), einheit.end(), istZiffer))
        return std::nullopt;

    const qsizetype komma = ziffern.lastIndexOf(u',');
    const qsizetype punkt = ziffern.lastIndexOf(u'.');
    Schreibweise schreibweise = Schreibweise::Ohne;
    if (komma >= 0 && punkt >= 0)
        schreibweise = komma > punkt ? Schreibweise::Deutsch : Schreibweise::Englisch;
    else if (komma >= 0 || punkt >= 0) {
        const QChar trenner = komma >= 0 ? u',' : u'.';
        const bool einmal = ziffern.count(trenner) == 1;
        const bool dreiDahinter = ziffern.size() - ziffern.lastIndexOf(trenner) - 1 == 3;
        if (einmal && dreiDahinter && ziffern.indexOf(trenner) <= 3)
            schreibweise = Schreibweise::Mehrdeutig;
        else if (einmal)
            schreibweise = trenner == u',' ? Schreibweise::Deutsch : Schreibweise::Englisch;
        else
            schreibweise = trenner == u',' ? Schreibweise::Englisch : Schreibweise::Deutsch;
    }
    const bool dezimalPunkt = schreibweise == Schreibweise::Englisch ||
                              (schreibweise == Schreibweise::Mehrdeutig && englisch);
    const auto wert = mitDezimal(ziffern, dezimalPunkt ? u'.' : u',');
    if (!wert)
        return std::nullopt;
    return Zahltext{negativ ? -*wert : *wert, schreibweise};
}

int vollesJahr(int jahr, qsizetype stellen)
{
    // Two digits as spreadsheets read them by default: 30 to 99 in the 1900s.
    if (stellen == 2)
        return jahr < 30 ? 2000 + jahr : 1900 + jahr;
    return jahr;
}

std::optional<QDateTime> leseDatum(QStringView text)
{
    static const QRegularExpression deutsch(QStringLiteral(
        R"(^(\d{1,2})\.(\d{1,2})\.(\d{4}|\d{2})(?:[ T]+(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    static const QRegularExpression iso(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?$)"));
    const QString ohneRand = text.trimmed().toString();
    int tag = 0;
    int monat = 0;
    int jahr = 0;
    QRegularExpressionMatch treffer = deutsch.match(ohneRand);
    if (treffer.hasMatch()) {
        tag = treffer.captured(1).toInt();
        monat = treffer.captured(2).toInt();
        jahr = vollesJahr(treffer.captured(3).toInt(), treffer.capturedLength(3));
    } else if ((treffer = iso.match(ohneRand)).hasMatch()) {
        jahr = treffer.captured(1).toInt();
        monat = treffer.captured(2).toInt();
        tag = treffer.captured(3).toInt();
    } else {
        return std::nullopt;
    }
    const QDate datum(jahr, monat, tag);
    // A date without a time counts as its midnight.
    const QTime zeit(treffer.captured(4).toInt(), treffer.captured(5).toInt(),
                     treffer.captured(6).toInt());
    if (!datum.isValid() || !zeit.isValid())
        return std::nullopt;
    return QDateTime(datum, zeit, Qt::UTC);
}

bool leer(QStringView feld)
{
    return feld.trimmed().isEmpty();
}

} // namespace

QString Kriterium::name() const
{
    switch (m_art) {
    case Art::Erste:
        return QStringLiteral("Erste Zeile");
    case Art::Letzte:
        return QStringLiteral("Letzte Zeile");
    case Art::Vollstaendigste:
        return QStringLiteral("Vollständigste Zeile");
    case Art::Groesster:
        return QStringLiteral("Größter Wert in Spalte ") + QString::number(m_spalte);
    case Art::Kleinster:
        return QStringLiteral("Kleinster Wert in Spalte ") + QString::number(m_spalte);
    }
    return {};
}

Spaltenlesart Spaltenlesart::bestimme(std::span<const QString> werte)
{
    std::array<qsizetype, 3> typen{};
    qsizetype deutsch = 0;
    qsizetype englisch = 0;
    for (const QString &wert : werte) {
        if (leer(wert))
            continue;
        if (leseDatum(wert)) {
            ++typen[size_t(Typ::Datum)];
        } else if (const auto zahl = leseZahl(wert, false)) {
            ++typen[size_t(Typ::Zahl)];
            deutsch += zahl->schreibweise == Schreibweise::Deutsch ? 1 : 0;
            englisch += zahl->schreibweise == Schreibweise::Englisch ? 1 : 0;
        } else {
            ++typen[size_t(Typ::Text)];
        }
    }
    // A tie reads the column as text, which every value can be.
    const auto anzahl = [&typen](Typ typ) { return typen[size_t(typ)]; };
    Typ typ = Typ::Text;
    if (anzahl(Typ::Datum) > anzahl(Typ::Zahl) && anzahl(Typ::Datum) > anzahl(Typ::Text))
        typ = Typ::Datum;
    else if (anzahl(Typ::Zahl) > anzahl(Typ::Datum) && anzahl(Typ::Zahl) > anzahl(Typ::Text))
        typ = Typ::Zahl;
    return {typ, englisch > deutsch};
}

std::optional<Spaltenlesart::Wert> Spaltenlesart::lies(QStringView text) const
{
    if (leer(text))
        return std::nullopt;
    switch (m_typ) {
    case Typ::Datum:
        if (const auto datum = leseDatum(text))
            return Wert(*datum);
        return std::nullopt;
    case Typ::Zahl:
        if (const auto zahl = leseZahl(text, m_englisch))
            return Wert(zahl->wert);
        return std::nullopt;
    case Typ::Text:
        return Wert(text.trimmed().toString());
    }
    return std::nullopt;
}

int Spaltenlesart::vergleiche(const Wert &a, const Wert &b) const
{
    if (const auto *datum = std::get_if<QDateTime>(&a))
        return *datum < std::get<QDateTime>(b) ? -1 : *datum == std::get<QDateTime>(b) ? 0 : 1;
    if (const auto *zahl = std::get_if<double>(&a))
        return *zahl < std::get<double>(b) ? -1 : *zahl == std::get<double>(b) ? 0 : 1;
    static const QCollator deutsch(QLocale(QLocale::German, QLocale::Germany));
    return deutsch.compare(std::get<QString>(a), std::get<QString>(b));
}

QStringList feldtexte(QStringView satz, QStringView trennzeichen)
{
    QStringList texte;
    for (const auto &[anfang, laenge] : Datensaetze::felder(satz, trennzeichen)) {
        QStringView feld = satz.sliced(anfang, laenge).trimmed();
        if (feld.size() >= 2 && feld.startsWith(u'"') && feld.endsWith(u'"'))
            texte.append(feld.sliced(1, feld.size() - 2)
                             .toString()
                             .replace(QStringLiteral("\"\""), QStringLiteral("\"")));
        else
            texte.append(feld.toString());
    }
    return texte;
}

qsizetype vorgeschlagen(const Kriterium &kriterium, std::span<const QString> saetze,
                        QStringView trennzeichen, const Spaltenlesart &lesart)
{
    if (saetze.empty())
        return -1;
    switch (kriterium.art()) {
    case Kriterium::Art::Erste:
        return 0;
    case Kriterium::Art::Letzte:
        return qsizetype(saetze.size()) - 1;
    case Kriterium::Art::Vollstaendigste: {
        qsizetype beste = 0;
        qsizetype meiste = -1;
        for (size_t i = 0; i < saetze.size(); ++i) {
            const QStringList felder = feldtexte(saetze[i], trennzeichen);
            const qsizetype gefuellt = std::count_if(felder.begin(), felder.end(),
                                                     [](const QString &f) { return !leer(f); });
            if (gefuellt > meiste) {
                meiste = gefuellt;
                beste = qsizetype(i);
            }
        }
        return beste;
    }
    case Kriterium::Art::Groesster:
    case Kriterium::Art::Kleinster:
        break;
    }
    const int richtung = kriterium.art() == Kriterium::Art::Groesster ? 1 : -1;
    qsizetype beste = 0;
    std::optional<Spaltenlesart::Wert> bester;
    for (size_t i = 0; i < saetze.size(); ++i) {
        const QStringList felder = feldtexte(saetze[i], trennzeichen);
        const auto wert = lesart.lies(felder.value(kriterium.spalte() - 1));
        if (wert && (!bester || richtung * lesart.vergleiche(*wert, *bester) > 0)) {
            bester = wert;
            beste = qsizetype(i);
        }
    }
    return beste;
}
