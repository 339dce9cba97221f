#include "referenzmodell.h"
#include "testdateien.h"
#include "testlauf.h"

#include <QRandomGenerator>
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

private:
    QTemporaryDir m_ordner;
};

namespace {

const QList<QString> trennzeichen = {
    QStringLiteral(";"), QStringLiteral("\t"), QStringLiteral(","),  QStringLiteral(", "),
    QStringLiteral("ä"), QStringLiteral("€"),  QStringLiteral(";;"),
};

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

    const auto lauf = Testlauf::behalteErste(m_ordner.path(), datei, trennzeichen);
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
        gegenModell(20261208, false, Referenzmodell::Lesart::Zeilen, m_ordner.path());
    QVERIFY2(z.fehler.isEmpty(), qPrintable(z.fehler));
    // Random files that hardly ever reach a result would test little.
    QVERIFY2(z.mitErgebnis > 500, qPrintable(QString::number(z.mitErgebnis)));
}

void TestBehalteErste::datensaetzeAufZufallsdateien()
{
    const Zaehlung z =
        gegenModell(20261210, true, Referenzmodell::Lesart::Datensaetze, m_ordner.path());
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
        const QString fehler = Testlauf::pruefeRegeln(m_ordner.path(), datei, trenner, fall);
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
        const Referenzmodell::Optionen optionen{zufall.bounded(1, 4), zufall.bounded(2) == 0,
                                                zufall.bounded(2) == 0, zufall.bounded(2) == 0,
                                                zufall.bounded(2) == 0};
        Schluesselregel regel;
        regel.spalte = optionen.spalte;
        regel.text = optionen.text;
        regel.grossKleinIgnorieren = optionen.grossKlein;
        regel.leerzeichenIgnorieren = optionen.leerzeichen;
        regel.nullenIgnorieren = optionen.nullen;
        const QString text = QString::fromUtf8(trenner);
        const auto modell = Referenzmodell::behalteErste(
            datei, text, Referenzmodell::Lesart::Datensaetze, optionen);
        const auto lauf = Testlauf::behalteErste(m_ordner.path(), datei, text, regel);
        QVERIFY2(lauf.fehler.isEmpty() && lauf.ausgang == modell.ausgang &&
                     lauf.geschrieben == modell.ergebnis,
                 qPrintable(lauf.fehler + u"\nDatei "_s + QString::number(nr) +
                            u" mit Trennzeichen \""_s + text + u"\": "_s +
                            QString::fromLatin1(datei.toPercentEncoding())));
        mitErgebnis += modell.ausgang == Ausgang::Ergebnis ? 1 : 0;
    }
    QVERIFY2(mitErgebnis > 250, qPrintable(QString::number(mitErgebnis)));
}

QTEST_GUILESS_MAIN(TestBehalteErste)
#include "tst_behalteerste.moc"
