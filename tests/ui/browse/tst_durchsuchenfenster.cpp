#include "durchsuchenfenster.h"

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>

#include "twips.h"

using namespace Qt::StringLiterals;

// The browse window against a stand-in main window: a path field whose changes run a path check,
// "Durchsuchen..." and a "Datei laden" button that the check enables for a readable file.
class TestDurchsuchenFenster : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void anfangszustand();
    void tastenOhneWirkungAufsFenster();
    void dateiwahlSetztTitel_data();
    void dateiwahlSetztTitel();
    void uebernehmen_data();
    void uebernehmen();
    void okOhneAuswahl();
    void abbrechen_data();
    void abbrechen();
    void ordnerwechsel_data();
    void ordnerwechsel();
    void dateiImWurzelordner();
    void laufwerkswechsel_data();
    void laufwerkswechsel();
    void unlesbarerOrdner_data();
    void unlesbarerOrdner();
    void nameNichtUtf8();
    void hauptfensterGesperrt();

private:
    void pruefePfad();
    void oeffne();
    QTreeWidget *dir1() const { return m_fenster->findChild<QTreeWidget *>(u"Dir1"_s); }
    QListWidget *file1() const { return m_fenster->findChild<QListWidget *>(u"File1"_s); }
    QPushButton *button(const QString &name) const
    {
        return m_fenster->findChild<QPushButton *>(name);
    }
    QStringList dateien() const;
    QStringList ordnerbaum() const;
    QStringList vorfahren(const QString &pfad) const;
    void klickeDatei(const QString &name, bool doppelt = false);
    void oeffneOrdner(const QString &name, bool mitEnter = false);

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_ordner;
    QString m_vorherigesVerzeichnis;
    std::unique_ptr<QWidget> m_haupt;
    QLineEdit *m_txtPfad = nullptr;
    QPushButton *m_btnDurchsuchen = nullptr;
    QPushButton *m_btnLaden = nullptr;
    QPushButton *m_btnReset = nullptr;
    int m_pruefungen = 0;
    QPointer<DurchsuchenFenster> m_fenster;
};

namespace {

const QStringList startdateien = {u".versteckt"_s, u"a.txt"_s, u"B.txt"_s, u"kaputt"_s};
const QStringList startordner = {u".versteckter Ordner"_s, u"unter"_s};

// Through the window system, so the view sees press, release, double-click and release as from
// a real mouse.
void doppelklick(QWidget *widget, QPoint punkt)
{
    QWidget *fenster = widget->window();
    QTest::mouseDClick(fenster->windowHandle(), Qt::LeftButton, {}, widget->mapTo(fenster, punkt));
}

void legeDateiAn(const QString &pfad)
{
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write("100;A\n100;B\n");
}

// Answers the next message box once it is up and tells what it said.
struct Meldung
{
    QString titel;
    QString text;
    QMessageBox::Icon symbol = QMessageBox::NoIcon;
    int anzahl = 0;

    void beantworteNaechste(QObject *kontext)
    {
        auto *timer = new QTimer(kontext);
        timer->start(10);
        QObject::connect(timer, &QTimer::timeout, kontext, [this, timer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++anzahl;
            titel = box->windowTitle();
            text = box->text();
            symbol = box->icon();
            timer->deleteLater();
            box->button(QMessageBox::Ok)->click();
        });
    }
};

} // namespace

void TestDurchsuchenFenster::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_ordner = QFileInfo(m_temp->path()).canonicalFilePath();
    const QDir ordner(m_ordner);
    for (const QString &name : {u".versteckt"_s, u"a.txt"_s, u"B.txt"_s})
        legeDateiAn(ordner.filePath(name));
    QVERIFY(QFile::link(ordner.filePath(u"fehlt"_s), ordner.filePath(u"kaputt"_s)));
    for (const QString &name : startordner)
        QVERIFY(ordner.mkdir(name));
    legeDateiAn(ordner.filePath(u"unter/c.txt"_s));
    m_vorherigesVerzeichnis = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_ordner));

    m_haupt = std::make_unique<QWidget>();
    m_haupt->resize(500, 300);
    m_txtPfad = new QLineEdit(m_haupt.get());
    m_txtPfad->setGeometry(10, 10, 300, 24);
    m_btnDurchsuchen = new QPushButton(u"Durchsuchen..."_s, m_haupt.get());
    m_btnDurchsuchen->setGeometry(320, 10, 120, 24);
    m_btnLaden = new QPushButton(u"Datei laden"_s, m_haupt.get());
    m_btnLaden->setGeometry(320, 40, 120, 24);
    m_btnReset = new QPushButton(u"Reset"_s, m_haupt.get());
    m_btnReset->setGeometry(320, 70, 120, 24);
    connect(m_txtPfad, &QLineEdit::textChanged, this, [this] { pruefePfad(); });
    m_pruefungen = 0;
}

