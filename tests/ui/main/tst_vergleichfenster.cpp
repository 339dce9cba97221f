#include "gruppenvergleich.h"
#include "tessrafenster.h"
#include "testdateien.h"
#include "textdatei.h"
#include "vergleichfenster.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The comparison window beside a real main window: it follows the run, takes cells and records
// into the record to keep, and what "Weiter" keeps of a merged record reaches the file byte for
// byte.
class TstVergleichFenster : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void zusammenfuehrenUndSpeichern_data();
    void zusammenfuehrenUndSpeichern();
    void bedienung();
    void geschwindigkeit();

private:
    template <typename T> T *ctl(QObject *in, const QString &name) const
    {
        auto *widget = in->findChild<T *>(name);
        if (!widget)
            qFatal("control %s missing", qPrintable(name));
        return widget;
    }
    QPushButton *knopf(const QString &name) const
    {
        return ctl<QPushButton>(m_fenster.get(), name);
    }
    QString txtZeile() const { return ctl<QLineEdit>(m_fenster.get(), u"txtZeile"_s)->text(); }
    void lade(const QString &pfad, const QString &option);
    VergleichFenster *oeffne(bool perTaste = true);
    QTableView *tabelle(const QString &name) const { return ctl<QTableView>(m_vergleich, name); }
    void doppelklick(int satz, int spalte);
    void doppelklickKopf(int satz);

    std::unique_ptr<QTemporaryDir> m_ordner;
    std::unique_ptr<TessraFenster> m_fenster;
    VergleichFenster *m_vergleich = nullptr;
    QStringList m_meldungen;
};

void TstVergleichFenster::init()
{
    m_ordner = std::make_unique<QTemporaryDir>();
    m_meldungen.clear();
    m_fenster = std::make_unique<TessraFenster>();
    m_fenster->setDialogAntwort([this](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog))
            m_meldungen.append(box->windowTitle() + u": "_s + box->text());
        dialog.accept();
    });
    m_fenster->show();
    QVERIFY(QTest::qWaitForWindowActive(m_fenster.get()));
    m_vergleich = nullptr;
}

void TstVergleichFenster::cleanup()
{
    m_fenster.reset();
    m_ordner.reset();
}

void TstVergleichFenster::lade(const QString &pfad, const QString &option)
{
    ctl<QLineEdit>(m_fenster.get(), u"txtPfad"_s)->setText(pfad);
    ctl<QRadioButton>(m_fenster.get(), option)->setChecked(true);
    QTest::mouseClick(knopf(u"btnLaden"_s), Qt::LeftButton);
}

VergleichFenster *TstVergleichFenster::oeffne(bool perTaste)
{
    // The key needs the main window active, which a progress box of a long load may have left
    // to another window.
    if (perTaste)
        QTest::keyClick(m_fenster.get(), Qt::Key_T, Qt::ControlModifier);
    else
        QTest::mouseClick(knopf(u"btnVergleichen"_s), Qt::LeftButton);
    m_vergleich = m_fenster->findChild<VergleichFenster *>();
    return m_vergleich && m_vergleich->isVisible() ? m_vergleich : nullptr;
}

void TstVergleichFenster::doppelklick(int satz, int spalte)
{
    QTableView *gruppe = tabelle(u"tblGruppe"_s);
    const QModelIndex zelle = gruppe->model()->index(satz, spalte);
    gruppe->scrollTo(zelle);
    // Through the window, as the system sends it: press, release, double-click, release.
    QTest::mouseDClick(m_vergleich->windowHandle(), Qt::LeftButton, {},
                       gruppe->viewport()->mapTo(m_vergleich, gruppe->visualRect(zelle).center()));
}

void TstVergleichFenster::doppelklickKopf(int satz)
{
    QHeaderView *kopf = tabelle(u"tblGruppe"_s)->verticalHeader();
    const QPoint stelle(kopf->width() / 2,
                        kopf->sectionViewportPosition(satz) + kopf->sectionSize(satz) / 2);
    QTest::mouseDClick(m_vergleich->windowHandle(), Qt::LeftButton, {},
                       kopf->viewport()->mapTo(m_vergleich, stelle));
}

