#include "gruppengang.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The walk and its history, driven as plain commands, without a window.
class TestGruppengang : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lauf_data();
    void lauf();
};

namespace {

struct Aufbau
{
    explicit Aufbau(const QByteArray &datei)
    {
        z.Trennzeichen = u";"_s;
        z.Zeilen = Textdatei::ausBytes(datei, z.Trennzeichen);
        z.Gruppen = Gruppenindex(z.Zeilen, z.Trennzeichen);
        z.GeladenerPfad = u"liste.csv"_s;
        gang.beginne();
    }

    QByteArray ergebnis() const
    {
        QByteArray bytes;
        z.Ergebnis.schreibeInhalt(z.Zeilen, [&](QByteArrayView teil) {
            bytes += teil;
            return true;
        });
        return bytes;
    }

    SuchZustand z;
    Gruppengang gang{z};
};

Kriterium kriteriumAus(const QString &name)
{
    if (name == u"letzte")
        return Kriterium::letzte();
    if (name == u"voll")
        return Kriterium::vollstaendigste();
    if (name == u"max2")
        return Kriterium::groesster(2);
    return Kriterium::erste();
}

} // namespace

// Commands, space-separated: "w" walks to the next group; "kN" keeps the group's N-th line
// (from 0) with row N selected, "x" keeps nothing, "e:TEXT" keeps TEXT typed, each walking on;
// "z" takes the last decision back; "r:NAME" settles every group from the shown one by a
// criterion; "g" settles groups of equal lines on their own from now on; "s" remembers the
// run's state, "a" returns to it as a stopped command does.
void TestGruppengang::lauf_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("befehle");
    QTest::addColumn<QByteArray>("ergebnis");
    QTest::addColumn<qsizetype>("serien");
    // The row and text the last "z" gave back; -1 and "" when none.
    QTest::addColumn<qsizetype>("auswahl");
    QTest::addColumn<QString>("zeilenfeld");

    const QByteArray datei = "Nr;Wert\n1;a\n2;b\n1;c\n3;d\n2;e\n2;f;x\n";
    QTest::newRow("a kept line takes the group's first place, unique lines pass")
        << datei << u"w k1 k2"_s << "Nr;Wert\n1;c\n2;f;x\n3;d\n"_ba << qsizetype(3) << qsizetype(-1)
        << QString();
    QTest::newRow("nothing kept drops the group")
        << datei << u"w x k0"_s << "Nr;Wert\n2;b\n3;d\n"_ba << qsizetype(3) << qsizetype(-1)
        << QString();
    QTest::newRow("an edit is stored as typed")
        << datei << u"w e:1;neu k0"_s << "Nr;Wert\n1;neu\n2;b\n3;d\n"_ba << qsizetype(3)
        << qsizetype(-1) << QString();
    QTest::newRow("undo returns place, result, count and how the group was left")
        << datei << u"w k0 e:2;getippt z k2"_s << "Nr;Wert\n1;a\n2;f;x\n3;d\n"_ba << qsizetype(3)
        << qsizetype(-1) << u"2;getippt"_s;
    QTest::newRow("undo after the last group reopens it")
        << datei << u"w k1 k1 z k0"_s << "Nr;Wert\n1;c\n2;b\n3;d\n"_ba << qsizetype(3)
        << qsizetype(1) << QString();
    QTest::newRow("a rule settles the shown group and every later one")
        << datei << u"w k0 r:letzte"_s << "Nr;Wert\n1;a\n2;f;x\n3;d\n"_ba << qsizetype(3)
        << qsizetype(-1) << QString();
    QTest::newRow("one undo takes a whole rule back")
        << datei << u"w r:voll z k0 k1"_s << "Nr;Wert\n1;a\n2;e\n3;d\n"_ba << qsizetype(3)
        << qsizetype(-1) << QString();
    QTest::newRow("a stopped rule leaves the run as it was")
        << datei << u"w k1 s r:letzte a k0"_s << "Nr;Wert\n1;c\n2;b\n3;d\n"_ba << qsizetype(3)
        << qsizetype(-1) << QString();
    QTest::newRow("groups of equal lines settle themselves, keeping the first")
        << "Nr;Wert\n1;a\n2;b\n1;a\n2;c\n"_ba << u"g w k1"_s << "Nr;Wert\n1;a\n2;c\n"_ba
        << qsizetype(2) << qsizetype(-1) << QString();
    QTest::newRow("a criterion reads the column of the group's lines")
        << "Nr;Preis\n1;9,50\n1;10,00\n1;auf Anfrage\n"_ba << u"w r:max2"_s
        << "Nr;Preis\n1;10,00\n"_ba << qsizetype(1) << qsizetype(-1) << QString();
}

void TestGruppengang::lauf()
{
    QFETCH(QByteArray, datei);
    QFETCH(QString, befehle);

    Aufbau lauf(datei);
    Gruppengang &gang = lauf.gang;
    Gruppengang::Gang weg;
    Gruppengang::Stand gemerkt;
    Gruppengang::Verlassen zurueck;
    for (const QString &befehl : befehle.split(u' ')) {
        const QChar art = befehl.front();
        if (art == u'w') {
            QVERIFY(gang.naechsteGruppe(weg, {}));
        } else if (art == u'k' || art == u'x' || art == u'e') {
            QVERIFY(gang.gruppeGezeigt());
            if (art == u'k') {
                const qsizetype zeile = befehl.sliced(1).toLongLong();
                gang.entscheide(gang.gruppe().at(size_t(zeile)), {zeile});
            } else if (art == u'e') {
                const QString text = befehl.sliced(2);
                gang.entscheide(text.toUtf8(), {-1, text});
            } else {
                gang.entscheide({}, {});
            }
            gang.naechsteGruppe(weg, {});
        } else if (art == u'z') {
            QVERIFY(gang.kannZuruecknehmen());
            zurueck = gang.nimmZurueck();
            QVERIFY(gang.gruppeGezeigt());
        } else if (art == u'r') {
            const Kriterium kriterium = kriteriumAus(befehl.sliced(2));
            QVERIFY(gang.setzeKriterium(kriterium));
            gang.alleNach(kriterium, {}, {}, weg);
        } else if (art == u'g') {
            gang.setzeGleicheAutomatisch(true);
        } else if (art == u's') {
            gemerkt = gang.stand();
        } else if (art == u'a') {
            gang.kehreZurueck(gemerkt);
            QVERIFY(gang.gruppeGezeigt());
        }
    }
    QFETCH(QByteArray, ergebnis);
    QFETCH(qsizetype, serien);
    QFETCH(qsizetype, auswahl);
    QFETCH(QString, zeilenfeld);
    QVERIFY(!gang.gruppeGezeigt());
    QCOMPARE(lauf.ergebnis(), ergebnis);
    QCOMPARE(lauf.z.AnzSerien, serien);
    QCOMPARE(zurueck.auswahl, auswahl);
    QCOMPARE(zurueck.zeilenfeld.value_or(QString()), zeilenfeld);
}

QTEST_APPLESS_MAIN(TestGruppengang)
#include "tst_gruppengang.moc"
