#include "referenzmodell.h"
#include "testdateien.h"
#include "testlauf.h"

#include <algorithm>

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Ausgang = Referenzmodell::Ausgang;

// Keeping the first line of every group, checked against the plain model on a few thousand
// small random files made of the pieces that trip a key reader up: leading zeros, words,
// numbers in BASIC spellings, spaces around keys, BOMs, odd bytes and every kind of line end.
class TestBehalteErste : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void bekannteLaeufe_data();
    void bekannteLaeufe();
    void zufallsdateien();
    void datensaetzeAufZufallsdateien();
    void regelnAufZufallsdateien();
    void optionenAufZufallsdateien();
    void bekannteKriterien_data();
    void bekannteKriterien();
    void kriterienAufZufallsdateien();
    void benchMitKriterium_data();
    void benchMitKriterium();

private:
    QTemporaryDir m_ordner;
};

namespace {

const QList<QString> trennzeichen = {
    QStringLiteral(";"), QStringLiteral("\t"), QStringLiteral(","),  QStringLiteral(", "),
    QStringLiteral("ä"), QStringLiteral("€"),  QStringLiteral(";;"),
};

// The serial-number options in `spalte`, each of the others on or off at random.
Referenzmodell::Optionen zufaelligeOptionen(QRandomGenerator &zufall, int spalte)
{
    return {spalte, zufall.bounded(2) == 0, zufall.bounded(2) == 0, zufall.bounded(2) == 0,
            zufall.bounded(2) == 0};
}

// The engine's rule for the model's options.
Schluesselregel regelAus(const Referenzmodell::Optionen &optionen)
{
    Schluesselregel regel;
    regel.spalte = optionen.spalte;
    regel.text = optionen.text;
    regel.grossKleinIgnorieren = optionen.grossKlein;
    regel.leerzeichenIgnorieren = optionen.leerzeichen;
    regel.nullenIgnorieren = optionen.nullen;
    return regel;
}

template <typename T> const T &eines(QRandomGenerator &zufall, const QList<T> &auswahl)
{
    return auswahl.at(zufall.bounded(qsizetype(auswahl.size())));
}

QByteArray zufallsdatei(QRandomGenerator &zufall, const QByteArray &trenner)
{
    static const QList<QByteArray> schluessel = {
        "1",
        "2",
        "12",
        "123",
        "0",
        "00",
        "0abc",
        "abc",
        "",
        "-0",
        "+5",
        "&H0",
        "&h1f",
        "&O8",
        "1 2",
        " 1",
        "1 ",
        "1.0",
        "0.0",
        ".5",
        "1e3",
        "x1",
        "\t3",
        "\xC3\xA4"
        "7",
    };
    static const QList<QByteArray> rest = {"A", "B", "x;y", "", "Name", " ", "a\tb", "\xC3\xA4"};
    static const QList<QByteArray> zeilenenden = {"\r\n", "\r", "\n"};

    QByteArray datei;
    if (zufall.bounded(8) == 0)
        datei += "\xEF\xBB\xBF";
    const int art = zufall.bounded(3); // LF only, CR LF only, or a mix with a lone LF inside
    const int zeilen = zufall.bounded(12);
    for (int i = 0; i < zeilen; ++i) {
        datei += eines(zufall, schluessel);
        if (zufall.bounded(4) != 0)
            datei += trenner + eines(zufall, rest);
        if (zufall.bounded(30) == 0)
            datei += "\xFF"; // not UTF-8: the file becomes Windows-1252
        const bool letzte = i + 1 == zeilen;
        if (letzte && zufall.bounded(2) == 0)
            break;
        datei += art == 0 ? QByteArray("\n") : art == 1 ? "\r\n" : eines(zufall, zeilenenden);
    }
    // Now and then the same text as UTF-16 with its mark, at times cut off inside a code unit.
    if (zufall.bounded(6) == 0) {
        const auto reihenfolge = zufall.bounded(2) ? QSysInfo::LittleEndian : QSysInfo::BigEndian;
        datei = alsUtf16(u'\uFEFF' + QString::fromUtf8(datei), reihenfolge);
        if (zufall.bounded(4) == 0)
            datei += 'Z';
    }
    return datei;
}

// Files of records as spreadsheets write them and as hands break them: quoted serial numbers,
// quoted fields with delimiters, doubled quotes and every kind of line break inside, quotes in
// the middle of a field, and now and then a stray quote that never closes.
QByteArray zufallsdateiMitAnfuehrung(QRandomGenerator &zufall, const QByteArray &trenner)
{
    const QList<QByteArray> schluessel = {
        "1",
        "12",
        "0815",
        "\"1\"",
        "\"0815\"",
        " \"12\" ",
        "\"1" + trenner + "2\"",
        "\"08\"\"15\"",
        "\"abc\"",
        "\"\"",
        "08\"15",
        "\"1\"2",
        "",
    };
    const QList<QByteArray> felder = {
        "A",
        "\"x\ny\"",
        "\"a\"\"b\"",
        "\"p\r\nq\"",
        "\"r\rs\"",
        "3/4\" m",
        "\"" + trenner + "\"",
        "\"\"",
        "\"z\" w",
        "\"\n\n\"",
        " \"v\"",
        "  \"m\r\nn\"",
    };
    static const QList<QByteArray> zeilenenden = {"\r\n", "\r", "\n"};

    QByteArray datei;
    const int art = zufall.bounded(3);
    const int zeilen = zufall.bounded(14);
    for (int i = 0; i < zeilen; ++i) {
        datei += eines(zufall, schluessel);
        for (int feld = zufall.bounded(3); feld > 0; --feld)
            datei += trenner + eines(zufall, felder);
        if (zufall.bounded(25) == 0)
            datei += zufall.bounded(2) ? QByteArray(trenner + "\"offen") : QByteArray("\xFF");
        if (i + 1 == zeilen && zufall.bounded(2) == 0)
            break;
        datei += art == 0 ? QByteArray("\n") : art == 1 ? "\r\n" : eines(zufall, zeilenenden);
    }
    if (zufall.bounded(6) == 0) {
        const auto reihenfolge = zufall.bounded(2) ? QSysInfo::LittleEndian : QSysInfo::BigEndian;
        datei = alsUtf16(u'\uFEFF' + QString::fromUtf8(datei), reihenfolge);
    }
    return datei;
}

// Records of a serial number, a date, a price and a note, as a spreadsheet writes them: quoted
// where a value holds the delimiter, a quote or a line break. Dates in each spelling with and
// without a time, prices German, English and either way, with units and currency signs, words
// where the value is not known, records that stop early. With `serien` the serial numbers are
// that many plain ones in the first column; without, few and in spellings that the key options
// tell apart or not, in a column and order of the file's own, in any of the file encodings.
struct Wertedatei
{
    QByteArray inhalt;
    int schluesselspalte = 1;
};

QString datumstext(QRandomGenerator &zufall)
{
    static const QList<QString> sonst = {u""_s,           u"unbekannt"_s,  u"  "_s,
                                         u"31.02.2024"_s, u"2024-13-01"_s, u"12,50"_s};
    if (zufall.bounded(6) == 0)
        return eines(zufall, sonst);
    static const QList<QDate> tage = {QDate(2024, 12, 30), QDate(2024, 12, 31), QDate(2025, 1, 1),
                                      QDate(2024, 2, 29),  QDate(1999, 12, 31), QDate(2030, 1, 1)};
    static const QList<QString> formen = {u"dd.MM.yyyy"_s, u"d.M.yy"_s, u"yyyy-MM-dd"_s};
    QString text = eines(zufall, tage).toString(eines(zufall, formen));
    switch (zufall.bounded(4)) {
    case 1:
        return text + u" 00:00"_s;
    case 2:
        return text + u' ' + QString::number(zufall.bounded(3) * 8) + u":00"_s;
    case 3:
        return text + u"T0"_s + QString::number(zufall.bounded(10)) + u":30:1"_s +
               QString::number(zufall.bounded(2));
    }
    return text;
}

// `stil` 0 mixes every spelling; 1 to 3 write mostly numbers that read either way, with a few
// German, a few English or no other ones to tip the column.
QString preistext(QRandomGenerator &zufall, int stil)
{
    static const QList<QString> sonst = {u""_s, u"auf Anfrage"_s, u"unbekannt"_s, u" "_s};
    if (zufall.bounded(6) == 0)
        return eines(zufall, sonst);
    static const QList<qint64> cents = {0, 5, 99, 100, 99999, 123400, 123456, 100000000};
    const qint64 cent = eines(zufall, cents);
    const auto gruppiert = [](qint64 zahl, QChar trenner) {
        QString text = QString::number(zahl);
        for (qsizetype i = text.size() - 3; i > 0; i -= 3)
            text.insert(i, trenner);
        return text;
    };
    const QString rest = QString::number(cent % 100).rightJustified(2, u'0');
    static const QList<QList<int>> schreibweisen = {
        {0, 1, 2, 3, 4, 5, 6}, {4, 5, 6, 4, 5, 0, 1}, {4, 5, 6, 4, 5, 2, 3}, {4, 5, 6}};
    QString text;
    switch (eines(zufall, schreibweisen[stil])) {
    case 0:
        text = gruppiert(cent / 100, u'.') + u',' + rest;
        break;
    case 1:
        text = QString::number(cent / 100) + u',' + rest;
        break;
    case 2:
        text = gruppiert(cent / 100, u',') + u'.' + rest;
        break;
    case 3:
        text = QString::number(cent / 100) + u'.' + rest;
        break;
    case 4: // 1.234 and 1,234: read as the column's other numbers are written
        text = gruppiert(cent, zufall.bounded(2) ? u'.' : u',');
        break;
    case 5: // three decimals, the number before them of any length
        text = QString::number(cent).rightJustified(4, u'0');
        text.insert(text.size() - 3, zufall.bounded(2) ? u'.' : u',');
        break;
    default:
        text = QString::number(cent);
    }
    static const QList<QString> einheiten = {u""_s, u" €"_s, u"€"_s, u" kg"_s, u"%"_s};
    static const QList<QString> davor = {u""_s, u""_s, u""_s, u"-"_s, u"€ "_s, u"$"_s};
    return eines(zufall, davor) + text + eines(zufall, einheiten);
}

Wertedatei wertedatei(QRandomGenerator &zufall, const QString &trenner, int saetze, int serien)
{
    static const QList<QString> schluessel = {u"1001"_s, u"1002"_s, u"01002"_s, u"1003"_s,
                                              u"AB12"_s, u"ab12"_s, u" 1004"_s};
    static const QList<QString> notizen = {
        u"Zander"_s, u"Ärger"_s, u"Bach"_s, u"bach"_s, u"Äpfel"_s,           u"Apfel"_s,
        u"Öl"_s,     u"x;y"_s,   u"a, b"_s, u""_s,     u"\"ja\", sagt er"_s, u"zwei\nZeilen"_s};
    const bool frei = serien == 0;
    // Which value stands in which column; the serial number's column is told to the run.
    QList<int> reihenfolge = {0, 1, 2, 3};
    if (frei)
        std::shuffle(reihenfolge.begin(), reihenfolge.end(), zufall);
    const auto alsFeld = [&](const QString &wert) -> QString {
        if (wert.contains(trenner) || wert.contains(u'"') || wert.contains(u'\n') ||
            (frei && zufall.bounded(10) == 0)) {
            QString feld = wert;
            return u'"' + feld.replace(u"\""_s, u"\"\""_s) + u'"';
        }
        return frei && zufall.bounded(10) == 0 ? u' ' + wert + u' ' : wert;
    };
    const int stil = frei ? zufall.bounded(4) : 0;
    const QString zeilenende = frei && zufall.bounded(2) ? u"\r\n"_s : u"\n"_s;
    QString text;
    if (zufall.bounded(3) == 0) {
        const QStringList namen = {u"Nr"_s, u"Datum"_s, u"Preis"_s, u"Notiz"_s};
        for (qsizetype i = 0; i < reihenfolge.size(); ++i)
            text += (i > 0 ? trenner : QString()) + namen[reihenfolge[i]];
        text += zeilenende;
    }
    for (int satz = 0; satz < saetze; ++satz) {
        const QStringList werte = {
            frei ? eines(zufall, schluessel) : QString::number(100000 + zufall.bounded(serien)),
            datumstext(zufall), preistext(zufall, stil), eines(zufall, notizen)};
        // Now and then a record stops before its last columns.
        const int felder = frei && zufall.bounded(8) == 0 ? zufall.bounded(1, 4) : 4;
        for (int i = 0; i < felder; ++i)
            text += (i > 0 ? trenner : QString()) + alsFeld(werte[reihenfolge[i]]);
        text += zeilenende;
    }
    Wertedatei datei{text.toUtf8(), int(reihenfolge.indexOf(0)) + 1};
    const int kodierung = frei ? zufall.bounded(10) : 9;
    if (kodierung == 0)
        datei.inhalt = QStringEncoder("windows-1252").encode(text);
    else if (kodierung == 1)
        datei.inhalt = alsUtf16(u'\uFEFF' + text,
                                zufall.bounded(2) ? QSysInfo::LittleEndian : QSysInfo::BigEndian);
    return datei;
}

::Kriterium alsKriterium(Referenzmodell::Kriterium kriterium, int spalte)
{
    switch (kriterium) {
    case Referenzmodell::Kriterium::Erste:
        return ::Kriterium::erste();
    case Referenzmodell::Kriterium::Letzte:
        return ::Kriterium::letzte();
    case Referenzmodell::Kriterium::Vollstaendigste:
        return ::Kriterium::vollstaendigste();
    case Referenzmodell::Kriterium::Groesster:
        return ::Kriterium::groesster(spalte);
    case Referenzmodell::Kriterium::Kleinster:
        break;
    }
    return ::Kriterium::kleinster(spalte);
}

} // namespace

