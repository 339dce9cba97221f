#include "duplikatensuche.h"
#include "fakemainview.h"
#include "testdateien.h"
#include "textdatei.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Control = MainView::Control;
using Label = MainView::Label;
using Regel = Duplikatensuche::Regel;

// An article list made in LibreOffice Calc (tests/data/tabellen/erzeuge.py): addresses and
// remarks with line breaks in their cells, article numbers with leading zeros as text, the same
// number once as text and once as a number, semicolons, tabs, inch marks and quotes inside
// cells. Calc exported it the ways users export (exportiere.sh), and exported the sheet with each
// number's first or last row kept too. Cleaning the export must give exactly what Calc writes for
// that sheet, byte for byte.
class TestTabellenexport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bereinigt_data();
    void bereinigt();
};

namespace {

enum class Vorgehen { ErsteKlicken, ErsteRegel, LetzteKlicken, LetzteRegel, Bearbeitet, Zurueck };

QString datei(const QString &name)
{
    return QStringLiteral(TESSRA_TEST_DATA "/tabellen/") + name + u".csv"_s;
}

// The records of both files side by side, so that a failure names the first one that differs.
QString ersterUnterschied(const QByteArray &ist, const QByteArray &soll, const QString &trenner)
{
    const Textdatei a = Textdatei::ausBytes(ist, trenner);
    const Textdatei b = Textdatei::ausBytes(soll, trenner);
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QString links = i < a.size() ? a.text(i) : u"<fehlt>"_s;
        const QString rechts = i < b.size() ? b.text(i) : u"<fehlt>"_s;
        if (links != rechts || (i < a.size() && i < b.size() && a.bytes(i) != b.bytes(i)))
            return u"Datensatz %1: %2\nstatt: %3"_s.arg(i + 1).arg(links, rechts);
    }
    return u"gleiche Datensätze, andere Bytes"_s;
}

class Lauf
{
public:
    Lauf(const QString &art, const QString &trennzeichen)
        : pfad(dir.filePath(u"export.csv"_s))
    {
        QVERIFY(QFile::copy(datei(u"artikel-"_s + art), pfad));
        view.waehleTrennzeichen(trennzeichen);
        view.setTxtPfad(pfad);
        suche.txtPfad_Change();
        suche.btnLaden_Click();
    }

    bool gruppeGezeigt() const { return view.isEnabled(Control::btnNaechsteZeile); }

    // The record numbers of the group on show.
    QList<qsizetype> gruppe() const
    {
        QList<qsizetype> zeilen;
        for (const auto &item : view.items)
            zeilen.append(item.data);
        return zeilen;
    }

    void weiter(bool letzte)
    {
        if (letzte) {
            view.selectLstZeilenItem(view.lstZeilenCount() - 1);
            suche.LstZeilen_Click();
        }
        suche.btnNaechsteZeile_Click();
    }

    QList<QList<qsizetype>> klickeDurch(bool letzte)
    {
        QList<QList<qsizetype>> gruppen;
        for (int schritte = 0; gruppeGezeigt() && schritte < 100; ++schritte) {
            gruppen.append(gruppe());
            weiter(letzte);
        }
        return gruppen;
    }

    void regel(Regel regel)
    {
        view.yesNoAnswers.enqueue(true);
        suche.alleWeiterenGruppen(regel);
    }

    QByteArray speichere()
    {
        const QString ziel = dir.filePath(u"ergebnis.csv"_s);
        view.answers.enqueue(ziel);
        suche.btnSpeichernUnter_Click();
        return testdateiInhalt(ziel);
    }

    QTemporaryDir dir;
    QString pfad;
    FakeMainView view;
    Duplikatensuche suche{view};
};

} // namespace

