#include "anzeigetext.h"
#include "duplikatensuche.h"
#include "fakemainview.h"
#include "testdateien.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using Control = MainView::Control;
using Label = MainView::Label;
using Delimiter = MainView::Delimiter;

namespace {

const QString fertig = QStringLiteral("FERTIG - Bitte Speichern -");

// One run of the engine over a file in a temporary folder, driven through the fake view.
class Lauf
{
public:
    explicit Lauf(const QByteArray &inhalt, const QString &trennzeichen = QStringLiteral(";"))
        : pfad(dir.filePath(QStringLiteral("daten.txt")))
    {
        QVERIFY(legeTestdateiAn(pfad, inhalt));
        view.waehleTrennzeichen(trennzeichen);
        view.setTxtPfad(pfad);
        suche.txtPfad_Change();
    }

    void lade() { suche.btnLaden_Click(); }

    // The group on show as "text@data|text@data".
    QString gruppe() const
    {
        QStringList eintraege;
        for (const auto &item : view.items)
            eintraege.append(item.text + u'@' + QString::number(item.data));
        return eintraege.join(u'|');
    }

    void waehle(qsizetype index)
    {
        view.selectLstZeilenItem(index);
        suche.LstZeilen_Click();
    }

    // "#k" picks item k, "=text" types text, "" empties the edit field.
    void bereite(const QString &wahl)
    {
        if (wahl.startsWith(u'#'))
            waehle(wahl.sliced(1).toInt());
        else
            view.setTxtZeile(wahl.mid(1));
    }
    // The choice, then "Weiter".
    void entscheide(const QString &wahl)
    {
        bereite(wahl);
        suche.btnNaechsteZeile_Click();
    }

    // Keeps the listed first line of every group left and returns what "Speichern unter..."
    // writes.
    QByteArray beendeUndSpeichere()
    {
        while (gruppeGezeigt())
            suche.btnNaechsteZeile_Click();
        const QString ziel = dir.filePath(QStringLiteral("ergebnis.txt"));
        QFile::remove(ziel);
        view.answers.enqueue(ziel);
        suche.btnSpeichernUnter_Click();
        return testdateiInhalt(ziel);
    }

    bool gruppeGezeigt() const { return view.isEnabled(Control::btnNaechsteZeile); }

    // One rule keeps the first line of every group left; returns the result then ready.
    QByteArray behalteErste()
    {
        if (gruppeGezeigt()) {
            view.yesNoAnswers.enqueue(true);
            suche.alleWeiterenGruppen(Duplikatensuche::Regel::ErsteBehalten);
        }
        const SuchZustand &z = suche.zustand();
        return z.Ergebnis.dateiinhalt(z.Zeilen);
    }

    // The decisions that can be taken back, counted by taking back all of them.
    int nimmAlleZurueck()
    {
        int anzahl = 0;
        for (; suche.kannZuruecknehmen(); ++anzahl)
            suche.letzteEntscheidungZuruecknehmen();
        return anzahl;
    }
    QString status() const { return view.caption(Label::lblZeile); }

    QTemporaryDir dir;
    QString pfad;
    FakeMainView view;
    Duplikatensuche suche{view};
};

} // namespace

class TestDuplikatensuche : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void vorschlagAlsRegel_data();
    void vorschlagAlsRegel();
    void vorschlagBeimZeigen();
    void lauf_data();
    void lauf();
    void fuenfZeilenBeispiel();
    void ohneErgebnis_data();
    void ohneErgebnis();
    void zuruecksetzen();
    void resetDannWeiter();
    void pfadpruefung_data();
    void pfadpruefung();
    void pfadWirdGetrimmt();
    void speichernErsetzt();
    void speichernBehaeltRechteUndLink();
    void speichernUnterKurzeAntwort();
    void ladefehler();
    void speicherfehlerLassenDatenHeil();
    void zeichenOhnePlatzImZeichensatz();
    void ueberlangeZeileBleibtGanz();
    void zuruecknehmen_data();
    void zuruecknehmen();
    void bearbeitungWirdAbgelehnt_data();
    void bearbeitungWirdAbgelehnt();
    void offenesAnfuehrungszeichen_data();
    void offenesAnfuehrungszeichen();
    void abbrechenBeimLaden_data();
    void abbrechenBeimLaden();
    void abbrechenLaesstDenLauf_data();
    void abbrechenLaesstDenLauf();
    void schluesselregel_data();
    void schluesselregel();
    void ohneGruppen_data();
    void ohneGruppen();
    void regelWaehrendDesLaufs();
};