void TestDurchsuchenFenster::cleanup()
{
    delete m_fenster.data();
    m_haupt.reset();
    QDir::setCurrent(m_vorherigesVerzeichnis);
    const QString unter = QDir(m_ordner).filePath(u"unter"_s);
    ::chmod(QFile::encodeName(unter).constData(), 0700);
    m_temp.reset();
}

// The stand-in's path check: "Datei laden" is usable while the path names a readable file.
void TestDurchsuchenFenster::pruefePfad()
{
    ++m_pruefungen;
    QFile datei(m_txtPfad->text());
    m_btnLaden->setEnabled(!datei.fileName().isEmpty() && datei.open(QIODevice::ReadOnly));
}

// As the main window does on "Durchsuchen...": buttons off, browse window shown, no waiting.
void TestDurchsuchenFenster::oeffne()
{
    m_btnDurchsuchen->setEnabled(false);
    m_btnLaden->setEnabled(false);
    m_haupt->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_haupt.get()));
    m_fenster = new DurchsuchenFenster(
        m_haupt.get(), m_txtPfad, m_btnDurchsuchen, [this] { pruefePfad(); }, m_haupt.get());
    m_pruefungen = 0;
    m_fenster->show();
    // A window manager would activate the new window; without one (a bare X server) the test
    // asks for it.
    m_fenster->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_fenster));
}

QStringList TestDurchsuchenFenster::dateien() const
{
    QStringList namen;
    for (int i = 0; i < file1()->count(); ++i)
        namen.append(file1()->item(i)->text());
    return namen;
}

QStringList TestDurchsuchenFenster::ordnerbaum() const
{
    QStringList namen;
    for (QTreeWidgetItemIterator it(dir1()); *it; ++it)
        namen.append((*it)->text(0));
    return namen;
}

QStringList TestDurchsuchenFenster::vorfahren(const QString &pfad) const
{
    return QStringList{u"/"_s} + pfad.split(u'/', Qt::SkipEmptyParts);
}

void TestDurchsuchenFenster::klickeDatei(const QString &name, bool doppelt)
{
    const QList<QListWidgetItem *> treffer = file1()->findItems(name, Qt::MatchExactly);
    QCOMPARE(treffer.size(), 1);
    file1()->scrollToItem(treffer.first());
    const QPoint punkt = file1()->visualItemRect(treffer.first()).center();
    if (doppelt)
        doppelklick(file1()->viewport(), punkt);
    else
        QTest::mouseClick(file1()->viewport(), Qt::LeftButton, {}, punkt);
}

void TestDurchsuchenFenster::oeffneOrdner(const QString &name, bool mitEnter)
{
    const QList<QTreeWidgetItem *> treffer =
        dir1()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(treffer.size(), 1);
    if (mitEnter) {
        dir1()->setFocus();
        dir1()->setCurrentItem(treffer.first());
        QTest::keyClick(dir1(), Qt::Key_Return);
        return;
    }
    dir1()->scrollToItem(treffer.first());
    const QPoint punkt = dir1()->visualItemRect(treffer.first()).center();
    doppelklick(dir1()->viewport(), punkt);
}