void TestTabellenexport::bereinigt_data()
{
    QTest::addColumn<QString>("art");
    QTest::addColumn<QString>("trennzeichen");
    QTest::addColumn<Vorgehen>("vorgehen");

    const QList<std::pair<QString, QString>> arten = {
        {u"semikolon"_s, u";"_s}, {u"windows1252"_s, u";"_s}, {u"tab"_s, u"\t"_s},
        {u"utf16"_s, u";"_s},     {u"alletexte"_s, u";"_s},
    };
    const QList<std::pair<const char *, Vorgehen>> vorgehen = {
        {"erste per Hand", Vorgehen::ErsteKlicken},   {"erste per Regel", Vorgehen::ErsteRegel},
        {"letzte per Hand", Vorgehen::LetzteKlicken}, {"letzte per Regel", Vorgehen::LetzteRegel},
        {"bearbeitet", Vorgehen::Bearbeitet},         {"zurueckgenommen", Vorgehen::Zurueck},
    };
    for (const auto &[art, trennzeichen] : arten)
        for (const auto &[name, wie] : vorgehen)
            QTest::addRow("%s, %s", qPrintable(art), name) << art << trennzeichen << wie;
}

void TestTabellenexport::bereinigt()
{
    QFETCH(QString, art);
    QFETCH(QString, trennzeichen);
    QFETCH(Vorgehen, vorgehen);

    Lauf lauf(art, trennzeichen);
    // The header and 14 rows; the first group is the first row's.
    QVERIFY2(lauf.view.messages.isEmpty(), qPrintable(lauf.view.messages.value(0).text));
    QCOMPARE(lauf.view.caption(Label::lblZeile), u"Zeile 2 von 15"_s);

    const bool letzte = vorgehen == Vorgehen::LetzteKlicken || vorgehen == Vorgehen::LetzteRegel;
    QByteArray erwartet =
        testdateiInhalt(datei(u"artikel-"_s + art + (letzte ? u"-letzte"_s : u"-erste"_s)));
    switch (vorgehen) {
    case Vorgehen::ErsteKlicken:
    case Vorgehen::LetzteKlicken: {
        // 0815 three times, 4711 as text and as a number, 00471 twice alike, 0042 twice.
        const QList<QList<qsizetype>> gruppen{{1, 6, 12}, {2, 4}, {3, 8}, {5, 10}};
        QCOMPARE(lauf.klickeDurch(letzte), gruppen);
        break;
    }
    case Vorgehen::ErsteRegel:
    case Vorgehen::LetzteRegel:
        lauf.regel(letzte ? Regel::LetzteBehalten : Regel::ErsteBehalten);
        break;
    case Vorgehen::Bearbeitet: {
        // A line added inside the quoted address; its other break goes back as it was.
        const QString alt = u"Musterstr. 1↵80331"_s;
        const QString neu = u"Musterstr. 1↵Hinterhof↵80331"_s;
        QVERIFY(lauf.view.txtZeile().contains(alt));
        lauf.view.setTxtZeile(lauf.view.txtZeile().replace(alt, neu));
        lauf.klickeDurch(false);
        const auto kodiert = [&](const QString &text) {
            return art == u"utf16" ? alsUtf16(text, QSysInfo::LittleEndian) : text.toLatin1();
        };
        erwartet.replace(kodiert(u"Musterstr. 1\n80331"_s),
                         kodiert(u"Musterstr. 1\nHinterhof\n80331"_s));
        break;
    }
    case Vorgehen::Zurueck: {
        // Taken back, the first group shows its last line picked, as it was left.
        lauf.view.selectLstZeilenItem(lauf.view.lstZeilenCount() - 1);
        lauf.suche.LstZeilen_Click();
        const QString zuerst = lauf.view.bild();
        lauf.weiter(true);
        lauf.weiter(true);
        lauf.suche.letzteEntscheidungZuruecknehmen();
        lauf.suche.letzteEntscheidungZuruecknehmen();
        QCOMPARE(lauf.view.bild(), zuerst);
        lauf.view.selectLstZeilenItem(0);
        lauf.suche.LstZeilen_Click();
        lauf.klickeDurch(false);
        break;
    }
    }

    QVERIFY2(lauf.view.messages.isEmpty(), qPrintable(lauf.view.messages.value(0).text));
    QCOMPARE(lauf.view.caption(Label::lblZeile), u"FERTIG - Bitte Speichern -"_s);
    const QByteArray ergebnis = lauf.speichere();
    QVERIFY2(ergebnis == erwartet, qPrintable(ersterUnterschied(ergebnis, erwartet, trennzeichen)));
}

QTEST_GUILESS_MAIN(TestTabellenexport)
#include "tst_tabellenexport.moc"