// Whole runs: file, delimiter, the groups the user is shown, what the user does with each, and
// the file "Speichern unter..." writes.
void TestDuplikatensuche::lauf_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("trennzeichen");
    QTest::addColumn<QStringList>("gruppen");
    // Per group: "#k" picks item k, "=text" types text, "" empties the edit field.
    QTest::addColumn<QStringList>("wahl");
    QTest::addColumn<QByteArray>("ergebnis");
    QTest::addColumn<QString>("anzSerien");

    const QString semikolon = QStringLiteral(";");

    QTest::newRow("five lines, second of the group kept")
        << QByteArray("Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n") << semikolon
        << QStringList{u"100;A@1|100;C@3"_s} << QStringList{u"#1"_s}
        << QByteArray("Nr;Name\r\n100;C\r\n200;B\r\n300;D\r\n") << u"3"_s;
    QTest::newRow("whole keys, short key first")
        << QByteArray("12;x\n123;y\n12;z\n123;w\n") << semikolon
        << QStringList{u"12;x@0|12;z@2"_s, u"123;y@1|123;w@3"_s} << QStringList{u"#0"_s, u"#1"_s}
        << QByteArray("12;x\n123;w\n") << u"2"_s;
    QTest::newRow("whole keys, long key first: nothing lost")
        << QByteArray("123;y\n12;x\n5;a\n5;b\n") << semikolon << QStringList{u"5;a@2|5;b@3"_s}
        << QStringList{u"#0"_s} << QByteArray("123;y\n12;x\n5;a\n") << u"3"_s;
    QTest::newRow("three lines of one key")
        << QByteArray("h\n5;a\n5;b\nx\n5;c\n") << semikolon << QStringList{u"5;a@1|5;b@2|5;c@4"_s}
        << QStringList{u"#2"_s} << QByteArray("h\n5;c\nx\n") << u"1"_s;
    QTest::newRow("key-less lines pass, odd serial numbers are grouped")
        << QByteArray("Nr;Name\r\n\r\nabc;1\r\n0;a\r\n0;b\r\n0abc;c\r\n0abc;d\r\n&H1F;e\r\n"
                      "&H1F;f\r\n1 2;g\r\n1 2;h\r\nabc;2\r\n")
        << semikolon
        << QStringList{u"0;a@3|0;b@4"_s, u"0abc;c@5|0abc;d@6"_s, u"&H1F;e@7|&H1F;f@8"_s,
                       u"1 2;g@9|1 2;h@10"_s}
        << QStringList{u"#0"_s, u"#1"_s, u"#0"_s, u"#1"_s}
        << QByteArray("Nr;Name\r\n\r\nabc;1\r\n0;a\r\n0abc;d\r\n&H1F;e\r\n1 2;h\r\nabc;2\r\n")
        << u"4"_s;
    QTest::newRow("tab delimiter, a leading tab makes a line key-less")
        << QByteArray("\t1\ta\r\n\t1\tb\r\n7\tx\r\n7\ty\r\n") << QStringLiteral("\t")
        << QStringList{u"7\tx@2|7\ty@3"_s} << QStringList{u"#1"_s}
        << QByteArray("\t1\ta\r\n\t1\tb\r\n7\ty\r\n") << u"1"_s;
    QTest::newRow("multi-character delimiter")
        << QByteArray("1, a\n1,b\n1, c\n2, d\n") << QStringLiteral(", ")
        << QStringList{u"1, a@0|1, c@2"_s} << QStringList{u"#0"_s}
        << QByteArray("1, a\n1,b\n2, d\n") << u"2"_s;
    QTest::newRow("leading spaces do not hide a repeat")
        << QByteArray("  8;a\n8;b\nx\ny\n") << semikolon << QStringList{u"  8;a@0|8;b@1"_s}
        << QStringList{u"#0"_s} << QByteArray("  8;a\nx\ny\n") << u"1"_s;
    QTest::newRow("space before the delimiter is part of the key")
        << QByteArray("100 ;A\n100;B\n100 ;C\nx\n") << semikolon
        << QStringList{u"100 ;A@0|100 ;C@2"_s} << QStringList{u"#1"_s}
        << QByteArray("100 ;C\n100;B\nx\n") << u"2"_s;
    QTest::newRow("edited line") << QByteArray("1;a\n1;b\n2;c\n3;d\n") << semikolon
                                 << QStringList{u"1;a@0|1;b@1"_s} << QStringList{u"=1;neu"_s}
                                 << QByteArray("1;neu\n2;c\n3;d\n") << u"3"_s;
    QTest::newRow("emptied edit field drops the group")
        << QByteArray("1;a\n1;b\n2;c\n3;d\n") << semikolon << QStringList{u"1;a@0|1;b@1"_s}
        << QStringList{u""_s} << QByteArray("2;c\n3;d\n") << u"3"_s;
    QTest::newRow("every group emptied gives an empty result")
        << QByteArray("1;a\n1;b\n2;a\n2;b\n") << semikolon
        << QStringList{u"1;a@0|1;b@1"_s, u"2;a@2|2;b@3"_s} << QStringList{u""_s, u""_s}
        << QByteArray() << u"2"_s;
    QTest::newRow("windows-1252 kept byte for byte, edit encoded as windows-1252")
        << QByteArray("Nr;Name\r\n1;M\xFC\x81\r\n1;M\xFC GmbH\r\n2;\x80\x8D\r\n2;x\r\n")
        << semikolon << QStringList{u"1;Mü\u0081@1|1;Mü GmbH@2"_s, u"2;€\u008D@3|2;x@4"_s}
        << QStringList{u"#1"_s, u"=2;Maß €"_s}
        << QByteArray("Nr;Name\r\n1;M\xFC GmbH\r\n2;Ma\xDF \x80\r\n") << u"2"_s;
    QTest::newRow("utf-8 with bom stays utf-8 with bom")
        << QByteArray("\xEF\xBB\xBF"
                      "1;\xC3\xA4\n1;b\n2;c\n3;d\n")
        << semikolon << QStringList{u"1;ä@0|1;b@1"_s} << QStringList{u"=1;Größe"_s}
        << QByteArray("\xEF\xBB\xBF"
                      "1;Gr\xC3\xB6\xC3\x9F"
                      "e\n2;c\n3;d\n")
        << u"3"_s;
    // Keys are text: an umlaut and unpaired surrogates keep lines apart; the edit is UTF-16.
    const QString d800(QChar(0xD800));
    const QString d801(QChar(0xD801));
    QTest::newRow("utf-16 le, tab, crlf")
        << alsUtf16(u"\uFEFFNr\tName\r\n1\tMüller\r\n5ü\ta\r\n4"_s + d800 +
                        u"\ta\r\n1\tMeier\r\n5ö\tb\r\n4"_s + d801 + u"\tb"_s,
                    QSysInfo::LittleEndian)
        << QStringLiteral("\t") << QStringList{u"1\tMüller@1|1\tMeier@4"_s}
        << QStringList{u"=1\tÄrger 😀"_s}
        << alsUtf16(u"\uFEFFNr\tName\r\n1\tÄrger 😀\r\n5ü\ta\r\n4"_s + d800 +
                        u"\ta\r\n5ö\tb\r\n4"_s + d801 + u"\tb\r\n"_s,
                    QSysInfo::LittleEndian)
        << u"5"_s;
    // Keys differing only in a byte that is not UTF-8 stay apart; such a byte can be typed.
    const QString fremdesFF(QChar(0xDCFF));
    QTest::newRow("utf-8 with bom and stray bytes")
        << QByteArray("\xEF\xBB\xBF"
                      "1;a\r\n2\x80;x\r\n1;b\r\n2\x81;y\r\n5;\xFF\r\n5;z\r\n")
        << semikolon << QStringList{u"1;a@0|1;b@2"_s, u"5;"_s + fremdesFF + u"@4|5;z@5"_s}
        << QStringList{u"#1"_s, u"=5;"_s + fremdesFF + u"!"_s}
        << QByteArray("\xEF\xBB\xBF"
                      "1;b\r\n2\x80;x\r\n2\x81;y\r\n5;\xFF!\r\n")
        << u"4"_s;
    QTest::newRow("a lone line feed inside a line travels along")
        << QByteArray("1;a\nb\r\n1;c\r\n2;d\r\n3\r\n") << semikolon
        << QStringList{u"1;a↵b@0|1;c@1"_s} << QStringList{u"#0"_s}
        << QByteArray("1;a\nb\r\n2;d\r\n3\r\n") << u"2"_s;
    // Records as a spreadsheet writes them: quoted fields may hold delimiters, quotes and line
    // breaks; a quoted serial number is the same as the unquoted one.
    QTest::newRow("quoted and unquoted serial numbers are one")
        << QByteArray("\"Nr\";\"Name\"\n\"0815\";\"a\"\n0815;b\n\"4711\" ;\"c\"\n4711;\"d\"\n")
        << semikolon
        << QStringList{u"\"0815\";\"a\"@1|0815;b@2"_s, u"\"4711\" ;\"c\"@3|4711;\"d\"@4"_s}
        << QStringList{u"#1"_s, u"#0"_s} << QByteArray("\"Nr\";\"Name\"\n0815;b\n\"4711\" ;\"c\"\n")
        << u"2"_s;
    QTest::newRow("second line of an address is no serial number")
        << QByteArray(
               "1;\"Weg 1\n80331 M\xC3\xBCnchen\"\n2;\"Weg 2\n80331 M\xC3\xBCnchen\"\n1;x\n3;y\n")
        << semikolon << QStringList{u"1;\"Weg 1↵80331 München\"@0|1;x@2"_s} << QStringList{u"#1"_s}
        << QByteArray("1;x\n2;\"Weg 2\n80331 M\xC3\xBCnchen\"\n3;y\n") << u"3"_s;
    QTest::newRow("delimiter and doubled quotes inside a quoted serial number")
        << QByteArray("\"1;2\";a\n\"1;2\";b\n1;c\n\"08\"\"15\";d\n08\"15;e\n") << semikolon
        << QStringList{u"\"1;2\";a@0|\"1;2\";b@1"_s, u"\"08\"\"15\";d@3|08\"15;e@4"_s}
        << QStringList{u"#1"_s, u"#1"_s} << QByteArray("\"1;2\";b\n1;c\n08\"15;e\n") << u"3"_s;
    QTest::newRow("excel crlf file: a record with a break in a cell can be edited")
        << QByteArray("Nr;Text\r\n1;\"a\nb\"\r\n1;\"c\nd\"\r\n2;x\r\n3;y\r\n") << semikolon
        << QStringList{u"1;\"a↵b\"@1|1;\"c↵d\"@2"_s} << QStringList{u"=1;\"a↵b↵z\""_s}
        << QByteArray("Nr;Text\r\n1;\"a\nb\nz\"\r\n2;x\r\n3;y\r\n") << u"3"_s;
    QTest::newRow("every cr inside quotes: records end at lf")
        << QByteArray("1;\"a\r\nb\"\n1;c\n2;\"d\re\"\n3;f\n") << semikolon
        << QStringList{u"1;\"a↵b\"@0|1;c@1"_s} << QStringList{u"#0"_s}
        << QByteArray("1;\"a\r\nb\"\n2;\"d\re\"\n3;f\n") << u"3"_s;
    QTest::newRow("an edit keeps each break as the bytes it was")
        << QByteArray("1;\"a\r\nb\nc\"\n1;d\n2;e\n3;f\n") << semikolon
        << QStringList{u"1;\"a↵b↵c\"@0|1;d@1"_s} << QStringList{u"=1;\"a↵b↵c!\""_s}
        << QByteArray("1;\"a\r\nb\nc!\"\n2;e\n3;f\n") << u"3"_s;
    QTest::newRow("a quote inside a field is an ordinary character")
        << QByteArray("1;Winkel 3/4\" Messing\n1;x\n2;\"y\nz\"\n3;w\" \"v\n") << semikolon
        << QStringList{u"1;Winkel 3/4\" Messing@0|1;x@1"_s} << QStringList{u"#0"_s}
        << QByteArray("1;Winkel 3/4\" Messing\n2;\"y\nz\"\n3;w\" \"v\n") << u"3"_s;
}