void TestBehalteErste::initTestCase()
{
    QVERIFY(m_ordner.isValid());
}

// Runs whose result is known by heart pin the model itself.
void TestBehalteErste::bekannteLaeufe_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("trennzeichen");
    QTest::addColumn<Ausgang>("ausgang");
    QTest::addColumn<QByteArray>("ergebnis");

    QTest::newRow("header, one group kept at its first place")
        << QByteArray("Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n") << QStringLiteral(";")
        << Ausgang::Ergebnis << QByteArray("Nr;Name\r\n100;A\r\n200;B\r\n300;D\r\n");
    QTest::newRow("keys compared whole, 12 is not 123")
        << QByteArray("12;x\n123;y\n12;z\n5;a") << QStringLiteral(";") << Ausgang::Ergebnis
        << QByteArray("12;x\n123;y\n5;a\n");
    QTest::newRow("lone CR ends a line, LF inside a line stays")
        << QByteArray("1;a\r2;b\nc\r1;d\r\n7") << QStringLiteral(";") << Ausgang::Ergebnis
        << QByteArray("1;a\r\n2;b\nc\r\n7\r\n");
    QTest::newRow("three lines are too few")
        << QByteArray("1;a\n1;b\n1;c\n") << QStringLiteral(";") << Ausgang::ZuKurz << QByteArray();
    QTest::newRow("no delimiter anywhere") << QByteArray("1\n2\n3\n4\n") << QStringLiteral(";")
                                           << Ausgang::NixGefunden << QByteArray();
    QTest::newRow("no repetition") << QByteArray("1;a\n2;b\n3;c\n4;d\n") << QStringLiteral(";")
                                   << Ausgang::KeineDoppelten << QByteArray();
    QTest::newRow("words and zero values are no serial numbers")
        << QByteArray("abc;1\nabc;2\n-0;3\n-0;4\n0;5\n0;6") << QStringLiteral(";")
        << Ausgang::Ergebnis << QByteArray("abc;1\nabc;2\n-0;3\n-0;4\n0;5\n");
    const auto le = [](const QString &text) { return alsUtf16(text, QSysInfo::LittleEndian); };
    QTest::newRow("UTF-16 with mark: delimiter and keys are text")
        << le(u"\uFEFF1ä x\r\n1ä y\r\n1ö z\r\n3ä w"_s) << QStringLiteral("ä") << Ausgang::Ergebnis
        << le(u"\uFEFF1ä x\r\n1ö z\r\n3ä w\r\n"_s);
    QTest::newRow("UTF-16 cut off inside a code unit: the last line stays last")
        << le(u"\uFEFF1;a\n2;b\n1;c\n1;d"_s) + 'Z' << QStringLiteral(";") << Ausgang::Ergebnis
        << le(u"\uFEFF1;a\n2;b\n"_s) + le(u"1;d"_s) + 'Z' + le(u"\n"_s);
    QTest::newRow("UTF-8 mark with a stray byte") << QByteArray("\xEF\xBB\xBF"
                                                                "1;a\n2\xFF;b\n1;c\n2;d")
                                                  << QStringLiteral(";") << Ausgang::Ergebnis
                                                  << QByteArray("\xEF\xBB\xBF"
                                                                "1;a\n2\xFF;b\n2;d\n");
    QTest::newRow("Windows-1252 delimiter")
        << QByteArray("1\xE4x\n1\xE4y\n2\xE4z\n3\xE4w\n") << QStringLiteral("ä")
        << Ausgang::Ergebnis << QByteArray("1\xE4x\n2\xE4z\n3\xE4w\n");
}

