#include "schluesselregel.h"
#include "seriennummer.h"
#include "testdateien.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSeriennummer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void seriennummer_data();
    void seriennummer();
    void istSeriennummer_data();
    void istSeriennummer();
    void schluesselregel_data();
    void schluesselregel();
};

void TestSeriennummer::seriennummer_data()
{
    QTest::addColumn<QByteArray>("zeile");
    QTest::addColumn<QByteArray>("trennzeichen");
    QTest::addColumn<bool>("darstellbar");
    QTest::addColumn<QByteArray>("serie");
    QTest::addColumn<bool>("mitTrennzeichen");

    QTest::newRow("semicolon") << QByteArray("100;A") << QByteArray(";") << true
                               << QByteArray("100") << true;
    QTest::newRow("first delimiter only")
        << QByteArray("1;2;3") << QByteArray(";") << true << QByteArray("1") << true;
    QTest::newRow("space before delimiter is part of key")
        << QByteArray("100 ;A") << QByteArray(";") << true << QByteArray("100 ") << true;
    QTest::newRow("leading spaces trimmed")
        << QByteArray("   7;x") << QByteArray(";") << true << QByteArray("7") << true;
    QTest::newRow("no delimiter: whole trimmed line")
        << QByteArray("  42  ") << QByteArray(";") << true << QByteArray("42") << false;
    QTest::newRow("tab delimiter, leading tab gives empty key")
        << QByteArray("\t5\tx") << QByteArray("\t") << true << QByteArray("") << true;
    QTest::newRow("tab is not trimmed")
        << QByteArray("\t5;x") << QByteArray(";") << true << QByteArray("\t5") << true;
    QTest::newRow("multi-character delimiter")
        << QByteArray("12, 3,4, 5") << QByteArray(", ") << true << QByteArray("12") << true;
    QTest::newRow("empty delimiter, non-empty line")
        << QByteArray("123;x") << QByteArray("") << true << QByteArray("") << true;
    QTest::newRow("empty delimiter, empty line")
        << QByteArray("") << QByteArray("") << true << QByteArray("") << false;
    QTest::newRow("delimiter that the encoding cannot hold")
        << QByteArray("12;x") << QByteArray() << false << QByteArray("12;x") << false;
    QTest::newRow("utf-8 delimiter")
        << QByteArray("9\xc2\xa7z") << QByteArray("\xc2\xa7") << true << QByteArray("9") << true;
}

void TestSeriennummer::seriennummer()
{
    QFETCH(QByteArray, zeile);
    QFETCH(QByteArray, trennzeichen);
    QFETCH(bool, darstellbar);
    QFETCH(QByteArray, serie);
    QFETCH(bool, mitTrennzeichen);

    const QByteArrayView trenner =
        darstellbar ? QByteArrayView(trennzeichen.constData(), trennzeichen.size())
                    : QByteArrayView();
    const Seriennummer ergebnis = seriennummerVon(zeile, trenner);
    QCOMPARE(ergebnis.text().toByteArray(), serie);
    QCOMPARE(ergebnis.mitTrennzeichen(), mitTrennzeichen);
}

void TestSeriennummer::istSeriennummer_data()
{
    QTest::addColumn<QByteArray>("serie");
    QTest::addColumn<bool>("erwartet");

    QTest::newRow("plain number") << QByteArray("100") << true;
    QTest::newRow("zero") << QByteArray("0") << true;
    QTest::newRow("leading zero text") << QByteArray("0abc") << true;
    QTest::newRow("leading zeros") << QByteArray("0815") << true;
    QTest::newRow("text") << QByteArray("abc") << false;
    QTest::newRow("header") << QByteArray("Nr") << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("digits then text") << QByteArray("123abc") << true;
    QTest::newRow("spaces inside a number") << QByteArray("1 2") << true;
    QTest::newRow("tab and line feed skipped") << QByteArray("\t\n7") << true;
    QTest::newRow("hex") << QByteArray("&H1F") << true;
    QTest::newRow("hex lower case") << QByteArray("&hff") << true;
    QTest::newRow("hex zero") << QByteArray("&H0") << false;
    QTest::newRow("hex without digits") << QByteArray("&Hxyz") << false;
    QTest::newRow("octal") << QByteArray("&O17") << true;
    QTest::newRow("octal digit 8 ends the number") << QByteArray("&O8") << false;
    QTest::newRow("ampersand alone") << QByteArray("&") << false;
    QTest::newRow("negative") << QByteArray("-5") << true;
    QTest::newRow("signed zero") << QByteArray("-0") << false;
    QTest::newRow("sign only") << QByteArray("+") << false;
    QTest::newRow("decimal fraction") << QByteArray(".5") << true;
    QTest::newRow("zero fraction") << QByteArray("-.000") << false;
    QTest::newRow("second point ends the number") << QByteArray("-.0.5") << false;
    QTest::newRow("exponent overflow") << QByteArray("1E400") << true;
    QTest::newRow("exponent with D") << QByteArray("-2D-3") << true;
    QTest::newRow("500 digits") << QByteArray(500, '9') << true;
    QTest::newRow("500 zero digits then one") << (QByteArray(500, '0') + '1') << true;
    QTest::newRow("non-ASCII first") << QByteArray("\xc3\xa4"
                                                   "1")
                                     << false;
}