void TestDuplikatensuche::lauf()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, trennzeichen);
    QFETCH(QStringList, gruppen);
    QFETCH(QStringList, wahl);
    QFETCH(QByteArray, ergebnis);
    QFETCH(QString, anzSerien);

    Lauf lauf(inhalt, trennzeichen);
    lauf.lade();
    QStringList gezeigt;
    for (qsizetype i = 0; lauf.gruppeGezeigt(); ++i) {
        QVERIFY2(i < wahl.size(), "more groups than expected");
        gezeigt.append(lauf.gruppe());
        const QString &schritt = wahl.at(i);
        if (schritt.startsWith(u'#'))
            lauf.waehle(schritt.sliced(1).toInt());
        else
            lauf.view.setTxtZeile(schritt.mid(1));
        lauf.suche.btnNaechsteZeile_Click();
    }
    QCOMPARE(gezeigt, gruppen);
    QCOMPARE(lauf.status(), fertig);
    QCOMPARE(lauf.view.caption(Label::lblAnzDatensaetze), anzSerien);
    QVERIFY(lauf.view.messages.isEmpty());
    QVERIFY(lauf.view.isEnabled(Control::btnSpeichernUnter));

    const QString ziel = lauf.dir.filePath(QStringLiteral("ergebnis.txt"));
    lauf.view.answers.enqueue(ziel);
    lauf.suche.btnSpeichernUnter_Click();
    QCOMPARE(testdateiInhalt(ziel), ergebnis);
    QCOMPARE(lauf.status(), QStringLiteral("Vorgang abgeschlossen"));
    QCOMPARE(testdateiInhalt(lauf.pfad), inhalt);
}

void TestDuplikatensuche::fuenfZeilenBeispiel()
{
    Lauf lauf("Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n");
    lauf.lade();

    QCOMPARE(lauf.gruppe(), QStringLiteral("100;A@1|100;C@3"));
    QCOMPARE(lauf.view.selectedItem, 0);
    QCOMPARE(lauf.view.txtZeile(), QStringLiteral("100;A"));
    QCOMPARE(lauf.view.caption(Label::lblAnzDuplikate), QStringLiteral("1"));
    QCOMPARE(lauf.view.caption(Label::lblAnzDatensaetze), QStringLiteral("1"));
    QCOMPARE(lauf.status(), QStringLiteral("Zeile 2 von 5"));
    QVERIFY(!lauf.view.isEnabled(Control::txtPfad));
    QVERIFY(!lauf.view.isEnabled(Control::btnLaden));
    QVERIFY(!lauf.view.isEnabled(Control::btnSpeichern));

    lauf.waehle(1);
    QCOMPARE(lauf.view.txtZeile(), QStringLiteral("100;C"));
    QCOMPARE(lauf.status(), QStringLiteral("Zeile 4 von 5"));

    lauf.suche.btnNaechsteZeile_Click();
    QCOMPARE(lauf.status(), fertig);
    QVERIFY(lauf.view.items.isEmpty());
    QVERIFY(!lauf.view.isEnabled(Control::btnNaechsteZeile));
    QVERIFY(lauf.view.isEnabled(Control::btnSpeichern));
    QVERIFY(lauf.view.isEnabled(Control::txtPfad));
    QCOMPARE(lauf.view.caption(Label::lblAnzDuplikate), QStringLiteral("1"));
}

// Runs that end without a result: a message box or a status text, then the idle window.
void TestDuplikatensuche::ohneErgebnis_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("trennzeichen");
    QTest::addColumn<QString>("titel");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");

    const QString semikolon = QStringLiteral(";");
    const QString start = QStringLiteral("Bitte eine Datei laden");
    const QString lohntNicht = QStringLiteral("Tessra - Lohnt sich nicht!");
    const auto nurZeilen = [](int n) {
        return QStringLiteral("In der Datei sind nur %1 Zeilen vorhanden.\nManuell gehts "
                              "schneller...")
            .arg(n);
    };
    const QString nix = QStringLiteral("Tessra - Nix gefunden");
    const QString nixText =
        QStringLiteral("Keine Seriennummern gefunden.\nEvtl. das Trennzeichen kontrollieren.");

    QTest::newRow("three lines") << QByteArray("1;a\r\n1;b\r\n1;c\r\n") << semikolon << lohntNicht
                                 << nurZeilen(3) << start;
    QTest::newRow("empty file") << QByteArray() << semikolon
                                << QStringLiteral("Tessra - Dateifehler")
                                << QStringLiteral("Die Datei ist leer.") << start;
    QTest::newRow("no delimiter anywhere") << QByteArray("1\r\n2\r\n3\r\n4\r\n") << semikolon << nix
                                           << nixText << QStringLiteral("Zeile 4 von 4");
    QTest::newRow("wrong delimiter")
        << QByteArray("1;a\r\n1;b\r\n2;c\r\n3;d\r\n") << QStringLiteral("\t") << nix << nixText
        << QStringLiteral("Zeile 4 von 4");
    QTest::newRow("empty own delimiter")
        << QByteArray("1;a\r\n1;b\r\n2;c\r\n3;d\r\n") << QString()
        << QStringLiteral("Tessra - Trennzeichenproblem")
        << QStringLiteral("Bitte ein Trennzeichen eingeben bzw. auswählen!") << start;
    QTest::newRow("no repetition")
        << QByteArray("Nr;x\r\n1;a\r\n2;b\r\n3;c\r\n") << semikolon << QString() << QString()
        << QStringLiteral("Keine doppelten Datensätze vorhanden!");
}

void TestDuplikatensuche::ohneErgebnis()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, trennzeichen);
    QFETCH(QString, titel);
    QFETCH(QString, text);
    QFETCH(QString, status);

    Lauf lauf(inhalt, trennzeichen);
    lauf.lade();
    if (titel.isEmpty()) {
        QVERIFY(lauf.view.messages.isEmpty());
    } else {
        QCOMPARE(lauf.view.messages.size(), 1);
        QCOMPARE(lauf.view.messages.first().title, titel);
        QCOMPARE(lauf.view.messages.first().text, text);
    }
    QCOMPARE(lauf.status(), status);
    QVERIFY(lauf.view.isEnabled(Control::btnLaden));
    QVERIFY(lauf.view.isEnabled(Control::txtPfad));
    QVERIFY(!lauf.view.isEnabled(Control::btnSpeichern));
    QVERIFY(!lauf.view.isEnabled(Control::btnSpeichernUnter));
    QCOMPARE(lauf.suche.zustand().Zeilen.size(), 1);
    QCOMPARE(testdateiInhalt(lauf.pfad), inhalt);
}

void TestDuplikatensuche::zuruecksetzen()
{
    Lauf lauf("1;a\n1;b\n2;c\n3;d\n");
    lauf.lade();
    lauf.view.setCaption(Label::lblZeile, QStringLiteral("unverändert"));
    lauf.view.setTxtPfad(lauf.dir.filePath(QStringLiteral("fehlt.txt")));

    lauf.suche.Zuruecksetzen();

    const SuchZustand &z = lauf.suche.zustand();
    QCOMPARE(z.Zeilen.size(), 1);
    QCOMPARE(z.Zeilen.text(0), QString());
    QVERIFY(z.Ergebnis.isEmpty());
    QCOMPARE(z.AktZeile, 0);
    QVERIFY(lauf.view.items.isEmpty());
    QCOMPARE(lauf.view.txtZeile(), QString());
    QCOMPARE(lauf.view.caption(Label::lblAnzDatensaetze), QStringLiteral("0"));
    QCOMPARE(lauf.view.caption(Label::lblAnzDuplikate), QStringLiteral("0"));
    // The status says why the path is no good, and shows its own text again once it is.
    QCOMPARE(lauf.status(), QStringLiteral("Datei nicht gefunden"));
    lauf.view.setTxtPfad(lauf.pfad);
    lauf.suche.txtPfad_Change();
    QCOMPARE(lauf.status(), QStringLiteral("unverändert"));
    lauf.view.setTxtPfad(lauf.dir.filePath(QStringLiteral("fehlt.txt")));
    lauf.suche.txtPfad_Change();
    QVERIFY(lauf.view.txtPfadHasFocus);
    QCOMPARE(lauf.view.selectionLength, lauf.view.txtPfad().size());
    // The path check overrules the enabled "Datei laden" for a missing file.
    QVERIFY(!lauf.view.isEnabled(Control::btnLaden));
    QVERIFY(lauf.view.isEnabled(Control::txtPfad));
}