void TestBehalteErste::bekannteLaeufe()
{
    QFETCH(QByteArray, datei);
    QFETCH(QString, trennzeichen);
    QFETCH(Ausgang, ausgang);
    QFETCH(QByteArray, ergebnis);

    const auto modell = Referenzmodell::behalteErste(datei, trennzeichen);
    QCOMPARE(modell.ausgang, ausgang);
    QCOMPARE(modell.ergebnis, ergebnis);

    const auto lauf = Testlauf::behalteErste(Testlauf::arbeitsordner(), datei, trennzeichen);
    QCOMPARE(lauf.fehler, QString());
    QCOMPARE(lauf.ausgang, ausgang);
    QCOMPARE(lauf.geschrieben, ergebnis);
}

namespace {

struct Zaehlung
{
    int mitErgebnis = 0;
    int zeilenweise = 0;
    QString fehler;
};

// 3,000 random files through the engine and the model; the first one where they part ends it.
Zaehlung gegenModell(quint32 startwert, bool mitAnfuehrung, Referenzmodell::Lesart lesart,
                     const QString &ordner)
{
    QRandomGenerator zufall(startwert);
    Zaehlung zaehlung;
    for (int nr = 0; nr < 3000; ++nr) {
        const QString &trenner = eines(zufall, trennzeichen);
        const QByteArray datei = mitAnfuehrung ? zufallsdateiMitAnfuehrung(zufall, trenner.toUtf8())
                                               : zufallsdatei(zufall, trenner.toUtf8());
        const auto modell = Referenzmodell::behalteErste(datei, trenner, lesart);
        const auto lauf = Testlauf::behalteErste(ordner, datei, trenner);
        if (!lauf.fehler.isEmpty() || lauf.zeilenweise != modell.zeilenweise ||
            lauf.ausgang != modell.ausgang || lauf.geschrieben != modell.ergebnis) {
            zaehlung.fehler = lauf.fehler + u"\nDatei "_s + QString::number(nr) +
                              u" mit Trennzeichen \""_s + trenner + u"\": "_s +
                              QString::fromLatin1(datei.toPercentEncoding());
            return zaehlung;
        }
        zaehlung.mitErgebnis += modell.ausgang == Ausgang::Ergebnis ? 1 : 0;
        zaehlung.zeilenweise += modell.zeilenweise ? 1 : 0;
    }
    return zaehlung;
}

} // namespace

