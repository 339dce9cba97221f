#include "kriterium.h"

#include "satzfelder.h"

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

// The digits with their separators, read as `dezimal` marks the decimals and the other
// separator groups thousands (in groups of three after a first group of one to three).
std::optional<double> mitDezimal(QStringView ziffern, QChar dezimal)
{
    const QChar gruppe = dezimal == u',' ? u'.' : u',';
    double wert = 0;
    double teiler = 0; // 0 before the decimal separator, then 10, 100, ...
    qsizetype inGruppe = 0;
    bool gruppiert = false;
    for (qsizetype i = 0; i < ziffern.size(); ++i) {
        const QChar c = ziffern[i];
        if (c == dezimal) {
            if (teiler > 0 || i + 1 == ziffern.size() || (gruppiert && inGruppe != 3))
                return std::nullopt;
            teiler = 10;
        } else if (c == gruppe) {
            if (teiler > 0 || (gruppiert ? inGruppe != 3 : inGruppe > 3))
                return std::nullopt;
            gruppiert = true;
            inGruppe = 0;
        } else {
            const int ziffer = c.unicode() - u'0';
            if (teiler > 0) {
                wert += ziffer / teiler;
                teiler *= 10;
            } else {
                wert = wert * 10 + ziffer;
                ++inGruppe;
            }
        }
    }
    if (teiler == 0 && gruppiert && inGruppe != 3)
        return std::nullopt;
    return wert;
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

// Reads digits from a text, one piece after the other.
class Leser
{
public:
    explicit Leser(QStringView text)
        : m_text(text)
    {
    }
    bool amEnde() const { return m_pos == m_text.size(); }
    bool nimm(QChar zeichen)
    {
        if (amEnde() || m_text[m_pos] != zeichen)
            return false;
        ++m_pos;
        return true;
    }
    // A number of `min` to `max` digits, and how many it had.
    std::optional<int> zahl(int min, int max, int *stellen = nullptr)
    {
        int wert = 0;
        int anzahl = 0;
        while (anzahl < max && !amEnde() && istZiffer(m_text[m_pos])) {
            wert = wert * 10 + (m_text[m_pos].unicode() - u'0');
            ++m_pos;
            ++anzahl;
        }
        if (stellen)
            *stellen = anzahl;
        return anzahl >= min ? std::optional(wert) : std::nullopt;
    }
    void ueberspringe(QChar zeichen)
    {
        while (nimm(zeichen)) {
        }
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// 31.12.2024, 31.12.24 or 2024-12-31, each with an optional time (14:30 or 14:30:15).
std::optional<QDateTime> leseDatum(QStringView text)
{
    Leser leser(text.trimmed());
    int tag = 0;
    int monat = 0;
    int jahr = 0;
    int stellen = 0;
    const auto erste = leser.zahl(1, 4, &stellen);
    if (!erste)
        return std::nullopt;
    if (stellen == 4) {
        const auto m = leser.nimm(u'-') ? leser.zahl(2, 2) : std::nullopt;
        const auto t = m && leser.nimm(u'-') ? leser.zahl(2, 2) : std::nullopt;
        if (!t)
            return std::nullopt;
        jahr = *erste;
        monat = *m;
        tag = *t;
    } else {
        const auto m = stellen <= 2 && leser.nimm(u'.') ? leser.zahl(1, 2) : std::nullopt;
        const auto j = m && leser.nimm(u'.') ? leser.zahl(2, 4, &stellen) : std::nullopt;
        if (!j || stellen == 3)
            return std::nullopt;
        tag = *erste;
        monat = *m;
        jahr = vollesJahr(*j, stellen);
    }
    // A date without a time counts as its midnight.
    QTime zeit(0, 0);
    if (!leser.amEnde()) {
        if (!leser.nimm(u' ') && !leser.nimm(u'T'))
            return std::nullopt;
        leser.ueberspringe(u' ');
        const auto stunde = leser.zahl(1, 2);
        const auto minute = stunde && leser.nimm(u':') ? leser.zahl(2, 2) : std::nullopt;
        if (!minute)
            return std::nullopt;
        const auto sekunde = leser.nimm(u':') ? leser.zahl(2, 2) : std::optional(0);
        if (!sekunde)
            return std::nullopt;
        if (leser.nimm(u'.') && !leser.zahl(1, 9))
            return std::nullopt;
        zeit = QTime(*stunde, *minute, *sekunde);
    }
    const QDate datum(jahr, monat, tag);
    if (!leser.amEnde() || !datum.isValid() || !zeit.isValid())
        return std::nullopt;
    return QDateTime(datum, zeit, Qt::UTC);
}

bool leer(QStringView feld)
{
    return feld.trimmed().isEmpty();
}

// One field's text, cut from the record where it needs no change.
struct Feld
{
    QStringView ausschnitt;
    QString eigen;
    bool quotiert = false;
    QStringView text() const { return quotiert ? QStringView(eigen) : ausschnitt; }
};

// The field in column `spalte` (from 1); empty when the record has fewer fields. A record
// without a quote is split by the delimiter alone, which is all the field reader would do.
Feld feldIn(QStringView satz, QStringView trennzeichen, int spalte)
{
    if (satz.contains(u'"')) {
        Feld feld;
        feld.eigen = feldtexte(satz, trennzeichen).value(spalte - 1);
        feld.quotiert = true;
        return feld;
    }
    qsizetype anfang = 0;
    for (int i = 1; i < spalte; ++i) {
        const qsizetype trenner = satz.indexOf(trennzeichen, anfang);
        if (trenner < 0 || trennzeichen.isEmpty())
            return {};
        anfang = trenner + trennzeichen.size();
    }
    const qsizetype ende = trennzeichen.isEmpty() ? -1 : satz.indexOf(trennzeichen, anfang);
    return {satz.sliced(anfang, (ende < 0 ? satz.size() : ende) - anfang).trimmed(), {}, false};
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
    // Built in place: a variant copied out of a temporary makes GCC warn about the QString it
    // does not hold.
    std::optional<Wert> wert;
    if (leer(text))
        return wert;
    switch (m_typ) {
    case Typ::Datum:
        if (const auto datum = leseDatum(text))
            wert.emplace(std::in_place_type<QDateTime>, *datum);
        break;
    case Typ::Zahl:
        if (const auto zahl = leseZahl(text, m_englisch))
            wert.emplace(std::in_place_type<double>, zahl->wert);
        break;
    case Typ::Text:
        wert.emplace(std::in_place_type<QString>, text.trimmed().toString());
        break;
    }
    return wert;
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

std::optional<int> spalteAus(const QString &eingabe, const QStringList &namen)
{
    const QString text = eingabe.trimmed();
    static const QRegularExpression nummer(QStringLiteral(R"(^(\d+)(?::.*)?$)"));
    if (const auto treffer = nummer.match(text); treffer.hasMatch()) {
        const int spalte = treffer.captured(1).toInt();
        return spalte >= 1 ? std::optional(spalte) : std::nullopt;
    }
    for (qsizetype i = 0; i < namen.size(); ++i) {
        if (namen[i].trimmed().compare(text, Qt::CaseInsensitive) == 0)
            return int(i + 1);
    }
    return std::nullopt;
}

QString feldtext(QStringView satz, QStringView trennzeichen, int spalte)
{
    return feldIn(satz, trennzeichen, spalte).text().toString();
}

QStringList feldtexte(QStringView satz, QStringView trennzeichen)
{
    // The values as the comparison window shows them; spaces around a value do not count here.
    QStringList texte;
    for (const Satzfelder::Feld &feld : Satzfelder::teile(satz, trennzeichen))
        texte.append(feld.wert.trimmed());
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
        const auto wert = lesart.lies(feldIn(saetze[i], trennzeichen, kriterium.spalte()).text());
        if (wert && (!bester || richtung * lesart.vergleiche(*wert, *bester) > 0)) {
            bester = wert;
            beste = qsizetype(i);
        }
    }
    return beste;
}