void TestDuplikatensuche::resetDannWeiter()
{
    Lauf lauf("1;a\n1;b\n2;c\n3;d\n");
    lauf.lade();
    QVERIFY(lauf.gruppeGezeigt());
    lauf.suche.Zuruecksetzen();
    lauf.view.setCaption(Label::lblZeile, QStringLiteral("Bitte eine Datei laden"));
    QVERIFY(lauf.gruppeGezeigt()); // "Weiter" is left as it was

    lauf.suche.btnNaechsteZeile_Click();

    QCOMPARE(lauf.view.messages.size(), 1);
    QCOMPARE(lauf.view.messages.first().title, QStringLiteral("Tessra - Nix gefunden"));
    QCOMPARE(lauf.status(), QStringLiteral("Bitte eine Datei laden"));
    QVERIFY(!lauf.gruppeGezeigt());
    QVERIFY(!lauf.view.isEnabled(Control::btnSpeichern));
    QCOMPARE(testdateiInhalt(lauf.pfad), QByteArray("1;a\n1;b\n2;c\n3;d\n"));
}

void TestDuplikatensuche::pfadpruefung_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("nutzbar");

    QTest::newRow("existing file") << QStringLiteral("daten.txt") << true;
    QTest::newRow("missing file") << QStringLiteral("fehlt.txt") << false;
    QTest::newRow("folder") << QStringLiteral("ordner") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestDuplikatensuche::pfadpruefung()
{
    QFETCH(QString, name);
    QFETCH(bool, nutzbar);

    Lauf lauf("x");
    QVERIFY(QDir(lauf.dir.path()).mkdir(QStringLiteral("ordner")));
    lauf.view.setTxtPfad(name.isEmpty() ? name : lauf.dir.filePath(name));
    lauf.suche.txtPfad_Change();
    QCOMPARE(lauf.view.isEnabled(Control::btnLaden), nutzbar);
    QCOMPARE(lauf.view.isEnabled(Control::btnEditor), nutzbar);
    QCOMPARE(lauf.view.isEnabled(Control::btnExplorer), nutzbar);

    // Three characters or fewer never pass, even for a file of that name.
    QVERIFY(QDir::setCurrent(lauf.dir.path()));
    QVERIFY(legeTestdateiAn(QStringLiteral("a.b"), "1;a\n1;b\n2;c\n3;d\n"));
    lauf.view.setTxtPfad(QStringLiteral(" a.b "));
    lauf.suche.txtPfad_Change();
    QVERIFY(!lauf.view.isEnabled(Control::btnLaden));
}

void TestDuplikatensuche::pfadWirdGetrimmt()
{
    Lauf lauf("1;a\n1;b\n2;c\n3;d\n");
    lauf.view.setTxtPfad(QStringLiteral("  ") + lauf.pfad + QStringLiteral("  "));
    lauf.lade();
    QCOMPARE(lauf.view.txtPfad(), lauf.pfad);
    QVERIFY(lauf.gruppeGezeigt());
}

void TestDuplikatensuche::speichernErsetzt()
{
    const QByteArray original("Nr;Name\r\n1;a\r\n1;b\r\n2;c\r\n2;d");
    Lauf lauf(original);
    lauf.lade();
    lauf.suche.btnNaechsteZeile_Click();
    lauf.waehle(1);
    lauf.suche.btnNaechsteZeile_Click();
    QCOMPARE(lauf.status(), fertig);

    lauf.suche.btnSpeichern_Click();
    const QByteArray erstesErgebnis("Nr;Name\r\n1;a\r\n2;d\r\n");
    QCOMPARE(testdateiInhalt(lauf.pfad), erstesErgebnis);
    QCOMPARE(testdateiInhalt(lauf.pfad + QStringLiteral(".ALT")), original);
    QCOMPARE(lauf.status(), QStringLiteral("Vorgang abgeschlossen"));
    QVERIFY(lauf.view.isEnabled(Control::btnLaden));
    QVERIFY(!lauf.view.isEnabled(Control::btnSpeichern));
    QCOMPARE(lauf.view.txtPfad(), lauf.pfad);
    QVERIFY(lauf.view.messages.isEmpty());

    // A second run over the cleaned file overwrites the older backup.
    QVERIFY(legeTestdateiAn(lauf.pfad, QByteArray(erstesErgebnis + "2;e\r\n")));
    lauf.lade();
    lauf.suche.btnNaechsteZeile_Click();
    lauf.suche.btnSpeichern_Click();
    QCOMPARE(testdateiInhalt(lauf.pfad), erstesErgebnis);
    QCOMPARE(testdateiInhalt(lauf.pfad + QStringLiteral(".ALT")), erstesErgebnis + "2;e\r\n");
}

void TestDuplikatensuche::speichernBehaeltRechteUndLink()
{
    Lauf lauf("1;a\n1;b\n2;c\n3;d\n");
    const QString link = lauf.dir.filePath(QStringLiteral("verweis.txt"));
    QVERIFY(QFile::link(lauf.pfad, link));
    const auto rechte = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(lauf.pfad, rechte));
    lauf.view.setTxtPfad(link);
    lauf.lade();
    lauf.suche.btnNaechsteZeile_Click();
    lauf.suche.btnSpeichern_Click();

    QCOMPARE(QFileInfo(link).isSymLink(), true);
    QCOMPARE(testdateiInhalt(lauf.pfad), QByteArray("1;a\n2;c\n3;d\n"));
    QCOMPARE(QFile::permissions(lauf.pfad) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             rechte);
    QCOMPARE(testdateiInhalt(link + QStringLiteral(".ALT")), QByteArray("1;a\n1;b\n2;c\n3;d\n"));
}

void TestDuplikatensuche::speichernUnterKurzeAntwort()
{
    Lauf lauf("1;a\n1;b\n2;c\n3;d\n");
    lauf.lade();
    lauf.suche.btnNaechsteZeile_Click();
    QVERIFY(QDir::setCurrent(lauf.dir.path()));

    lauf.view.answers.enqueue(QStringLiteral("a.b"));
    lauf.view.answers.enqueue(QString());
    lauf.suche.btnSpeichernUnter_Click();
    lauf.suche.btnSpeichernUnter_Click();
    QVERIFY(!QFile::exists(QStringLiteral("a.b")));
    QCOMPARE(lauf.status(), fertig);
    QVERIFY(lauf.view.isEnabled(Control::btnSpeichern));
    QCOMPARE(lauf.view.questions.size(), 2);
    QCOMPARE(lauf.view.questions.first().text, QStringLiteral("Bitte den Speicherort eingeben."));
    QCOMPARE(lauf.view.questions.first().title, QStringLiteral("Seriennummerndatei speichern"));

    // Five characters are enough, and saving elsewhere makes no backup.
    lauf.view.answers.enqueue(QStringLiteral("x/a.b"));
    QVERIFY(QDir().mkdir(QStringLiteral("x")));
    lauf.suche.btnSpeichernUnter_Click();
    QCOMPARE(testdateiInhalt(QStringLiteral("x/a.b")), QByteArray("1;a\n2;c\n3;d\n"));
    QVERIFY(!QFile::exists(QStringLiteral("x/a.b.ALT")));
    QVERIFY(!QFile::exists(lauf.pfad + QStringLiteral(".ALT")));
}

void TestDuplikatensuche::ladefehler()
{
    Lauf lauf("1;a\n1;b\n2;c\n3;d\n");
    QVERIFY(lauf.view.isEnabled(Control::btnLaden));
    QVERIFY(QFile::remove(lauf.pfad)); // gone between the path check and the click

    lauf.lade();

    QCOMPARE(lauf.view.messages.size(), 1);
    QCOMPARE(lauf.view.messages.first().title, QStringLiteral("Tessra - Dateifehler"));
    QVERIFY(lauf.view.messages.first().text.contains(lauf.pfad));
    QVERIFY(lauf.view.messages.first().text.contains(QStringLiteral("existiert nicht")));
    QVERIFY(!lauf.view.isEnabled(Control::btnLaden));
    QVERIFY(lauf.view.isEnabled(Control::txtPfad));
    QVERIFY(!lauf.view.isEnabled(Control::btnSpeichern));
    QVERIFY(!QFile::exists(lauf.pfad));
}