void TestDurchsuchenFenster::anfangszustand()
{
    QPixmap bild(32, 32);
    bild.fill(Qt::darkRed);
    m_haupt->setWindowIcon(QIcon(bild));
    oeffne();

    QCOMPARE(m_fenster->windowIcon().cacheKey(), m_haupt->windowIcon().cacheKey());
    const qreal dpi = m_haupt->screen()->logicalDotsPerInch();
    QCOMPARE(m_fenster->size(), Twips(dpi, dpi).size(5175, 5175));

    QCOMPARE(m_fenster->windowTitle(), u"Tessra - Datei suchen"_s);
    QCOMPARE(ordnerbaum(), vorfahren(m_ordner) + startordner);
    QCOMPARE(dir1()->currentItem()->text(0), QFileInfo(m_ordner).fileName());
    QCOMPARE(dateien(), startdateien);
    QVERIFY(file1()->selectedItems().isEmpty());
    QCOMPARE(file1()->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(file1()->accessibleName(), u"Datei:"_s);
    const QString laufwerk = m_fenster->findChild<QComboBox *>(u"Drive1"_s)->currentText();
    QVERIFY2(m_ordner.startsWith(laufwerk), qPrintable(laufwerk));

    QTRY_COMPARE(QApplication::focusWidget(), dir1());
    QStringList reihenfolge;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reihenfolge.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(reihenfolge,
             QStringList({u"File1"_s, u"Button_ok"_s, u"Button_abbr"_s, u"Drive1"_s, u"Dir1"_s}));
}

void TestDurchsuchenFenster::tastenOhneWirkungAufsFenster()
{
    oeffne();
    klickeDatei(u"a.txt"_s);

    for (const Qt::Key taste : {Qt::Key_Return, Qt::Key_Escape}) {
        QTest::keyClick(file1(), taste);
        QTest::keyClick(button(u"Button_ok"_s), taste);
    }

    QVERIFY(m_fenster && m_fenster->isVisible());
    QCOMPARE(m_txtPfad->text(), QString());
    QCOMPARE(m_pruefungen, 0);
}

void TestDurchsuchenFenster::dateiwahlSetztTitel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("mitTastatur");

    QTest::newRow("click") << u"a.txt"_s << false;
    QTest::newRow("hidden file") << u".versteckt"_s << false;
    QTest::newRow("arrow key to the next file") << u"B.txt"_s << true;
}

void TestDurchsuchenFenster::dateiwahlSetztTitel()
{
    QFETCH(QString, name);
    QFETCH(bool, mitTastatur);

    oeffne();
    if (mitTastatur) {
        klickeDatei(u"a.txt"_s);
        QTest::keyClick(file1(), Qt::Key_Down);
    } else {
        klickeDatei(name);
    }

    QCOMPARE(file1()->selectedItems().size(), 1);
    QCOMPARE(m_fenster->windowTitle(), u"Tessra - "_s + name);
    QVERIFY(button(u"Button_ok"_s)->isEnabled());
    QCOMPARE(m_pruefungen, 0);
}

void TestDurchsuchenFenster::uebernehmen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("doppelklick");
    QTest::addColumn<bool>("ladbar");

    QTest::newRow("OK") << u"a.txt"_s << false << true;
    QTest::newRow("double-click") << u"B.txt"_s << true << true;
    QTest::newRow("hidden file") << u".versteckt"_s << false << true;
    QTest::newRow("dangling link: the path check refuses it") << u"kaputt"_s << true << false;
}

void TestDurchsuchenFenster::uebernehmen()
{
    QFETCH(QString, name);
    QFETCH(bool, doppelklick);
    QFETCH(bool, ladbar);

    m_txtPfad->setText(u"/vorher/eingetippt.txt"_s);
    m_txtPfad->setSelection(1, 5);
    oeffne();
    if (doppelklick) {
        klickeDatei(name, true);
    } else {
        klickeDatei(name);
        QCOMPARE(m_fenster->windowTitle(), u"Tessra - "_s + name);
        QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);
    }

    const QString erwartet = m_ordner + u'/' + name;
    QCOMPARE(m_txtPfad->text(), erwartet);
    QCOMPARE(m_txtPfad->cursorPosition(), erwartet.size());
    QVERIFY(!m_txtPfad->hasSelectedText());
    QVERIFY(m_btnDurchsuchen->isEnabled());
    QCOMPARE(m_btnLaden->isEnabled(), ladbar);
    // Once through the field's change, once called directly.
    QCOMPARE(m_pruefungen, 2);
    QVERIFY(!m_fenster || !m_fenster->isVisible());
    QTRY_VERIFY(m_fenster.isNull());
}