void TstVergleichFenster::zusammenfuehrenUndSpeichern_data()
{
    QTest::addColumn<QString>("art");
    QTest::addColumn<QString>("option");
    // The sheet's first row of number 0815 with the address of the third and the remark of
    // the second, as Calc writes that row in this export.
    QTest::addColumn<QString>("zeile");

    const QString semikolon =
        u"0815;Schraube M6;\"Musterstr. 1a\n80331 München\";Nachbestellung;0.25"_s;
    QTest::newRow("UTF-8") << u"semikolon"_s << u"optSemikolon"_s << semikolon;
    QTest::newRow("Windows-1252") << u"windows1252"_s << u"optSemikolon"_s << semikolon;
    QTest::newRow("UTF-16") << u"utf16"_s << u"optSemikolon"_s << semikolon;
    QTest::newRow("Tab") << u"tab"_s << u"optTab"_s
                         << u"0815\tSchraube M6\t\"Musterstr. 1a\n80331 München\"\tNachbestellung"
                            u"\t0.25"_s;
    QTest::newRow("alle Texte in Anführung")
        << u"alletexte"_s << u"optSemikolon"_s
        << u"\"0815\";\"Schraube M6\";\"Musterstr. 1a\n80331 München\";\"Nachbestellung\";0.25"_s;
}

void TstVergleichFenster::zusammenfuehrenUndSpeichern()
{
    QFETCH(QString, art);
    QFETCH(QString, option);
    QFETCH(QString, zeile);

    const QString quelle = QStringLiteral(TESSRA_TEST_DATA "/tabellen/artikel-") + art;
    const QString pfad = m_ordner->filePath(u"artikel.csv"_s);
    const QByteArray original = testdateiInhalt(quelle + u".csv"_s);
    QVERIFY(legeTestdateiAn(pfad, original));
    lade(pfad, option);
    QVERIFY(knopf(u"btnVergleichen"_s)->isEnabled());
    QVERIFY(oeffne());
    QCOMPARE(m_vergleich->windowTitle(), u"Tessra - Gruppe vergleichen"_s);

    // The group of 0815 with the sheet's column names; its second record differs in the remark.
    QAbstractItemModel *gruppe = tabelle(u"tblGruppe"_s)->model();
    QCOMPARE(gruppe->rowCount(), 3);
    QCOMPARE(gruppe->columnCount(), 5);
    QCOMPARE(gruppe->headerData(0, Qt::Horizontal).toString(), u"Artikelnr (Seriennr.)"_s);
    QCOMPARE(gruppe->headerData(2, Qt::Horizontal).toString(), u"Lieferanschrift"_s);
    QCOMPARE(gruppe->headerData(1, Qt::Vertical).toString(), u"Zeile 7"_s);
    QCOMPARE(gruppe->index(2, 2).data().toString(), u"Musterstr. 1a↵80331 München"_s);
    QCOMPARE(gruppe->index(2, 2).data(Qt::ToolTipRole).toString(),
             u"Musterstr. 1a\n80331 München"_s);
    QVERIFY(gruppe->index(1, 3).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!gruppe->index(1, 0).data(Qt::FontRole).value<QFont>().bold());

    doppelklick(2, 2);
    QTableView *tblGruppe = tabelle(u"tblGruppe"_s);
    tblGruppe->setCurrentIndex(gruppe->index(1, 3));
    QTest::keyClick(tblGruppe, Qt::Key_Space);
    QCOMPARE(txtZeile(), QString(zeile).replace(u'\n', u'↵'));
    QCOMPARE(tabelle(u"tblErgebnis"_s)->model()->index(0, 3).data().toString(),
             u"Nachbestellung"_s);

    // Enter there is "Weiter"; the window follows to the next group. Every later group keeps
    // its first record.
    QTest::keyClick(tblGruppe, Qt::Key_Return);
    QVERIFY(m_meldungen.isEmpty());
    QCOMPARE(gruppe->headerData(0, Qt::Vertical).toString(), u"Zeile 3"_s);
    while (knopf(u"btnNächsteZeile"_s)->isEnabled())
        QTest::mouseClick(knopf(u"btnNächsteZeile"_s), Qt::LeftButton);
    QCOMPARE(gruppe->rowCount(), 0);
    QCOMPARE(ctl<QLabel>(m_vergleich, u"lblGruppe"_s)->text(),
             u"Der Suchlauf ist beendet: Es wird keine Gruppe mehr angezeigt."_s);
    QTest::mouseClick(knopf(u"btnSpeichern"_s), Qt::LeftButton);
    QVERIFY2(m_meldungen.isEmpty(), qPrintable(m_meldungen.join(u'\n')));

    // What Calc wrote keeping each number's first row, that row built from three.
    const Textdatei datei = Textdatei::ausBytes(original, option == u"optTab" ? u"\t"_s : u";"_s);
    const QByteArray ersteZeile = datei.bytes(1).toByteArray();
    QByteArray erwartet = testdateiInhalt(quelle + u"-erste.csv"_s);
    QCOMPARE(erwartet.count(ersteZeile), 1);
    erwartet.replace(ersteZeile, *datei.kodieren(zeile));
    QCOMPARE(testdateiInhalt(pfad), erwartet);
}