void TestBehalteErste::zufallsdateien()
{
    // Without a quote a file is read exactly as before records were known.
    const Zaehlung z =
        gegenModell(20261208, false, Referenzmodell::Lesart::Zeilen, Testlauf::arbeitsordner());
    QVERIFY2(z.fehler.isEmpty(), qPrintable(z.fehler));
    // Random files that hardly ever reach a result would test little.
    QVERIFY2(z.mitErgebnis > 500, qPrintable(QString::number(z.mitErgebnis)));
}

void TestBehalteErste::datensaetzeAufZufallsdateien()
{
    const Zaehlung z =
        gegenModell(20261210, true, Referenzmodell::Lesart::Datensaetze, Testlauf::arbeitsordner());
    QVERIFY2(z.fehler.isEmpty(), qPrintable(z.fehler));
    // Both the records and the stray quotes must come up often enough to be tested.
    QVERIFY2(z.mitErgebnis > 500 && z.zeilenweise > 100 && z.zeilenweise < 1500,
             qPrintable(QStringLiteral("%1 %2").arg(z.mitErgebnis).arg(z.zeilenweise)));
}

// The rules for the remaining groups and the automatic settling of identical groups, on random
// files of which half repeat all their lines, so that many groups hold the same line.
void TestBehalteErste::regelnAufZufallsdateien()
{
    QRandomGenerator zufall(20261209);
    int mitRegel = 0;
    int mitGleichen = 0;
    for (int nr = 0; nr < 1500; ++nr) {
        const QString &trenner = eines(zufall, trennzeichen);
        QByteArray datei = nr % 2 ? zufallsdateiMitAnfuehrung(zufall, trenner.toUtf8())
                                  : zufallsdatei(zufall, trenner.toUtf8());
        if (zufall.bounded(2) == 0)
            datei += "\n" + datei;
        const Testlauf::Regelfall fall{nr % 3 == 1, zufall.bounded(3), nr % 3 == 2};
        const QString fehler =
            Testlauf::pruefeRegeln(Testlauf::arbeitsordner(), datei, trenner, fall);
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler + u"\nDatei "_s + QString::number(nr) +
                                              u" mit Trennzeichen \""_s + trenner + u"\": "_s +
                                              QString::fromLatin1(datei.toPercentEncoding())));

        // Runs that reach the command, and among them those that meet a group of the same lines.
        const auto gruppen = Referenzmodell::behalteNachRegel(datei, trenner, false, 0).verschieden;
        if (int(gruppen.size()) <= fall.vorher)
            continue;
        if (!fall.gleicheAutomatisch)
            ++mitRegel;
        else if (std::count(gruppen.begin() + fall.vorher, gruppen.end(), false) > 0)
            ++mitGleichen;
    }
    // Random files that hardly ever reach a rule or a group of identical lines would test little.
    QVERIFY2(mitRegel > 250 && mitGleichen > 90,
             qPrintable(QStringLiteral("%1 %2").arg(mitRegel).arg(mitGleichen)));
}