void TestDurchsuchenFenster::okOhneAuswahl()
{
    m_txtPfad->setText(u"/vorher/eingetippt.txt"_s);
    m_txtPfad->setSelection(1, 5);
    oeffne();

    QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);

    QCOMPARE(m_txtPfad->text(), u"/vorher/eingetippt.txt"_s);
    QCOMPARE(m_txtPfad->cursorPosition(), m_txtPfad->text().size());
    QVERIFY(!m_txtPfad->hasSelectedText());
    QVERIFY(m_btnDurchsuchen->isEnabled());
    QVERIFY(!m_btnLaden->isEnabled());
    QCOMPARE(m_pruefungen, 1);
    QTRY_VERIFY(m_fenster.isNull());
}

void TestDurchsuchenFenster::abbrechen_data()
{
    QTest::addColumn<QString>("weg");

    QTest::newRow("Abbruch") << u"Abbruch"_s;
    QTest::newRow("close box") << u"close box"_s;
    QTest::newRow("close by the program") << u"close"_s;
}

void TestDurchsuchenFenster::abbrechen()
{
    QFETCH(QString, weg);

    const QString pfad = m_ordner + u"/B.txt"_s;
    m_txtPfad->setText(pfad);
    m_txtPfad->setCursorPosition(3);
    oeffne();
    klickeDatei(u"a.txt"_s);

    if (weg == u"Abbruch"_s)
        QTest::mouseClick(button(u"Button_abbr"_s), Qt::LeftButton);
    else if (weg == u"close box"_s)
        m_fenster->windowHandle()->close();
    else
        m_fenster->close();

    QCOMPARE(m_txtPfad->text(), pfad);
    QCOMPARE(m_txtPfad->cursorPosition(), 3);
    QVERIFY(m_btnDurchsuchen->isEnabled());
    // The path check ran on the unchanged text, and only once: the refused close request
    // does not start the cancel steps again.
    QVERIFY(m_btnLaden->isEnabled());
    QCOMPARE(m_pruefungen, 1);
    QVERIFY(!m_fenster || !m_fenster->isVisible());
    QTRY_VERIFY(m_fenster.isNull());
    QCOMPARE(m_pruefungen, 1);
}

void TestDurchsuchenFenster::ordnerwechsel_data()
{
    QTest::addColumn<QStringList>("wege");
    QTest::addColumn<bool>("mitEnter");
    QTest::addColumn<QString>("ziel");
    QTest::addColumn<QStringList>("unterordner");
    QTest::addColumn<QStringList>("erwarteteDateien");

    QTest::newRow("subfolder by double-click") << QStringList{u"unter"_s} << false << u"unter"_s
                                               << QStringList() << QStringList{u"c.txt"_s};
    QTest::newRow("subfolder by Enter") << QStringList{u"unter"_s} << true << u"unter"_s
                                        << QStringList() << QStringList{u"c.txt"_s};
    QTest::newRow("empty hidden folder")
        << QStringList{u".versteckter Ordner"_s} << false << u".versteckter Ordner"_s
        << QStringList() << QStringList();
    QTest::newRow("down and back up by the ancestor")
        << QStringList{u"unter"_s, u"<start>"_s} << false << QString() << startordner
        << startdateien;
}

void TestDurchsuchenFenster::ordnerwechsel()
{
    QFETCH(QStringList, wege);
    QFETCH(bool, mitEnter);
    QFETCH(QString, ziel);
    QFETCH(QStringList, unterordner);
    QFETCH(QStringList, erwarteteDateien);

    oeffne();
    klickeDatei(u"a.txt"_s);
    for (QString name : wege) {
        if (name == u"<start>"_s)
            name = QFileInfo(m_ordner).fileName();
        oeffneOrdner(name, mitEnter);
    }

    const QString zielpfad = ziel.isEmpty() ? m_ordner : m_ordner + u'/' + ziel;
    QCOMPARE(ordnerbaum(), vorfahren(zielpfad) + unterordner);
    QCOMPARE(dir1()->currentItem()->text(0), QFileInfo(zielpfad).fileName());
    QCOMPARE(dateien(), erwarteteDateien);
    QVERIFY(file1()->selectedItems().isEmpty());
    QCOMPARE(m_fenster->windowTitle(), u"Tessra - a.txt"_s);
    QCOMPARE(m_pruefungen, 0);

    if (erwarteteDateien.isEmpty())
        return;
    klickeDatei(erwarteteDateien.last());
    QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);
    QCOMPARE(m_txtPfad->text(), zielpfad + u'/' + erwarteteDateien.last());
}