void TestSeriennummer::istSeriennummer()
{
    QFETCH(QByteArray, serie);
    QFETCH(bool, erwartet);
    QCOMPARE(::istSeriennummer(serie), erwartet);
}

// Keys under each option (schluesselregelAus); w reads the key as Windows-1252, not UTF-8.
void TestSeriennummer::schluesselregel_data()
{
    QTest::addColumn<QByteArray>("zeile");
    QTest::addColumn<QString>("regel");
    QTest::addColumn<bool>("istSerie");
    QTest::addColumn<QByteArray>("form");

    QTest::newRow("start values: first column, number")
        << QByteArray("0815 ;x") << u""_s << true << QByteArray("0815 ");
    QTest::newRow("text key without the option")
        << QByteArray("US;x") << u""_s << false << QByteArray();
    QTest::newRow("text key") << QByteArray("US;x") << u"t"_s << true << QByteArray("US");
    QTest::newRow("no delimiter, no text key")
        << QByteArray("US") << u"t"_s << false << QByteArray();
    QTest::newRow("empty field, no text key")
        << QByteArray(";x") << u"t"_s << false << QByteArray();
    QTest::newRow("third column") << QByteArray("1;A;4711;z") << u"3"_s << true
                                  << QByteArray("4711");
    QTest::newRow("quoted fields before and at the column")
        << QByteArray("1;\"A;B\"; \"47\"\"11\" ") << u"3t"_s << true << QByteArray("47\"11");
    QTest::newRow("unclosed quote: fields split unquoted")
        << QByteArray("\"1;A;5") << u"3"_s << true << QByteArray("5");
    QTest::newRow("last column, record's trailing spaces go")
        << QByteArray("A;B;12  ") << u"3"_s << true << QByteArray("12");
    QTest::newRow("fewer fields than the column")
        << QByteArray("1;A") << u"3t"_s << false << QByteArray();
    QTest::newRow("spaces inside ignored")
        << QByteArray(" 08 15 ;x") << u"l"_s << true << QByteArray("0815");
    QTest::newRow("leading zeros ignored")
        << QByteArray("0815;x") << u"n"_s << true << QByteArray("815");
    QTest::newRow("only zeros stay 0") << QByteArray("000;x") << u"n"_s << true << QByteArray("0");
    QTest::newRow("zeros behind a space with spaces ignored")
        << QByteArray("0 815;x") << u"ln"_s << true << QByteArray("815");
    QTest::newRow("case, ASCII") << QByteArray("AB12;x") << u"tg"_s << true << QByteArray("ab12");
    QTest::newRow("case, UTF-8") << QByteArray("\xC3\x84X;x") << u"tg"_s << true
                                 << QByteArray("\xC3\xA4x");
    QTest::newRow("case, Windows-1252")
        << QByteArray("\xC4\x8AX;x") << u"tgw"_s << true << QByteArray("\xE4\x9Ax");
    QTest::newRow("case, a byte that is no UTF-8 stays")
        << QByteArray("\xFF\xC3\x84;x") << u"tg"_s << true << QByteArray("\xFF\xC3\xA4");
}

void TestSeriennummer::schluesselregel()
{
    QFETCH(QByteArray, zeile);
    QFETCH(QString, regel);
    QFETCH(bool, istSerie);
    QFETCH(QByteArray, form);

    const Schluesselregel r = schluesselregelAus(regel);
    const Seriennummer serie = r.lies(zeile, ";");
    QCOMPARE(r.istSeriennummer(serie), istSerie);
    QByteArray puffer;
    if (istSerie)
        QCOMPARE(r.vergleichsform(serie.text(), regel.contains(u'w'), puffer).toByteArray(), form);
}

QTEST_GUILESS_MAIN(TestSeriennummer)
#include "tst_seriennummer.moc"
