#include "kriterium.h"

#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;

class TestKriterium : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void vorgeschlagen_data();
    void vorgeschlagen();
};

// The groups are records "Nr;Wert"; the column's reading is decided by the values shown, as the
// file's column decides it.
void TestKriterium::vorgeschlagen_data()
{
    QTest::addColumn<QString>("kriterium"); // "voll", "letzte", "max", "min" (column 2)
    QTest::addColumn<QStringList>("saetze");
    QTest::addColumn<int>("erwartet");

    QTest::newRow("most complete: spaces only are empty, a tie keeps the earliest")
        << u"voll"_s << QStringList{u"1;a;;"_s, u"1;a;b; "_s, u"1;a;  ;c"_s} << 1;
    QTest::newRow("last") << u"letzte"_s << QStringList{u"1;a"_s, u"1;b"_s} << 1;
    QTest::newRow("German dates with and without time, two-digit year")
        << u"max"_s << QStringList{u"1;31.12.2024"_s, u"1;01.01.2025"_s, u"1;31.12.24 23:59"_s}
        << 1;
    QTest::newRow("ISO dates, midnight equals no time")
        << u"min"_s
        << QStringList{u"1;2024-12-31"_s, u"1;2023-01-01T10:00"_s, u"1;2023-01-01 10:00:00"_s} << 1;
    QTest::newRow("German numbers with a unit, unreadable never wins")
        << u"max"_s << QStringList{u"1;auf Anfrage"_s, u"1;1.234,56 €"_s, u"1;999,99 €"_s} << 1;
    QTest::newRow("English numbers")
        << u"max"_s << QStringList{u"1;1,234.56"_s, u"1;1234.57"_s, u"1;12.5"_s} << 1;
    QTest::newRow("1.234 in a German column is a thousand and more")
        << u"max"_s << QStringList{u"1;999,5"_s, u"1;1.234"_s} << 1;
    QTest::newRow("1.234 in an English column is one and a bit")
        << u"max"_s << QStringList{u"1;1.234"_s, u"1;3.75"_s, u"1;2.5"_s} << 1;
    QTest::newRow("text in German order")
        << u"min"_s << QStringList{u"1;Zander"_s, u"1;Ärger"_s, u"1;Bach"_s} << 1;
    QTest::newRow("a word in a date column never wins")
        << u"min"_s << QStringList{u"1;unbekannt"_s, u"1;02.01.2020"_s, u"1;01.01.2020"_s} << 2;
    QTest::newRow("no value at all, a missing column: the first")
        << u"max"_s << QStringList{u"1;"_s, u"1;  "_s, u"1"_s} << 0;
    QTest::newRow("a tie keeps the earliest")
        << u"max"_s << QStringList{u"1;5"_s, u"1;7"_s, u"1;7,0"_s} << 1;
    QTest::newRow("quoted values")
        << u"max"_s << QStringList{u"1;\"1.234,50\""_s, u"1;\"2.000,00\""_s} << 1;
}

void TestKriterium::vorgeschlagen()
{
    QFETCH(QString, kriterium);
    QFETCH(QStringList, saetze);
    QFETCH(int, erwartet);

    const Kriterium welches = kriterium == u"voll"     ? Kriterium::vollstaendigste()
                              : kriterium == u"letzte" ? Kriterium::letzte()
                              : kriterium == u"max"    ? Kriterium::groesster(2)
                                                       : Kriterium::kleinster(2);
    std::vector<QString> werte;
    for (const QString &satz : std::as_const(saetze))
        werte.push_back(feldtexte(satz, u";").value(1));
    const std::vector<QString> gruppe(saetze.begin(), saetze.end());
    QCOMPARE(::vorgeschlagen(welches, gruppe, u";", Spaltenlesart::bestimme(werte)), erwartet);
}

QTEST_GUILESS_MAIN(TestKriterium)
#include "tst_kriterium.moc"