void TestDurchsuchenFenster::dateiImWurzelordner()
{
    oeffne();
    m_fenster->setOrdnerleser([](const QString &pfad) {
        if (pfad != u"/"_s)
            return Ordnerinhalt::lesen(pfad);
        Ordnerinhalt inhalt;
        inhalt.dateien = QStringList{u"daten.txt"_s};
        return inhalt;
    });

    oeffneOrdner(u"/"_s);
    QCOMPARE(ordnerbaum(), QStringList{u"/"_s});
    QCOMPARE(dateien(), QStringList{u"daten.txt"_s});
    QCOMPARE(m_fenster->findChild<QComboBox *>(u"Drive1"_s)->currentText(), u"/"_s);
    klickeDatei(u"daten.txt"_s);
    QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);

    QCOMPARE(m_txtPfad->text(), u"/daten.txt"_s);
}

void TestDurchsuchenFenster::laufwerkswechsel_data()
{
    QTest::addColumn<bool>("lesbar");

    QTest::newRow("readable drive") << true;
    QTest::newRow("drive without a medium") << false;
}

// A second volume is not mounted on every test machine; an entry added to the list stands in
// for one, as if it had been mounted at the folder "unter".
void TestDurchsuchenFenster::laufwerkswechsel()
{
    QFETCH(bool, lesbar);

    const QString unter = m_ordner + u"/unter"_s;
    oeffne();
    auto *drive1 = m_fenster->findChild<QComboBox *>(u"Drive1"_s);
    const QString vorher = drive1->currentText();
    drive1->addItem(unter);
    if (!lesbar) {
        m_fenster->setOrdnerleser([unter](const QString &pfad) {
            return pfad == unter ? Ordnerinhalt::ausErrno(pfad, ENOMEDIUM)
                                 : Ordnerinhalt::lesen(pfad);
        });
    }
    klickeDatei(u"a.txt"_s);

    Meldung meldung;
    if (!lesbar)
        meldung.beantworteNaechste(this);
    drive1->setCurrentIndex(drive1->findText(unter));

    QCOMPARE(m_fenster->windowTitle(), u"Tessra - a.txt"_s);
    if (lesbar) {
        QCOMPARE(ordnerbaum(), vorfahren(unter));
        QCOMPARE(dateien(), QStringList{u"c.txt"_s});
        QVERIFY(file1()->selectedItems().isEmpty());
        QCOMPARE(drive1->currentText(), unter);
        return;
    }
    QCOMPARE(meldung.anzahl, 1);
    QCOMPARE(meldung.titel, u"Tessra - Laufwerksfehler"_s);
    QCOMPARE(drive1->currentText(), vorher);
    QCOMPARE(ordnerbaum(), vorfahren(m_ordner) + startordner);
    QCOMPARE(dateien(), startdateien);
    QCOMPARE(file1()->selectedItems().size(), 1);
}

void TestDurchsuchenFenster::unlesbarerOrdner_data()
{
    QTest::addColumn<QString>("art");
    QTest::addColumn<QString>("grund");

    QTest::newRow("vanished since it was listed") << u"weg"_s << u"existiert nicht"_s;
    QTest::newRow("no medium") << u"kein Datenträger"_s << u"kein Datenträger"_s;
    QTest::newRow("no permission") << u"gesperrt"_s << u"Berechtigung fehlt"_s;
}

void TestDurchsuchenFenster::unlesbarerOrdner()
{
    QFETCH(QString, art);
    QFETCH(QString, grund);

    if (art == u"gesperrt"_s && ::geteuid() == 0)
        QSKIP("root reads every folder whatever its permissions");
    const QString unter = m_ordner + u"/unter"_s;
    oeffne();
    klickeDatei(u"a.txt"_s);
    if (art == u"weg"_s) {
        QVERIFY(QDir(unter).removeRecursively());
    } else if (art == u"gesperrt"_s) {
        QCOMPARE(::chmod(QFile::encodeName(unter).constData(), 0), 0);
    } else {
        m_fenster->setOrdnerleser([unter](const QString &pfad) {
            return pfad == unter ? Ordnerinhalt::ausErrno(pfad, ENOMEDIUM)
                                 : Ordnerinhalt::lesen(pfad);
        });
    }

    Meldung meldung;
    meldung.beantworteNaechste(this);
    oeffneOrdner(u"unter"_s);

    QCOMPARE(meldung.anzahl, 1);
    QCOMPARE(meldung.titel, u"Tessra - Laufwerksfehler"_s);
    QCOMPARE(meldung.symbol, QMessageBox::Warning);
    QVERIFY2(meldung.text.contains(unter), qPrintable(meldung.text));
    QVERIFY2(meldung.text.contains(grund), qPrintable(meldung.text));
    QCOMPARE(ordnerbaum(), vorfahren(m_ordner) + startordner);
    QCOMPARE(dir1()->currentItem()->text(0), QFileInfo(m_ordner).fileName());
    QCOMPARE(dateien(), startdateien);
    QCOMPARE(m_fenster->windowTitle(), u"Tessra - a.txt"_s);

    QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);
    QCOMPARE(m_txtPfad->text(), m_ordner + u"/a.txt"_s);
}

