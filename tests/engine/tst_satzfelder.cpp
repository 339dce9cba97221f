#include "duplikatensuche.h"
#include "fakemainview.h"
#include "gruppenvergleich.h"
#include "satzfelder.h"
#include "testdateien.h"
#include "textdatei.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A record into the values of its fields and back: the values a spreadsheet shows, and the
// record to keep built from fields of several records, written as a spreadsheet writes it.
class TestSatzfelder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teilen_data();
    void teilen();
    void zusammenfuegen_data();
    void zusammenfuegen();
    void spalten();
};

namespace {

QByteArray utf16le(const QString &text)
{
    return alsUtf16(u"\uFEFF"_s + text, QSysInfo::LittleEndian);
}

QByteArray windows1252(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text)
        bytes += c == u'€' ? char(0x80) : char(c.unicode());
    return bytes;
}

// Lines of serial numbers of their own after a group, in the file's encoding and line end:
// a file must have a few lines to be worth a run.
QByteArray schluss(const QByteArray &datei)
{
    const QString zeilen = datei.contains('\r') ? u"7\r\n8\r\n9\r\n"_s : u"7\n8\n9\n"_s;
    return datei.startsWith("\xFF\xFE") ? alsUtf16(zeilen, QSysInfo::LittleEndian)
                                        : zeilen.toLatin1();
}

// A loaded run whose first group is on show.
struct Lauf
{
    explicit Lauf(const QByteArray &inhalt, const QString &trenner)
    {
        const QString pfad = ordner.filePath(u"daten.csv"_s);
        QVERIFY(legeTestdateiAn(pfad, QByteArray(inhalt + schluss(inhalt))));
        view.waehleTrennzeichen(trenner);
        view.setTxtPfad(pfad);
        suche.txtPfad_Change();
        suche.btnLaden_Click();
    }
    std::vector<qsizetype> gruppe() const
    {
        std::vector<qsizetype> zeilen;
        for (const auto &item : view.items)
            zeilen.push_back(item.data);
        return zeilen;
    }

    QTemporaryDir ordner;
    FakeMainView view;
    Duplikatensuche suche{view};
};

} // namespace

void TestSatzfelder::teilen_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("trenner");
    QTest::addColumn<QStringList>("werte");

    QTest::newRow("ohne Anführung")
        << "1;a b;c"_ba << u";"_s << QStringList{u"1"_s, u"a b"_s, u"c"_s};
    QTest::newRow("Trenner in Anführung")
        << "1;\"x;y\";z"_ba << u";"_s << QStringList{u"1"_s, u"x;y"_s, u"z"_s};
    QTest::newRow("verdoppeltes Anführungszeichen")
        << "1;\"3/4\"\" Messing\""_ba << u";"_s << QStringList{u"1"_s, u"3/4\" Messing"_s};
    QTest::newRow("nur ein Anführungszeichen")
        << "1;\"\"\"\""_ba << u";"_s << QStringList{u"1"_s, u"\""_s};
    QTest::newRow("leer in Anführung")
        << "1;\"\";2"_ba << u";"_s << QStringList{u"1"_s, QString(), u"2"_s};
    QTest::newRow("leere Felder") << "1;;"_ba << u";"_s
                                  << QStringList{u"1"_s, QString(), QString()};
    QTest::newRow("Leerzeichen vor und nach der Anführung")
        << "1; \"x\" ;2"_ba << u";"_s << QStringList{u"1"_s, u"x"_s, u"2"_s};
    QTest::newRow("nicht geschlossen") << "1;\"abc"_ba << u";"_s << QStringList{u"1"_s, u"\"abc"_s};
    QTest::newRow("Umbruch LF in der Zelle")
        << "1;\"a\nb\";2\n"_ba << u";"_s << QStringList{u"1"_s, u"a\nb"_s, u"2"_s};
    QTest::newRow("Umbruch CR LF in der Zelle einer CR-LF-Datei")
        << "1;\"a\r\nb\";2\r\n"_ba << u";"_s << QStringList{u"1"_s, u"a\r\nb"_s, u"2"_s};
    QTest::newRow("Trenner aus mehreren Zeichen")
        << "1::\"a::b\"::c:d"_ba << u"::"_s << QStringList{u"1"_s, u"a::b"_s, u"c:d"_s};
    QTest::newRow("Trenner mit Anführungszeichen")
        << "\"a\";\"b\""_ba << u"\";\""_s << QStringList{u"\"a"_s, u"b\""_s};
    QTest::newRow("UTF-16") << utf16le(u"0815;\"Straße\n1\";x\r\n"_s) << u";"_s
                            << QStringList{u"0815"_s, u"Straße\n1"_s, u"x"_s};
    QTest::newRow("Windows-1252") << windows1252(u"0815;\"Müller; Söhne\";5 €\r\n"_s) << u";"_s
                                  << QStringList{u"0815"_s, u"Müller; Söhne"_s, u"5 €"_s};
}