void TstVergleichFenster::bedienung()
{
    const QString pfad = m_ordner->filePath(u"daten.csv"_s);
    QVERIFY(legeTestdateiAn(pfad, "Nr;Name;Ort\n1;a;x\n2;p;q\n1;b;x\n1;c;x\n2;p;r\n9;z;z\n"_ba));
    QVERIFY(!knopf(u"btnVergleichen"_s)->isEnabled());
    lade(pfad, u"optSemikolon"_s);
    QVERIFY(oeffne());
    QTableView *tblGruppe = tabelle(u"tblGruppe"_s);
    QListView *liste = ctl<QListView>(m_fenster.get(), u"LstZeilen"_s);
    QCOMPARE(tblGruppe->currentIndex(), tblGruppe->model()->index(0, 0));

    // A whole record, by its row header or Shift+Space, is chosen as in the list.
    doppelklickKopf(2);
    QCOMPARE(liste->currentIndex().row(), 2);
    QCOMPARE(txtZeile(), u"1;c;x"_s);
    tblGruppe->setCurrentIndex(tblGruppe->model()->index(1, 2));
    QTest::keyClick(tblGruppe, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(liste->currentIndex().row(), 1);
    QCOMPARE(txtZeile(), u"1;b;x"_s);

    // A click in the list is followed; a cell taken shows at once, Ctrl+Z takes it back first.
    liste->setCurrentIndex(liste->model()->index(0, 0));
    QCOMPARE(txtZeile(), u"1;a;x"_s);
    doppelklick(2, 1);
    QCOMPARE(txtZeile(), u"1;c;x"_s);
    QCOMPARE(liste->currentIndex().row(), 2);
    QTest::keyClick(tblGruppe, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(txtZeile(), u"1;a;x"_s);

    // A cell of the record to keep edited in place.
    QTableView *tblErgebnis = tabelle(u"tblErgebnis"_s);
    tblErgebnis->model()->setData(tblErgebnis->model()->index(0, 2), u"y; z"_s);
    QCOMPARE(txtZeile(), u"1;a;\"y; z\""_s);

    // Only the columns in which the records differ.
    auto *nurAbweichende = ctl<QCheckBox>(m_vergleich, u"chkNurAbweichende"_s);
    QCOMPARE(nurAbweichende->text(), u"Nur abweichende Spalten"_s);
    nurAbweichende->setChecked(true);
    QVERIFY(tblGruppe->isColumnHidden(0));
    QVERIFY(!tblGruppe->isColumnHidden(1));
    QVERIFY(tblGruppe->isColumnHidden(2));

    QTest::keyClick(tblGruppe, Qt::Key_Return);
    QCOMPARE(txtZeile(), u"2;p;q"_s);
    QVERIFY(tblGruppe->isColumnHidden(1));
    QVERIFY(!tblGruppe->isColumnHidden(2));
    // Ctrl+Z with no cell taken takes the decision back.
    QTest::keyClick(tblGruppe, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(tblGruppe->model()->headerData(0, Qt::Vertical).toString(), u"Zeile 2"_s);
    // The merged record comes back in the edit field and in the record to keep alike.
    QCOMPARE(txtZeile(), u"1;a;\"y; z\""_s);
    QCOMPARE(tblErgebnis->model()->index(0, 2).data().toString(), u"y; z"_s);

    // Escape closes it; the run goes on as it was.
    QTest::keyClick(tblGruppe, Qt::Key_Escape);
    QVERIFY(!m_vergleich->isVisible());
    QCOMPARE(liste->model()->rowCount(), 3);
}

namespace {

QByteArray gruppen(int anzahl, int groesse)
{
    QByteArray inhalt;
    for (int satz = 0; satz < groesse; ++satz) {
        for (int gruppe = 0; gruppe < anzahl; ++gruppe)
            inhalt += QByteArray::number(gruppe) + ";Artikel " + QByteArray::number(satz) +
                      ";Beschreibung;1.25;Kunde;\"Weg 1\nOrt\";Bemerkung\n";
    }
    return inhalt;
}

} // namespace

// Opening on a group of 10 records and on one of 1,000,000, and following a group after
// "Weiter"; the figures are printed, and held to their targets in an optimised build.
void TstVergleichFenster::geschwindigkeit()
{
    const auto oeffnenDauert = [this](const QByteArray &inhalt) {
        const QString pfad = m_ordner->filePath(u"gross.csv"_s);
        if (!legeTestdateiAn(pfad, inhalt))
            return qint64(-1);
        lade(pfad, u"optSemikolon"_s);
        QElapsedTimer uhr;
        uhr.start();
        if (oeffne(false))
            m_vergleich->repaint();
        return uhr.elapsed();
    };
    const qint64 zehn = oeffnenDauert(gruppen(50, 10));
    QVERIFY(m_vergleich);

    // "Weiter" through 20 groups with the window open, then with it closed.
    const auto weiterDauert = [this] {
        QElapsedTimer uhr;
        uhr.start();
        for (int i = 0; i < 20; ++i)
            QTest::mouseClick(knopf(u"btnNächsteZeile"_s), Qt::LeftButton);
        return double(uhr.nsecsElapsed()) / 20e6;
    };
    const double offen = weiterDauert();
    QTest::keyClick(tabelle(u"tblGruppe"_s), Qt::Key_Escape);
    const double geschlossen = weiterDauert();
    // Closed, it let go of the group and follows none.
    QCOMPARE(tabelle(u"tblGruppe"_s)->model()->rowCount(), 0);

    cleanup();
    init();
    const qint64 million = oeffnenDauert(gruppen(1, 1000000));
    QVERIFY(m_vergleich && m_vergleich->isVisible());
    QTableView *tblGruppe = tabelle(u"tblGruppe"_s);
    QCOMPARE(tblGruppe->model()->rowCount(), 1000000);
    // Scrolling to the middle draws only the rows there.
    QElapsedTimer uhr;
    uhr.start();
    tblGruppe->scrollTo(tblGruppe->model()->index(500000, 0));
    tblGruppe->viewport()->repaint();
    const qint64 blaettern = uhr.restart();
    ctl<QCheckBox>(m_vergleich, u"chkNurAbweichende"_s)->setChecked(true);
    const qint64 nurAbweichende = uhr.elapsed();
    QVERIFY(tblGruppe->isColumnHidden(0));
    QVERIFY(!tblGruppe->isColumnHidden(1));
    qInfo("open: 10 records %lld ms, 1,000,000 records %lld ms, scrolled to the middle %lld ms, "
          "\"Nur abweichende Spalten\" %lld ms; Weiter %.2f ms open, %.2f ms closed",
          zehn, million, blaettern, nurAbweichende, offen, geschlossen);
#if !defined(__SANITIZE_ADDRESS__) && defined(QT_NO_DEBUG)
    QVERIFY(zehn <= 100);
    QVERIFY(million <= 300);
    QVERIFY(blaettern <= 16);
    QVERIFY(offen - geschlossen <= 10);
#endif
}

QTEST_MAIN(TstVergleichFenster)
#include "tst_vergleichfenster.moc"