// Random rules over files whose keys differ only in case, spaces or zeros, some of them quoted,
// with records of one to four fields, a quoted delimiter among them; now and then Windows-1252.
void TestBehalteErste::optionenAufZufallsdateien()
{
    static const QList<QByteArray> felder = {
        "0815", "815", " 0815", "08 15 ", "000", "0",      "AB12",      "ab12",      "Ab 12",
        "US",   "us",  "",      "x",      "Nr",  "\"US\"", "\"0 815\"", "\xC3\x84x", "\xC3\xA4X",
    };
    QRandomGenerator zufall(20261211);
    int mitErgebnis = 0;
    for (int nr = 0; nr < 1000; ++nr) {
        const QByteArray trenner = eines(zufall, trennzeichen).toUtf8();
        QByteArray datei;
        for (int zeile = zufall.bounded(4, 12); zeile > 0; --zeile) {
            datei += eines(zufall, felder);
            for (int feld = zufall.bounded(4); feld > 0; --feld)
                datei += trenner +
                         (zufall.bounded(6) == 0 ? "\"1" + trenner + "2\"" : eines(zufall, felder));
            datei += zufall.bounded(40) == 0 ? "\xFF\n" : "\n";
        }
        const Referenzmodell::Optionen optionen = zufaelligeOptionen(zufall, zufall.bounded(1, 4));
        const Schluesselregel regel = regelAus(optionen);
        const QString text = QString::fromUtf8(trenner);
        const auto modell = Referenzmodell::behalteErste(
            datei, text, Referenzmodell::Lesart::Datensaetze, optionen);
        const auto lauf = Testlauf::behalteErste(Testlauf::arbeitsordner(), datei, text, regel);
        QVERIFY2(lauf.fehler.isEmpty() && lauf.ausgang == modell.ausgang &&
                     lauf.geschrieben == modell.ergebnis,
                 qPrintable(lauf.fehler + u"\nDatei "_s + QString::number(nr) +
                            u" mit Trennzeichen \""_s + text + u"\": "_s +
                            QString::fromLatin1(datei.toPercentEncoding())));
        mitErgebnis += modell.ausgang == Ausgang::Ergebnis ? 1 : 0;
    }
    QVERIFY2(mitErgebnis > 250, qPrintable(QString::number(mitErgebnis)));
}