void TestSatzfelder::teilen()
{
    QFETCH(QByteArray, datei);
    QFETCH(QString, trenner);
    QFETCH(QStringList, werte);

    const Textdatei text = Textdatei::ausBytes(datei, trenner);
    const QString satz = text.text(0);
    const QList<Satzfelder::Feld> felder = Satzfelder::teile(satz, trenner);
    QStringList gelesen;
    QList<std::optional<QString>> rohfelder;
    for (const auto &feld : felder) {
        gelesen.append(feld.wert);
        rohfelder.append(feld.roh);
    }
    QCOMPARE(gelesen, werte);
    // Every field's text joined again is the record as it was.
    QCOMPARE(Satzfelder::verbinde(rohfelder, trenner), satz);
}

void TestSatzfelder::zusammenfuegen_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("trenner");
    // "Z s f": take field f of the group's record s; "B f text": type text into field f;
    // "U": take the last step back; "R": "Weiter", then take that decision back.
    QTest::addColumn<QStringList>("schritte");
    QTest::addColumn<QByteArray>("ergebnis");

    const QByteArray drei = "1;\"Weg 1\nOrt\";alt\n1;neu;\"x;y\"\n1;;\"\"\"z\"\"\"\n"_ba;
    QTest::newRow("Felder behalten ihre Anführung")
        << drei << u";"_s << QStringList{u"Z 1 2"_s} << "1;\"Weg 1\nOrt\";\"x;y\"\n"_ba;
    QTest::newRow("zurück zum ersten Satz ist der Satz selbst")
        << drei << u";"_s << QStringList{u"Z 1 1"_s, u"U"_s} << "1;\"Weg 1\nOrt\";alt\n"_ba;
    QTest::newRow("alle Felder eines Satzes sind dieser Satz")
        << drei << u";"_s << QStringList{u"Z 2 1"_s, u"Z 2 2"_s} << "1;;\"\"\"z\"\"\"\n"_ba;
    QTest::newRow("getippter Wert wie ein Satz ist dieser Satz")
        << drei << u";"_s << QStringList{u"B 2 x;y"_s, u"B 1 neu"_s} << "1;neu;\"x;y\"\n"_ba;
    QTest::newRow("getippt ohne Besonderes")
        << drei << u";"_s << QStringList{u"B 2 a b"_s} << "1;\"Weg 1\nOrt\";a b\n"_ba;
    QTest::newRow("getippt mit Trenner")
        << drei << u";"_s << QStringList{u"B 2 a;b"_s} << "1;\"Weg 1\nOrt\";\"a;b\"\n"_ba;
    QTest::newRow("getippt mit Anführungszeichen")
        << drei << u";"_s << QStringList{u"B 2 3/4\" Messing"_s}
        << "1;\"Weg 1\nOrt\";\"3/4\"\" Messing\"\n"_ba;
    QTest::newRow("getippt mit Leerzeichen am Rand")
        << drei << u";"_s << QStringList{u"B 2  x"_s} << "1;\"Weg 1\nOrt\";\" x\"\n"_ba;
    QTest::newRow("getippt mit Umbruch")
        << drei << u";"_s << QStringList{u"B 2 a↵b"_s} << "1;\"Weg 1\nOrt\";\"a\nb\"\n"_ba;
    QTest::newRow("fehlende Felder eines kürzeren Satzes bleiben leer")
        << "1;a\n1;b;c;d\n"_ba << u";"_s << QStringList{u"Z 1 3"_s} << "1;a;;d\n"_ba;
    QTest::newRow("fehlendes letztes Feld übernommen")
        << "1;a;b\n1;c\n"_ba << u";"_s << QStringList{u"Z 1 2"_s} << "1;a\n"_ba;
    QTest::newRow("zurückgenommen kommt der zusammengeführte Satz wieder")
        << "1;\"a\r\nb\";x\r\n1;\"c\nd\";y\r\n"_ba << u";"_s << QStringList{u"Z 1 1"_s, u"R"_s}
        << "1;\"c\nd\";x\r\n"_ba;
    QTest::newRow("Trenner aus mehreren Zeichen")
        << "1::a::\"b::c\"\r\n1::d::e\r\n"_ba << u"::"_s << QStringList{u"Z 1 1"_s, u"B 2 x::y"_s}
        << "1::d::\"x::y\"\r\n"_ba;
    QTest::newRow("Trenner mit Anführungszeichen: nichts wird gequotet")
        << "1\";\"a\";\"b\n1\";\"c\";\"d\n"_ba << u"\";\""_s << QStringList{u"B 1 x\"y"_s}
        << "1\";\"x\"y\";\"b\n"_ba;
    QTest::newRow("Umbrüche der Zelle bleiben ihre Zeichen")
        << "1;\"a\r\nb\";x\r\n1;\"c\nd\";y\r\n"_ba << u";"_s << QStringList{u"Z 1 1"_s}
        << "1;\"c\nd\";x\r\n"_ba;
    QTest::newRow("UTF-16") << utf16le(u"1;Straße;a\r\n1;Weg;\"b;c\"\r\n"_s) << u";"_s
                            << QStringList{u"Z 1 2"_s, u"B 1 Gasse ü"_s}
                            << utf16le(u"1;Gasse ü;\"b;c\"\r\n"_s);
    QTest::newRow("Windows-1252") << windows1252(u"1;Müller;5 €\r\n1;Möller;6 €\r\n"_s) << u";"_s
                                  << QStringList{u"Z 1 1"_s} << windows1252(u"1;Möller;5 €\r\n"_s);
}