void TestDuplikatensuche::speicherfehlerLassenDatenHeil()
{
    const QByteArray original("1;a\n1;b\n2;c\n3;d\n");
    Lauf lauf(original);
    lauf.lade();
    lauf.suche.btnNaechsteZeile_Click();
    const auto bleibtFertig = [&] {
        QCOMPARE(lauf.status(), fertig);
        QVERIFY(lauf.view.isEnabled(Control::btnSpeichern));
        QVERIFY(lauf.view.isEnabled(Control::btnSpeichernUnter));
        QCOMPARE(testdateiInhalt(lauf.pfad), original);
        QCOMPARE(lauf.view.messages.last().title, QStringLiteral("Tessra - Speicherfehler"));
    };

    const QString fehlt = lauf.dir.filePath(QStringLiteral("fehlt/neu.txt"));
    lauf.view.answers.enqueue(fehlt);
    lauf.suche.btnSpeichernUnter_Click();
    bleibtFertig();
    QVERIFY(lauf.view.messages.last().text.contains(fehlt));

    // A folder where the backup should go: no backup, so the file must stay as it was.
    QVERIFY(QDir().mkdir(lauf.pfad + QStringLiteral(".ALT")));
    lauf.suche.btnSpeichern_Click();
    bleibtFertig();
    QVERIFY(lauf.view.messages.last().text.contains(lauf.pfad + QStringLiteral(".ALT")));
    QCOMPARE(lauf.view.messages.size(), 2);

    // The result is still there for a second try elsewhere.
    const QString ziel = lauf.dir.filePath(QStringLiteral("gut.txt"));
    lauf.view.answers.enqueue(ziel);
    lauf.suche.btnSpeichernUnter_Click();
    QCOMPARE(testdateiInhalt(ziel), QByteArray("1;a\n2;c\n3;d\n"));
    QCOMPARE(lauf.status(), QStringLiteral("Vorgang abgeschlossen"));
}

void TestDuplikatensuche::zeichenOhnePlatzImZeichensatz()
{
    Lauf lauf("1;\xFC\r\n1;b\r\n2;c\r\n3;d\r\n");
    lauf.lade();
    lauf.view.setTxtZeile(QStringLiteral("1;Ω"));
    lauf.suche.btnNaechsteZeile_Click();

    QCOMPARE(lauf.view.messages.size(), 1);
    QCOMPARE(lauf.view.messages.first().title, QStringLiteral("Tessra - Zeichenproblem"));
    QCOMPARE(lauf.gruppe(), QStringLiteral("1;ü@0|1;b@1"));
    QCOMPARE(lauf.view.txtZeile(), QStringLiteral("1;Ω"));

    lauf.view.setTxtZeile(QStringLiteral("1;O"));
    lauf.suche.btnNaechsteZeile_Click();
    QCOMPARE(lauf.status(), fertig);
    lauf.suche.btnSpeichern_Click();
    QCOMPARE(testdateiInhalt(lauf.pfad), QByteArray("1;O\r\n2;c\r\n3;d\r\n"));
}

void TestDuplikatensuche::ueberlangeZeileBleibtGanz()
{
    // Umlauts take two bytes each, so a cut counted in bytes would show up.
    const QByteArray lang = "1;" + QString(zeilenfeldGrenze, u'ä').toUtf8();
    const QString text = QString::fromUtf8(lang);
    Lauf lauf("Nr;Text\r\n" + lang + "\r\n1;kurz\r\n2;y\r\n3;z\r\n");
    lauf.lade();
    QCOMPARE(lauf.view.items.size(), 2);
    QCOMPARE(lauf.view.items[0].text, text.first(listenzeileGrenze) + u'…');
    QCOMPARE(lauf.view.txtZeile(), text.first(zeilenfeldGrenze) + u'…');
    QVERIFY(lauf.view.txtZeileReadOnly);

    lauf.waehle(1);
    QCOMPARE(lauf.view.txtZeile(), QStringLiteral("1;kurz"));
    QVERIFY(!lauf.view.txtZeileReadOnly);
    lauf.waehle(0);
    QVERIFY(lauf.view.txtZeileReadOnly);
    lauf.suche.btnNaechsteZeile_Click();
    QCOMPARE(lauf.status(), fertig);
    QVERIFY(!lauf.view.txtZeileReadOnly);

    // The cut text never reaches the file: the line goes back whole.
    lauf.suche.btnSpeichern_Click();
    QCOMPARE(testdateiInhalt(lauf.pfad), "Nr;Text\r\n" + lang + "\r\n2;y\r\n3;z\r\n");
}

// Decisions per group as in lauf(): "#k", "=text" or "".
void TestDuplikatensuche::zuruecknehmen_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QStringList>("wahl");

    QTest::newRow("edited, emptied, picked")
        << QByteArray("Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n\r\n3;d\r\n2;e\r\n4;f\r\n3;g\r\n")
        << QStringList{u"=1;neu"_s, u""_s, u"#1"_s};
    QTest::newRow("windows-1252, unique and key-less lines between the groups")
        << QByteArray("Kopf\n5;\xE4\n7;x\n5;b\nabc\n8;y\n9;z\n8;\xFC\n0;q\n0;q\n")
        << QStringList{u"=5;Maß"_s, u"#1"_s, u"#0"_s};
}

void TestDuplikatensuche::zuruecknehmen()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QStringList, wahl);

    // Undo after decision n shows its group as the user left it, the pick and the typing
    // included, and the run goes on as if decision n had never been made; the last decision
    // finishes the run.
    for (qsizetype n = 1; n <= wahl.size(); ++n) {
        Lauf lauf(inhalt);
        lauf.lade();
        QString gezeigt;
        for (qsizetype i = 0; i < n; ++i) {
            lauf.bereite(wahl.at(i));
            gezeigt = lauf.view.bild();
            lauf.suche.btnNaechsteZeile_Click();
        }
        lauf.suche.letzteEntscheidungZuruecknehmen();
        QCOMPARE(lauf.view.bild(), gezeigt);

        Lauf frisch(inhalt);
        frisch.lade();
        for (qsizetype i = 0; i + 1 < n; ++i)
            frisch.entscheide(wahl.at(i));
        frisch.bereite(wahl.at(n - 1));
        QCOMPARE(lauf.beendeUndSpeichere(), frisch.beendeUndSpeichere());
        QVERIFY(!lauf.suche.kannZuruecknehmen()); // saving ends the history
    }

    // Step by step from the finished run back to the first group, and no further.
    Lauf lauf(inhalt);
    lauf.lade();
    QVERIFY(!lauf.suche.kannZuruecknehmen());
    lauf.bereite(wahl.first());
    const QString erste = lauf.view.bild();
    for (const QString &schritt : wahl)
        lauf.entscheide(schritt);
    QCOMPARE(lauf.status(), fertig);
    for (qsizetype i = 0; i <= wahl.size(); ++i)
        lauf.suche.letzteEntscheidungZuruecknehmen();
    QCOMPARE(lauf.view.bild(), erste);
    QVERIFY(!lauf.suche.kannZuruecknehmen());
}