// Groups whose kept record is known by heart pin the model's reading of values.
void TestBehalteErste::bekannteKriterien_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<Referenzmodell::Kriterium>("kriterium");
    QTest::addColumn<QByteArray>("ergebnis");

    using K = Referenzmodell::Kriterium;
    QTest::newRow("1.234 among German numbers is over a thousand")
        << QByteArray("1;999,5\n1;1.234 \xE2\x82\xAC\n2;3.75\n1;auf Anfrage\n") << K::Groesster
        << QByteArray("1;1.234 \xE2\x82\xAC\n2;3.75\n");
    QTest::newRow("1,234 among English numbers is over a thousand")
        << QByteArray("1;3.75\n1;1,234\n1;2.5\n2;x\n") << K::Groesster
        << QByteArray("1;1,234\n2;x\n");
    QTest::newRow("date without time ties with its midnight, a word never wins")
        << QByteArray("1;unbekannt\n1;01.01.20 00:00\n1;2020-01-01\n1;31.12.2019\n") << K::Groesster
        << QByteArray("1;01.01.20 00:00\n");
    QTest::newRow("text in German order") << QByteArray("1;Zander\n1;\xC3\x84rger\n1;Bach\n2;x\n")
                                          << K::Kleinster << QByteArray("1;\xC3\x84rger\n2;x\n");
    QTest::newRow("most complete: a quoted delimiter parts no field, spaces are empty")
        << QByteArray("1;\"a;b;c\";\n1; ; ; ;z\n1;x;y\n2;x\n") << K::Vollstaendigste
        << QByteArray("1;x;y\n2;x\n");
}