void TestSatzfelder::zusammenfuegen()
{
    QFETCH(QByteArray, datei);
    QFETCH(QString, trenner);
    QFETCH(QStringList, schritte);
    QFETCH(QByteArray, ergebnis);

    Lauf lauf(datei, trenner);
    QVERIFY2(lauf.suche.gruppeGezeigt(), qPrintable(lauf.view.bild()));
    Gruppenvergleich vergleich(lauf.suche.zustand(), lauf.gruppe());
    for (const QString &schritt : schritte) {
        const QStringList teile = schritt.split(u' ');
        if (teile[0] == u"Z")
            vergleich.uebernimmZelle(teile[1].toInt(), teile[2].toInt());
        else if (teile[0] == u"B")
            vergleich.bearbeite(
                teile[1].toInt(),
                schritt.sliced(teile[0].size() + teile[1].size() + 2).replace(u'↵', u'\n'));
        else if (teile[0] == u"U")
            QVERIFY(vergleich.nimmZurueck());
        if (teile[0] != u"R") {
            lauf.suche.uebernimmVergleich(vergleich);
            continue;
        }
        lauf.suche.btnNaechsteZeile_Click();
        lauf.suche.letzteEntscheidungZuruecknehmen();
    }
    lauf.suche.btnNaechsteZeile_Click();
    QVERIFY2(lauf.view.messages.isEmpty(),
             lauf.view.messages.isEmpty() ? "" : qPrintable(lauf.view.messages[0].text));
    const SuchZustand &z = lauf.suche.zustand();
    QCOMPARE(z.Ergebnis.dateiinhalt(z.Zeilen), QByteArray(ergebnis + schluss(datei)));
}

// Column names come from a first record that belongs to no group; cells differ from the
// group's first record, and a record drawn late with more fields widens the table.
void TestSatzfelder::spalten()
{
    Lauf mitKopf("Nr;Name\n1;a\n1;b;c\n"_ba, u";"_s);
    Gruppenvergleich vergleich(mitKopf.suche.zustand(), mitKopf.gruppe());
    QCOMPARE(vergleich.spalten(), 3);
    QCOMPARE(vergleich.spaltenname(1), u"Name"_s);
    QCOMPARE(vergleich.spaltenname(2), u"Spalte 3"_s);
    QCOMPARE(vergleich.dateizeile(1), 2);
    QVERIFY(!vergleich.weichtAb(1, 0));
    QVERIFY(vergleich.weichtAb(1, 1));
    QVERIFY(vergleich.weichtAb(1, 2));
    QCOMPARE(vergleich.abweichendeSpalten(), (std::vector<bool>{false, true, true}));

    Lauf ohneKopf("1;a\n2;x\n1;a\n2;y\n"_ba, u";"_s);
    Gruppenvergleich erste(ohneKopf.suche.zustand(), ohneKopf.gruppe());
    QCOMPARE(erste.spaltenname(0), u"Spalte 1"_s);
    QCOMPARE(erste.abweichendeSpalten(), (std::vector<bool>{false, false}));

    // The column count is taken from the first records; one further down adds its own.
    QByteArray lang;
    for (int i = 0; i < 300; ++i)
        lang += "1;a\n";
    lang += "1;a;b\n";
    Lauf spaet(lang, u";"_s);
    Gruppenvergleich weit(spaet.suche.zustand(), spaet.gruppe());
    QCOMPARE(weit.spalten(), 2);
    QCOMPARE(weit.wert(300, 2), u"b"_s);
    QCOMPARE(weit.spalten(), 3);
}

QTEST_GUILESS_MAIN(TestSatzfelder)
#include "tst_satzfelder.moc"