// A CR or LF in the edit field would split the line when the file is read again, or turn a
// Unix file into one with CR line ends.
// Edits that would not read back as the one record shown are refused, naming the character.
void TestDuplikatensuche::bearbeitungWirdAbgelehnt_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("eingabe");
    QTest::addColumn<QString>("zeichen");

    const QByteArray crLf("1;a\r\n1;b\r\n2;c\r\n3;d\r\n");
    const QByteArray nurLf("1;a\n1;b\n2;c\n3;d\n");
    const QString umbruch = u"(↵) an Stelle 4"_s;
    QTest::newRow("cr lf file, cr") << crLf << u"1;x\ry"_s << umbruch;
    QTest::newRow("cr lf file, lf") << crLf << u"1;x\ny"_s << umbruch;
    QTest::newRow("unix file, cr") << nurLf << u"1;x\ry"_s << umbruch;
    QTest::newRow("unix file, mark") << nurLf << u"1;x↵y"_s << umbruch;
    QTest::newRow("utf-16 be file with cr, cr lf")
        << alsUtf16(u"\uFEFF1;a\r1;b\r2;c\r3;d"_s, QSysInfo::BigEndian) << u"1;x\r\n"_s << umbruch;
    QTest::newRow("quote that opens a field and never closes")
        << nurLf << u"1;\"x;y"_s << u"(\") an Stelle 3"_s;
    QTest::newRow("break after a closed quoted field")
        << nurLf << u"1;\"x\"↵"_s << u"(↵) an Stelle 6"_s;
    QTest::newRow("text after the close of a field over several lines")
        << nurLf << u"1;\"x↵y\"z"_s << u"(\") an Stelle 3"_s;
    QTest::newRow("more breaks in a cell than a file may hold")
        << nurLf << u"1;\""_s + QString(101, u'↵') + u'"' << u"mehr als 100"_s;
    QTest::newRow("a file read line by line takes no break at all")
        << QByteArray("1;\"a\n1;b\n2;c\n3;d\n") << u"1;\"b↵c\""_s << u"(↵) an Stelle 5"_s;
    const QByteArray windows1252("1;\xE4\n1;b\n2;c\n3;d\n");
    QTest::newRow("windows-1252 cannot hold an arrow")
        << windows1252 << u"1;a→b"_s
        << u"„→“ (U+2192) an Stelle 4 kann in dieser Datei (Windows-1252)"_s;
    QTest::newRow("windows-1252 cannot hold a character of two code units")
        << windows1252 << u"1;😀Ł"_s << u"„😀“ (U+1F600) an Stelle 3"_s;
}

void TestDuplikatensuche::bearbeitungWirdAbgelehnt()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, eingabe);
    QFETCH(QString, zeichen);
    Lauf lauf(inhalt);
    lauf.lade();
    const QString gruppe = lauf.gruppe();
    lauf.view.messages.clear();
    lauf.view.setTxtZeile(eingabe);
    lauf.suche.btnNaechsteZeile_Click();

    QCOMPARE(lauf.view.messages.size(), 1);
    QCOMPARE(lauf.view.messages.first().title, QStringLiteral("Tessra - Zeichenproblem"));
    QVERIFY2(lauf.view.messages.first().text.contains(zeichen),
             qPrintable(lauf.view.messages.first().text));
    QCOMPARE(lauf.gruppe(), gruppe);
    QVERIFY(lauf.gruppeGezeigt());
}

// A quote that cannot be a spreadsheet's: the file is read line by line as always, and the user
// is told once in which line the quote opens.
void TestDuplikatensuche::offenesAnfuehrungszeichen_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("meldung");
    QTest::addColumn<QString>("gruppe");

    QTest::newRow("never closed")
        << QByteArray("Nr;Name\n1;\"offen\n1;b\n2;c\n3;d\n")
        << u"In Zeile 2 beginnt ein Feld mit einem Anführungszeichen (\"), das bis zum Ende"_s
        << u"1;\"offen@1|1;b@2"_s;
    QTest::newRow("closed by the opening quote of a later field")
        << QByteArray("1;\"offen\r\n2;x\r\n1;\"zu\";y\r\n2;z\r\n")
        << u"In Zeile 1 beginnt ein Feld mit einem Anführungszeichen (\"), das über mehrere"_s
        << u"1;\"offen@0|1;\"zu\";y@2"_s;
    QByteArray langesFeld("1;\"");
    for (int i = 0; i < 101; ++i)
        langesFeld += "2;x\n";
    QTest::newRow("more line ends than a cell holds")
        << langesFeld + "\";1\n"
        << u"In Zeile 1 beginnt ein Feld mit einem Anführungszeichen (\"), "
           u"das erst nach mehr als 100 Zeilenumbrüchen"_s
        << u"2;x@1|"_s;
}

void TestDuplikatensuche::offenesAnfuehrungszeichen()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, meldung);
    QFETCH(QString, gruppe);
    Lauf lauf(inhalt);
    lauf.lade();

    QCOMPARE(lauf.view.messages.size(), 1);
    QCOMPARE(lauf.view.messages.first().title, QStringLiteral("Tessra - Anführungszeichen"));
    QVERIFY2(lauf.view.messages.first().text.startsWith(meldung),
             qPrintable(lauf.view.messages.first().text));
    QVERIFY2(lauf.gruppe().startsWith(gruppe), qPrintable(lauf.gruppe()));
    // The run goes on as for any file, and the message is not repeated.
    while (lauf.gruppeGezeigt())
        lauf.suche.btnNaechsteZeile_Click();
    QCOMPARE(lauf.status(), fertig);
    QCOMPARE(lauf.view.messages.size(), 1);
}

namespace {

// Groups of two lines: A at the top, B and C further down, with a stretch between each that
// takes the walk past a report: unique serial numbers from A to B, groups of identical lines
// from B to C.
QByteArray langeStrecken()
{
    QByteArray inhalt = "Nr;Artikel\r\n7;erste\r\n7;zweite\r\n";
    for (int i = 0; i < 66000; ++i)
        inhalt += QByteArray::number(1000000 + i) + ";einzeln\r\n";
    inhalt += "8;gleich\r\n8;gleich\r\n";
    for (int i = 0; i < 66000; ++i)
        inhalt += QByteArray::number(2000000 + i / 2) + ";gleich\r\n";
    return inhalt + "9;x\r\n9;y\r\n";
}

enum class Befehl { Weiter, ErsteBehalten, LetzteBehalten, GleicheAn, VorschlagSpalte };

// Weiter starts at A with an edited line; the others at B, after one decision.
void bereiteVor(Lauf &lauf, Befehl befehl)
{
    lauf.lade();
    if (befehl == Befehl::Weiter)
        lauf.view.setTxtZeile(u"7;geändert"_s);
    else
        lauf.entscheide(u"#1"_s);
}

void gib(Lauf &lauf, Befehl befehl)
{
    switch (befehl) {
    case Befehl::Weiter:
        lauf.suche.btnNaechsteZeile_Click();
        return;
    case Befehl::ErsteBehalten:
    case Befehl::LetzteBehalten:
        lauf.view.yesNoAnswers.enqueue(true);
        lauf.suche.alleWeiterenGruppen(befehl == Befehl::ErsteBehalten
                                           ? Duplikatensuche::Regel::ErsteBehalten
                                           : Duplikatensuche::Regel::LetzteBehalten);
        return;
    case Befehl::GleicheAn:
        lauf.suche.setzeGleicheAutomatisch(true);
        return;
    case Befehl::VorschlagSpalte:
        lauf.suche.setzeVorschlag(Kriterium::groesster(2));
        return;
    }
}

} // namespace

void TestDuplikatensuche::abbrechenBeimLaden_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<int>("meldungen");
    const QByteArray text = langeStrecken();
    QTest::newRow("8-bit") << text << 0;
    QTest::newRow("utf-16") << alsUtf16(u'\uFEFF' + QString::fromLatin1(text),
                                        QSysInfo::LittleEndian)
                            << 0;
    // The message on the stray quote comes between the index and the first walk.
    QTest::newRow("stray quote") << QByteArray("1;\"x\r\n" + text) << 1;
}

// "Abbrechen" at any report of a load leaves the window idle, as it was before, with nothing
// written and nothing of the file kept; the bar only ever moves on.
void TestDuplikatensuche::abbrechenBeimLaden()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(int, meldungen);
    Lauf ganz(inhalt);
    ganz.lade();
    QVERIFY(ganz.gruppeGezeigt());
    QCOMPARE(ganz.view.messages.size(), meldungen);
    // A message closes the box; the work after it reports to a new one.
    QCOMPARE(ganz.view.fortschritte.size(), 1 + meldungen);
    const auto &box = ganz.view.fortschritte.first();
    QCOMPARE(box.title, u"Tessra - Datei wird geladen"_s);
    QVERIFY(std::is_sorted(box.anteile.begin(), box.anteile.end()));
    QVERIFY(box.anteile.first() >= 0 && box.anteile.last() <= 1);
    QVERIFY(!box.offen);
    QVERIFY(ganz.view.meldungen >= 8);

    for (int n = 1; n <= ganz.view.meldungen; ++n) {
        Lauf lauf(inhalt);
        const QString vorher = lauf.view.bild();
        lauf.view.abbrechenBeiMeldung = n;
        lauf.lade();
        QVERIFY(lauf.view.messages.size() <= meldungen);
        lauf.view.messages.clear();
        QCOMPARE(lauf.view.bild(), vorher);
        QCOMPARE(lauf.suche.zustand().Zeilen.size(), 1);
        QVERIFY(!lauf.view.fortschritte.last().offen);
        QCOMPARE(QDir(lauf.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList(u"daten.txt"_s));
        lauf.view.abbrechenBeiMeldung = 0;
        lauf.lade();
        QCOMPARE(lauf.gruppe(), ganz.gruppe());
    }
}