void TestBehalteErste::bekannteKriterien()
{
    QFETCH(QByteArray, datei);
    QFETCH(Referenzmodell::Kriterium, kriterium);
    QFETCH(QByteArray, ergebnis);

    QCOMPARE(Referenzmodell::behalteNachKriterium(datei, u";"_s, kriterium, 2).ergebnis, ergebnis);
    const auto lauf = Testlauf::behalteVorschlag(Testlauf::arbeitsordner(), datei, u";"_s,
                                                 alsKriterium(kriterium, 2));
    QCOMPARE(lauf.fehler, QString());
    QCOMPARE(lauf.geschrieben, ergebnis);
}

// Every criterion on random files of dates, prices and notes under random key options, a few
// groups kept by "Weiter" with the suggestion selected and the rest by the rule.
void TestBehalteErste::kriterienAufZufallsdateien()
{
    // Every run saves its result; in memory that costs no disk.
    const QString ordner = Testlauf::arbeitsordner();
    QRandomGenerator zufall(20261212);
    int nichtErste = 0;
    for (int nr = 0; nr < 2000; ++nr) {
        const QString &trenner = eines(zufall, trennzeichen);
        const Wertedatei datei = wertedatei(zufall, trenner, zufall.bounded(4, 14), 0);
        const Referenzmodell::Optionen optionen =
            zufaelligeOptionen(zufall, datei.schluesselspalte);
        const Schluesselregel regel = regelAus(optionen);
        const auto kriterium = Referenzmodell::Kriterium(zufall.bounded(5));
        const int spalte = zufall.bounded(1, 6); // 5: a column no record has
        const auto modell = Referenzmodell::behalteNachKriterium(datei.inhalt, trenner, kriterium,
                                                                 spalte, optionen);
        const auto lauf =
            Testlauf::behalteVorschlag(ordner, datei.inhalt, trenner,
                                       alsKriterium(kriterium, spalte), regel, zufall.bounded(3));
        QVERIFY2(lauf.fehler.isEmpty() && lauf.ausgang == modell.ausgang &&
                     lauf.geschrieben == modell.ergebnis,
                 qPrintable(lauf.fehler + u"\nDatei "_s + QString::number(nr) + u", Kriterium "_s +
                            alsKriterium(kriterium, spalte).name() + u", Schlüssel in Spalte "_s +
                            QString::number(optionen.spalte) + u", Trennzeichen \""_s + trenner +
                            u"\": "_s + QString::fromLatin1(datei.inhalt.toPercentEncoding())));
        const auto erste = Referenzmodell::behalteErste(
            datei.inhalt, trenner, Referenzmodell::Lesart::Datensaetze, optionen);
        nichtErste += modell.ergebnis != erste.ergebnis ? 1 : 0;
    }
    // Runs in which some group keeps another record than its first test the criteria at all.
    QVERIFY2(nichtErste > 600, qPrintable(QString::number(nichtErste)));
}