// A name in another encoding is listed, and picking it says why it cannot be used instead of
// handing on a path that leads nowhere.
void TestDurchsuchenFenster::nameNichtUtf8()
{
    legeDateiAn(m_ordner + u"/Liste_M\uFFFDller.txt"_s); // valid UTF-8
    const QByteArray fremd = QFile::encodeName(m_ordner) + "/Liste_M\xfcller.txt";
    const int fd = ::open(fremd.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    // QTemporaryDir cannot name it either, so it would stay behind.
    const auto entferne = qScopeGuard([&fremd] { ::unlink(fremd.constData()); });
    QVERIFY(fd >= 0 && ::close(fd) == 0);
    oeffne();
    QCOMPARE(dateien(), QStringList({u".versteckt"_s, u"a.txt"_s, u"B.txt"_s, u"kaputt"_s,
                                     u"Liste_M\uFFFDller.txt"_s, u"Liste_M\uFFFDller.txt"_s}));

    Meldung meldung;
    meldung.beantworteNaechste(this);
    file1()->setCurrentRow(5);
    QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);
    QTRY_COMPARE(meldung.anzahl, 1);
    QCOMPARE(meldung.titel, u"Tessra - Dateifehler"_s);
    QVERIFY2(meldung.text.contains(u"nicht UTF-8") && meldung.text.contains(u"umbenennen"),
             qPrintable(meldung.text));
    QCOMPARE(m_txtPfad->text(), QString());
    QVERIFY(m_fenster && m_fenster->isVisible());
    // Its look-alike with a valid name is an ordinary file.
    file1()->setCurrentRow(4);
    QTest::mouseClick(button(u"Button_ok"_s), Qt::LeftButton);
    QCOMPARE(m_txtPfad->text(), m_ordner + u"/Liste_M\uFFFDller.txt"_s);
}

void TestDurchsuchenFenster::hauptfensterGesperrt()
{
    QSignalSpy reset(m_btnReset, &QPushButton::clicked);
    QSignalSpy fokus(qApp, &QGuiApplication::focusWindowChanged);
    oeffne();
    QWindow *browse = m_fenster->windowHandle();
    QWindow *haupt = m_haupt->windowHandle();

    QTest::mouseClick(m_btnReset, Qt::LeftButton);
    QTest::keyClicks(m_txtPfad, u"abc"_s);
    QCOMPARE(reset.size(), 0);
    QCOMPARE(m_txtPfad->text(), QString());

    fokus.clear();
    m_haupt->activateWindow();
    // The main window does get the focus, and hands it straight back.
    QTRY_VERIFY(fokus.size() >= 2);
    QTRY_COMPARE(QGuiApplication::focusWindow(), browse);
    QList<QWindow *> fensterfolge;
    for (const QList<QVariant> &wechsel : std::as_const(fokus))
        fensterfolge.append(wechsel.first().value<QWindow *>());
    QVERIFY(fensterfolge.contains(haupt));
    QCOMPARE(fensterfolge.last(), browse);
    QVERIFY(m_fenster->isVisible());

    QTest::mouseClick(button(u"Button_abbr"_s), Qt::LeftButton);
    QTRY_VERIFY(m_fenster.isNull());
    QTest::mouseClick(m_btnReset, Qt::LeftButton);
    QCOMPARE(reset.size(), 1);
}

QTEST_MAIN(TestDurchsuchenFenster)
#include "tst_durchsuchenfenster.moc"