void TestDuplikatensuche::abbrechenLaesstDenLauf_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::newRow("Weiter past 66,000 unique lines") << Befehl::Weiter;
    QTest::newRow("Alle weiteren Gruppen: erste Zeile behalten") << Befehl::ErsteBehalten;
    QTest::newRow("Alle weiteren Gruppen: letzte Zeile behalten") << Befehl::LetzteBehalten;
    QTest::newRow("Gruppen mit gleichen Zeilen automatisch übernehmen") << Befehl::GleicheAn;
    QTest::newRow("Vorschlag: reading the column") << Befehl::VorschlagSpalte;
}

// "Abbrechen" in a walk leaves the run as it was before the command: the window, the edit
// field and the setting. Given once more and let through, the command then ends in the very
// result and history of a run in which it was never stopped.
void TestDuplikatensuche::abbrechenLaesstDenLauf()
{
    QFETCH(Befehl, befehl);
    const QByteArray inhalt = langeStrecken();
    Lauf ganz(inhalt);
    bereiteVor(ganz, befehl);
    const int vorher = ganz.view.meldungen;
    gib(ganz, befehl);
    const int meldungen = ganz.view.meldungen - vorher;
    QVERIFY(meldungen >= 1);
    const QByteArray erwartet = ganz.behalteErste();
    const int entscheidungen = ganz.nimmAlleZurueck();

    for (int n = 1; n <= meldungen; ++n) {
        Lauf lauf(inhalt);
        bereiteVor(lauf, befehl);
        const QString bild = lauf.view.bild();
        lauf.view.abbrechenBeiMeldung = lauf.view.meldungen + n;
        gib(lauf, befehl);
        QCOMPARE(lauf.view.bild(), bild);
        QVERIFY(!lauf.suche.gleicheAutomatisch());
        QVERIFY(!lauf.suche.vorschlagskriterium());
        gib(lauf, befehl);
        QCOMPARE(lauf.behalteErste(), erwartet);
        QCOMPARE(lauf.nimmAlleZurueck(), entscheidungen);
    }
}

// Whole runs under a rule (schluesselregelAus), each group keeping its first line by the rule
// command: how many groups it settles, the serial numbers counted and the result.
void TestDuplikatensuche::schluesselregel_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("trennzeichen");
    QTest::addColumn<QString>("regel");
    QTest::addColumn<int>("gruppen");
    QTest::addColumn<QString>("anzSerien");
    QTest::addColumn<QByteArray>("ergebnis");

    const QString zonen = QStringLiteral(TESSRA_TEST_DATA "/zeitzonen/");
    // 247 country codes, and the header "#code" counts as a text serial number of its own.
    QTest::newRow("zone.tab: first line of each of the 31 repeated codes")
        << testdateiInhalt(zonen + u"zone.tab"_s) << u"\t"_s << u"t"_s << 31 << u"248"_s
        << testdateiInhalt(zonen + u"zone-erste.tab"_s);
    QTest::newRow("third column") << QByteArray(
                                         "Kunde;Name;Serie\n7;A;4711\n8;B;4712\n9;C;4711\n5;D\n")
                                  << u";"_s << u"3"_s << 1 << u"2"_s
                                  << QByteArray("Kunde;Name;Serie\n7;A;4711\n8;B;4712\n5;D\n");
    QTest::newRow("0815, 815, ' 0815' and '08 15' without zeros and spaces")
        << QByteArray("0815;a\n815;b\n 0815;c\n08 15;d\n9;e\n") << u";"_s << u"nl"_s << 1 << u"2"_s
        << QByteArray("0815;a\n9;e\n");
    QTest::newRow("every key equal: one group") << QByteArray("0;a\n00;b\n000;c\n0 0;d\n") << u";"_s
                                                << u"ln"_s << 1 << u"1"_s << QByteArray("0;a\n");
}

void TestDuplikatensuche::schluesselregel()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, trennzeichen);
    QFETCH(QString, regel);
    QFETCH(int, gruppen);
    QFETCH(QString, anzSerien);
    QFETCH(QByteArray, ergebnis);

    Lauf lauf(inhalt, trennzeichen);
    lauf.suche.setzeSchluesselregel(schluesselregelAus(regel));
    lauf.lade();
    QCOMPARE(lauf.suche.gruppenMit(schluesselregelAus(regel)).value_or(-1), gruppen);
    QCOMPARE(lauf.behalteErste(), ergebnis);
    QCOMPARE(lauf.view.caption(Label::lblAnzDatensaetze), anzSerien);
    const QString frage = lauf.view.yesNoQuestions.value(0).text;
    QVERIFY2(frage.contains(u' ' + QString::number(gruppen) + u' '), qPrintable(frage));
}

// Runs that find no group: the message, then the option that would find some, and the group
// shown after the answer (none after "Nein").
void TestDuplikatensuche::ohneGruppen_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("regel");
    QTest::addColumn<QString>("meldung");
    QTest::addColumn<QString>("frage");
    QTest::addColumn<bool>("antwort");
    QTest::addColumn<QString>("gruppe");

    const QByteArray laender("Land;Zone\nUS;a\nDE;b\nUS;c\nUS;d\n");
    const QString text =
        u"Mit der Einstellung \"Auch Text als Seriennummer\" ergibt die Datei 1 Gruppe mit "
        "gleicher Seriennummer, zum Beispiel:\n`US` kommt 3-mal vor.\n\nDie Datei mit dieser "
        "Einstellung neu laden?"_s;
    QTest::newRow("text keys, Ja") << laender << QString() << u"Keine Seriennummern gefunden."_s
                                   << text << true << u"US;a@1|US;c@3|US;d@4"_s;
    QTest::newRow("text keys, Nein")
        << laender << QString() << u"Keine Seriennummern gefunden."_s << text << false << QString();
    QTest::newRow("leading zeros after no repetition")
        << QByteArray("0815;a\n815;b\n1;c\n2;d\n") << QString() << QString()
        << u"`0815` kommt 2-mal vor, auch als `815`."_s << true << u"0815;a@0|815;b@1"_s;
    QTest::newRow("text keys that differ in case")
        << QByteArray("ab;1\nAB;2\nx;3\ny;4\n") << QString() << u"Keine Seriennummern gefunden."_s
        << u"Mit den Einstellungen \"Auch Text als Seriennummer\" und \"Groß-/Kleinschreibung "
           "ignorieren\" ergibt die Datei 1 Gruppe mit gleicher Seriennummer, zum Beispiel:\n`ab` "
           "kommt 2-mal vor, auch als `AB`."_s
        << true << u"ab;1@0|AB;2@1"_s;
    QTest::newRow("column that no record has")
        << QByteArray("1;a\n1;b\n2;c\n3;d\n") << u"3t"_s
        << u"Keine Seriennummern gefunden.\nKein Datensatz hat eine Spalte 3."_s << QString()
        << true << QString();
    QTest::newRow("no option helps") << QByteArray("1;a\n2;b\n3;c\n4;d\n") << QString() << QString()
                                     << QString() << true << QString();
}

void TestDuplikatensuche::ohneGruppen()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, regel);
    QFETCH(QString, meldung);
    QFETCH(QString, frage);
    QFETCH(bool, antwort);
    QFETCH(QString, gruppe);

    Lauf lauf(inhalt);
    lauf.suche.setzeSchluesselregel(schluesselregelAus(regel));
    lauf.view.yesNoAnswers.enqueue(antwort);
    lauf.lade();
    QCOMPARE(lauf.view.messages.isEmpty(), meldung.isEmpty());
    QVERIFY(lauf.view.messages.value(0).text.startsWith(meldung));
    QCOMPARE(lauf.view.yesNoQuestions.size(), frage.isEmpty() ? 0 : 1);
    if (!frage.isEmpty()) {
        QCOMPARE(lauf.view.yesNoQuestions.first().title, u"Tessra - Seriennummer"_s);
        QVERIFY2(lauf.view.yesNoQuestions.first().text.contains(frage),
                 qPrintable(lauf.view.yesNoQuestions.first().text));
    }
    QCOMPARE(lauf.gruppe(), gruppe);
    QCOMPARE(lauf.suche.schluesselregel() == schluesselregelAus(regel), gruppe.isEmpty());
    QCOMPARE(testdateiInhalt(lauf.pfad), inhalt);
}