// tessra-bench settles every group of a generated file of a few thousand records by the
// criterion and writes what the model keeps.
void TestBehalteErste::benchMitKriterium_data()
{
    QTest::addColumn<QString>("regel");
    QTest::addColumn<Referenzmodell::Kriterium>("kriterium");
    QTest::addColumn<int>("spalte");

    using K = Referenzmodell::Kriterium;
    QTest::newRow("most complete") << u"vollstaendig"_s << K::Vollstaendigste << 0;
    QTest::newRow("newest date") << u"groesste:2"_s << K::Groesster << 2;
    QTest::newRow("oldest date") << u"kleinste:2"_s << K::Kleinster << 2;
    QTest::newRow("highest price") << u"groesste:3"_s << K::Groesster << 3;
    QTest::newRow("lowest price") << u"kleinste:3"_s << K::Kleinster << 3;
    QTest::newRow("last note in German order") << u"groesste:4"_s << K::Groesster << 4;
}

void TestBehalteErste::benchMitKriterium()
{
    QFETCH(QString, regel);
    QFETCH(Referenzmodell::Kriterium, kriterium);
    QFETCH(int, spalte);

    QRandomGenerator zufall(20261213);
    const QByteArray datei = wertedatei(zufall, u";"_s, 3000, 1000).inhalt;
    const QString pfad = m_ordner.filePath(u"bestellungen.txt"_s);
    const QString ziel = m_ordner.filePath(u"bestellungen.aus"_s);
    QFile::remove(ziel);
    QVERIFY(legeTestdateiAn(pfad, datei));
    QProcess bench;
    bench.start(QStringLiteral(TESSRA_BENCH), {pfad, u"--out"_s, ziel, u"--regel"_s, regel});
    QVERIFY(bench.waitForFinished(60000));
    QVERIFY2(bench.exitStatus() == QProcess::NormalExit && bench.exitCode() == 0,
             bench.readAllStandardError().constData());
    const auto modell = Referenzmodell::behalteNachKriterium(datei, u";"_s, kriterium, spalte);
    QCOMPARE(modell.ausgang, Ausgang::Ergebnis);
    QCOMPARE(testdateiInhalt(ziel), modell.ergebnis);
}

QTEST_GUILESS_MAIN(TestBehalteErste)
#include "tst_behalteerste.moc"