// A new rule while a file is loaded loads it again; decisions that would be lost are asked
// for first. Reset keeps the rule.
void TestDuplikatensuche::regelWaehrendDesLaufs()
{
    Lauf lauf("0815;a\n815;b\n7;c\n7;d\n0815;e\n");
    const Schluesselregel nullen = schluesselregelAus(u"n"_s);
    lauf.lade();
    QCOMPARE(lauf.suche.gruppenMit(nullen).value_or(-1), 2);
    lauf.suche.btnNaechsteZeile_Click();
    const QString vorher = lauf.view.bild();

    lauf.suche.setzeSchluesselregel(nullen);
    QCOMPARE(lauf.view.yesNoQuestions.size(), 1);
    QCOMPARE(lauf.view.yesNoQuestions.first().title, u"Tessra - Seriennummer"_s);
    QCOMPARE(lauf.view.bild(), vorher);
    QVERIFY(lauf.suche.schluesselregel() == Schluesselregel());

    lauf.view.yesNoAnswers.enqueue(true);
    lauf.suche.setzeSchluesselregel(nullen);
    QCOMPARE(lauf.gruppe(), u"0815;a@0|815;b@1|0815;e@4"_s);
    // Nothing decided yet: no question.
    lauf.suche.setzeSchluesselregel(Schluesselregel());
    QCOMPARE(lauf.view.yesNoQuestions.size(), 2);
    QCOMPARE(lauf.gruppe(), u"0815;a@0|0815;e@4"_s);

    lauf.suche.setzeSchluesselregel(nullen);
    lauf.suche.Zuruecksetzen();
    QVERIFY(lauf.suche.schluesselregel() == nullen);
    QVERIFY(!lauf.suche.gruppenMit(nullen));
}

namespace {

// A list of orders: a serial number of 40, a date (some with a time), a German price with its
// currency (or "auf Anfrage"), and a note that some records leave empty. The values are made
// from numbers, so which record should win is known without reading them back.
struct Bestellungen
{
    QByteArray inhalt = "Nr;Datum;Preis;Notiz\r\n";
    std::vector<int> serie;
    std::vector<QDateTime> datum;
    std::vector<double> preis; // -1 where it cannot be read
    std::vector<int> gefuellt;
};

Bestellungen bestellungen()
{
    Bestellungen b;
    QRandomGenerator zufall(4711);
    for (int i = 0; i < 400; ++i) {
        const int serie = 1000 + int(zufall.bounded(40));
        const QDateTime datum(QDate(2020, 1, 1).addDays(zufall.bounded(1500)),
                              QTime(int(zufall.bounded(3)) * 8, 0), Qt::UTC);
        const int cent = int(zufall.bounded(500000));
        const bool anfrage = zufall.bounded(10) == 0;
        const bool notiz = zufall.bounded(2) == 0;
        const QString preis =
            anfrage ? u"auf Anfrage"_s
                    : QLocale(QLocale::German).toString(cent / 100.0, 'f', 2) + u" €"_s;
        const QString zeit = datum.time().hour() == 0 ? datum.toString(u"dd.MM.yyyy")
                                                      : datum.toString(u"dd.MM.yyyy HH:mm");
        b.inhalt += (QString::number(serie) + u';' + zeit + u';' + preis + u';' +
                     (notiz ? u"eilig"_s : QString()) + u"\r\n")
                        .toUtf8();
        b.serie.push_back(serie);
        b.datum.push_back(datum);
        b.preis.push_back(anfrage ? -1 : cent / 100.0);
        b.gefuellt.push_back(notiz ? 4 : 3);
    }
    return b;
}

// What keeping the best record of each serial number gives: the kept record stands where its
// serial number first stood, ties going to the earliest.
QByteArray erwartet(const Bestellungen &b, const std::function<double(size_t)> &wert)
{
    const QList<QByteArray> zeilen = b.inhalt.split('\n');
    std::map<int, size_t> bester;
    for (size_t i = 0; i < b.serie.size(); ++i) {
        auto [stelle, neu] = bester.try_emplace(b.serie[i], i);
        if (!neu && wert(i) > wert(stelle->second))
            stelle->second = i;
    }
    QByteArray ergebnis = zeilen[0] + '\n';
    std::set<int> gesehen;
    for (size_t i = 0; i < b.serie.size(); ++i) {
        if (gesehen.insert(b.serie[i]).second)
            ergebnis += zeilen[qsizetype(bester[b.serie[i]] + 1)] + '\n';
    }
    return ergebnis;
}

} // namespace

// Each criterion as a rule over a whole file equals keeping the best record by the values the
// file was made from.
void TestDuplikatensuche::vorschlagAlsRegel_data()
{
    QTest::addColumn<int>("art");
    QTest::addColumn<int>("spalte");

    QTest::newRow("most complete") << int(Kriterium::Art::Vollstaendigste) << 0;
    QTest::newRow("newest date") << int(Kriterium::Art::Groesster) << 2;
    QTest::newRow("lowest price, unreadable never wins") << int(Kriterium::Art::Kleinster) << 3;
}

void TestDuplikatensuche::vorschlagAlsRegel()
{
    QFETCH(int, art);
    QFETCH(int, spalte);

    const Bestellungen b = bestellungen();
    std::function<double(size_t)> wert;
    std::optional<Kriterium> kriterium;
    switch (Kriterium::Art(art)) {
    case Kriterium::Art::Groesster:
        kriterium = Kriterium::groesster(spalte);
        wert = [&b](size_t i) { return double(b.datum[i].toSecsSinceEpoch()); };
        break;
    case Kriterium::Art::Kleinster:
        kriterium = Kriterium::kleinster(spalte);
        wert = [&b](size_t i) { return b.preis[i] < 0 ? -1e12 : -b.preis[i]; };
        break;
    default:
        kriterium = Kriterium::vollstaendigste();
        wert = [&b](size_t i) { return double(b.gefuellt[i]); };
        break;
    }
    Lauf lauf(b.inhalt);
    QVERIFY(lauf.suche.setzeVorschlag(kriterium));
    lauf.lade();
    lauf.view.yesNoAnswers.enqueue(true);
    lauf.suche.alleWeiterenGruppen(Duplikatensuche::Regel::VorschlagBehalten);
    QCOMPARE(lauf.status(), fertig);
    const SuchZustand &z = lauf.suche.zustand();
    QCOMPARE(z.Ergebnis.dateiinhalt(z.Zeilen), erwartet(b, wert));
    // One step back returns to the group where the rule was given.
    lauf.suche.letzteEntscheidungZuruecknehmen();
    QVERIFY(lauf.gruppeGezeigt());
    QCOMPARE(lauf.view.items.value(0).data, 1);
}

// While a criterion is chosen, the group shown selects its suggestion, which "Weiter" keeps;
// chosen while a group is shown, it applies at once. A column no record has is refused.
void TestDuplikatensuche::vorschlagBeimZeigen()
{
    Lauf lauf("Nr;Name;Ort\r\n1;a\r\n1;b;Ulm\r\n1;;\r\n2;x\r\n");
    lauf.lade();
    QCOMPARE(lauf.view.selectedItem, 0);
    QVERIFY(lauf.suche.setzeVorschlag(Kriterium::vollstaendigste()));
    QCOMPARE(lauf.view.selectedItem, 1);
    QCOMPARE(lauf.view.txtZeile(), u"1;b;Ulm"_s);
    QCOMPARE(lauf.status(), u"Zeile 3 von 5"_s);

    QVERIFY(!lauf.suche.setzeVorschlag(Kriterium::groesster(4)));
    QCOMPARE(lauf.view.messages.value(0).text,
             u"Keine Zeile der Datei hat eine Spalte 4.\nDer Vorschlag bleibt, wie er war."_s);
    QCOMPARE(lauf.suche.vorschlagskriterium(), Kriterium::vollstaendigste());

    lauf.suche.btnNaechsteZeile_Click();
    QCOMPARE(lauf.beendeUndSpeichere(), QByteArray("Nr;Name;Ort\r\n1;b;Ulm\r\n2;x\r\n"));
}

QTEST_GUILESS_MAIN(TestDuplikatensuche)
#include "tst_duplikatensuche.moc"
