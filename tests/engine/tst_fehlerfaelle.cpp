#include "duplikatensuche.h"
#include "fakemainview.h"
#include "kindprozess.h"
#include "testdateien.h"

#include <pwd.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Control = MainView::Control;
using Label = MainView::Label;

// What happens when the file system lets the user down: the input vanishes before loading, the
// folder cannot be written, the disk is full. Each must end in a German warning, with the
// original file and its ".ALT" copy as they were, and a finished run must stay finished so the
// user can save elsewhere.
class TestFehlerfaelle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dateiVerschwindetVorDemLaden();
    void ordnerNichtBeschreibbar_data();
    void ordnerNichtBeschreibbar();
    void platteVoll_data();
    void platteVoll();
    void speicherReichtNicht_data();
    void speicherReichtNicht();

private:
    std::unique_ptr<QTemporaryDir> m_ordner;
    QString m_pfad;
};

namespace {

const QString fertig = QStringLiteral("FERTIG - Bitte Speichern -");

enum class Befehl { Ersetzen, SpeichernUnter };

// About 9 KB: 200 lines, 150 serial numbers, so the result is smaller than the file.
QByteArray seriennummerndatei()
{
    QByteArray inhalt = "Seriennummer;Artikel;Lager\r\n";
    for (int i = 0; i < 200; ++i)
        inhalt += QByteArray::number(100000 + i % 150) + ";Artikel-Nummer " +
                  QByteArray::number(10000 + i) + ";Lager Nord\r\n";
    return inhalt;
}

void ladeUndBehalteErste(FakeMainView &view, Duplikatensuche &suche, const QString &pfad)
{
    view.delimiter = MainView::Delimiter::Semikolon;
    view.setTxtPfad(pfad);
    suche.txtPfad_Change();
    suche.btnLaden_Click();
    while (view.isEnabled(Control::btnNaechsteZeile) && view.messages.isEmpty())
        suche.btnNaechsteZeile_Click();
}

void speichere(FakeMainView &view, Duplikatensuche &suche, Befehl befehl, const QString &ziel)
{
    if (befehl == Befehl::Ersetzen) {
        suche.btnSpeichern_Click();
    } else {
        view.answers.enqueue(ziel);
        suche.btnSpeichernUnter_Click();
    }
}

// The run is still finished: the result waits to be saved, with both save commands.
bool bleibtFertig(const FakeMainView &view)
{
    return view.caption(Label::lblZeile) == fertig && view.isEnabled(Control::btnSpeichern) &&
           view.isEnabled(Control::btnSpeichernUnter) && !view.isEnabled(Control::btnNaechsteZeile);
}

// Runs the rest of a test with the effective user id of an unprivileged user, so that file
// permissions count; the real id stays root, which lets the destructor switch back.
class AlsNutzer
{
public:
    explicit AlsNutzer(uid_t nutzer)
        : m_aktiv(seteuid(nutzer) == 0)
    {
    }
    ~AlsNutzer()
    {
        if (m_aktiv)
            (void)seteuid(0);
    }
    AlsNutzer(const AlsNutzer &) = delete;
    AlsNutzer &operator=(const AlsNutzer &) = delete;

    bool aktiv() const { return m_aktiv; }

private:
    bool m_aktiv;
};

// A tiny tmpfs that is unmounted when the test ends, however it ends.
class KleinePlatte
{
public:
    explicit KleinePlatte(const QString &ordner)
        : m_ordner(QFile::encodeName(ordner))
    {
        if (mount("tmpfs", m_ordner.constData(), "tmpfs", 0, "size=64k,mode=0755") == 0)
            m_eingehaengt = true;
        else
            m_fehler = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~KleinePlatte()
    {
        if (m_eingehaengt)
            umount2(m_ordner.constData(), MNT_DETACH);
    }
    KleinePlatte(const KleinePlatte &) = delete;
    KleinePlatte &operator=(const KleinePlatte &) = delete;

    bool eingehaengt() const { return m_eingehaengt; }
    QString fehler() const { return m_fehler; }

private:
    QByteArray m_ordner;
    bool m_eingehaengt = false;
    QString m_fehler;
};

// Fills the file system up to the last byte; then frees `frei` bytes again.
bool fuelleAuf(const QString &pfad, qint64 frei)
{
    QFile fueller(pfad);
    if (!fueller.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (fueller.write(block) == block.size()) {
    }
    const qint64 voll = fueller.size();
    return frei == 0 || (frei <= voll && fueller.resize(voll - frei));
}

} // namespace

void TestFehlerfaelle::init()
{
    // A fresh folder per test, which an unprivileged user may enter and read too.
    m_ordner = std::make_unique<QTemporaryDir>();
    QVERIFY(m_ordner->isValid());
    QVERIFY(QFile::setPermissions(m_ordner->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadGroup |
                                                        QFile::ExeGroup | QFile::ReadOther |
                                                        QFile::ExeOther));
    m_pfad = m_ordner->filePath(QStringLiteral("liste.txt"));
}

void TestFehlerfaelle::cleanup()
{
    // A folder left read-only by a failed test must still be removable.
    QFile::setPermissions(m_ordner->filePath(QStringLiteral("daten")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_ordner.reset();
}

void TestFehlerfaelle::dateiVerschwindetVorDemLaden()
{
    QVERIFY(legeTestdateiAn(m_pfad, seriennummerndatei()));
    FakeMainView view;
    Duplikatensuche suche(view);
    view.setTxtPfad(m_pfad);
    suche.txtPfad_Change();
    QVERIFY(view.isEnabled(Control::btnLaden));

    QVERIFY(QFile::remove(m_pfad));
    suche.btnLaden_Click();

    QCOMPARE(view.messages.size(), 1);
    QCOMPARE(view.messages[0].title, QStringLiteral("Tessra - Dateifehler"));
    QVERIFY2(view.messages[0].text.contains(u"existiert nicht"), qPrintable(view.messages[0].text));
    // Back to idle, and nothing was written in the file's place.
    QVERIFY(view.isEnabled(Control::txtPfad));
    QVERIFY(!view.isEnabled(Control::btnLaden));
    QVERIFY(!view.isEnabled(Control::btnNaechsteZeile));
    QVERIFY(!view.isEnabled(Control::btnSpeichern));
    QCOMPARE(QDir(m_ordner->path()).entryList(QDir::Files), QStringList());
}

void TestFehlerfaelle::ordnerNichtBeschreibbar_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::newRow("Speichern (ersetzen)") << Befehl::Ersetzen;
    QTest::newRow("Speichern unter...") << Befehl::SpeichernUnter;
}

void TestFehlerfaelle::ordnerNichtBeschreibbar()
{
    QFETCH(Befehl, befehl);
    const QString daten = m_ordner->filePath(QStringLiteral("daten"));
    const QString pfad = daten + QStringLiteral("/liste.txt");
    const QString sicherung = pfad + QStringLiteral(".ALT");
    const QString ziel = daten + QStringLiteral("/neu.txt");
    const QByteArray original = seriennummerndatei();
    const QByteArray alteSicherung = "die Sicherung vom letzten Mal\r\n";
    QVERIFY(QDir().mkdir(daten));
    QVERIFY(legeTestdateiAn(pfad, original));
    QVERIFY(legeTestdateiAn(sicherung, alteSicherung));
    QVERIFY(QFile::setPermissions(daten, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));

    // Root may write anywhere, so the save has to run as somebody else.
    std::unique_ptr<AlsNutzer> nutzer;
    if (geteuid() == 0) {
        const passwd *nobody = getpwnam("nobody");
        if (!nobody)
            QSKIP("Als root gibt es ohne den Nutzer nobody keinen schreibgeschützten Ordner.");
        nutzer = std::make_unique<AlsNutzer>(nobody->pw_uid);
        if (!nutzer->aktiv())
            QSKIP("Der Wechsel zum Nutzer nobody ist nicht erlaubt.");
        if (!QFile(pfad).open(QIODevice::ReadOnly))
            QSKIP("Der Nutzer nobody kann den temporären Ordner nicht lesen.");
    }

    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, pfad);
    QVERIFY(bleibtFertig(view));
    speichere(view, suche, befehl, ziel);

    QCOMPARE(view.messages.size(), 1);
    QCOMPARE(view.messages[0].title, QStringLiteral("Tessra - Speicherfehler"));
    QVERIFY2(view.messages[0].text.contains(u"Zugriff verweigert"),
             qPrintable(view.messages[0].text));
    QCOMPARE(testdateiInhalt(pfad), original);
    QCOMPARE(testdateiInhalt(sicherung), alteSicherung);
    QVERIFY(!QFile::exists(ziel));
    QVERIFY(bleibtFertig(view));

    // The result is still there: saved elsewhere, it is whole.
    const QString anderswo = m_ordner->filePath(QStringLiteral("anderswo.txt"));
    nutzer.reset();
    speichere(view, suche, Befehl::SpeichernUnter, anderswo);
    QCOMPARE(view.caption(Label::lblZeile), QStringLiteral("Vorgang abgeschlossen"));
    QCOMPARE(testdateiInhalt(anderswo).count("\r\n"), 151);
}

void TestFehlerfaelle::platteVoll_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<bool>("platzFuerSicherung");

    QTest::newRow("Speichern (ersetzen), no room for the backup") << Befehl::Ersetzen << false;
    QTest::newRow("Speichern (ersetzen), no room for the result") << Befehl::Ersetzen << true;
    QTest::newRow("Speichern unter...") << Befehl::SpeichernUnter << false;
}

void TestFehlerfaelle::platteVoll()
{
    QFETCH(Befehl, befehl);
    QFETCH(bool, platzFuerSicherung);
    if (geteuid() != 0)
        QSKIP("Nur root kann für diesen Test ein kleines tmpfs einhängen.");
    const QString platte = m_ordner->filePath(QStringLiteral("platte"));
    QVERIFY(QDir().mkdir(platte));
    const KleinePlatte eingehaengt(platte);
    if (!eingehaengt.eingehaengt())
        QSKIP(qPrintable(QStringLiteral("tmpfs lässt sich nicht einhängen: ") +
                         eingehaengt.fehler()));

    const QString pfad = platte + QStringLiteral("/liste.txt");
    const QString sicherung = pfad + QStringLiteral(".ALT");
    const QString ziel = platte + QStringLiteral("/neu.txt");
    const QByteArray original = seriennummerndatei();
    const QByteArray alteSicherung = "die Sicherung vom letzten Mal\r\n";
    QVERIFY(legeTestdateiAn(pfad, original));
    if (!platzFuerSicherung)
        QVERIFY(legeTestdateiAn(sicherung, alteSicherung));

    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, pfad);
    QVERIFY(bleibtFertig(view));
    // Room for a fresh backup copy, in whole pages, but not a byte more.
    const qint64 frei = platzFuerSicherung ? (original.size() + 4095) / 4096 * 4096 : 0;
    const QString fueller = platte + QStringLiteral("/fueller");
    QVERIFY(fuelleAuf(fueller, frei));
    speichere(view, suche, befehl, ziel);

    QCOMPARE(view.messages.size(), 1);
    QCOMPARE(view.messages[0].title, QStringLiteral("Tessra - Speicherfehler"));
    QVERIFY2(view.messages[0].text.contains(u"nicht genug Platz"),
             qPrintable(view.messages[0].text));
    QCOMPARE(testdateiInhalt(pfad), original);
    QCOMPARE(testdateiInhalt(sicherung), platzFuerSicherung ? original : alteSicherung);
    QVERIFY(!QFile::exists(ziel));
    QVERIFY(bleibtFertig(view));
    // No half-written temporary file is left to fill the disk further.
    QCOMPARE(QDir(platte).entryList(QDir::Files | QDir::Hidden).size(), 3);

    // With room again the same command goes through.
    QVERIFY(QFile::remove(fueller));
    speichere(view, suche, befehl, ziel);
    QCOMPARE(view.caption(Label::lblZeile), QStringLiteral("Vorgang abgeschlossen"));
    QCOMPARE(testdateiInhalt(befehl == Befehl::Ersetzen ? pfad : ziel).count("\r\n"), 151);
}

// 4 MiB of lines in two groups, `breite` characters after each serial number, as 8-bit text or
// as UTF-16 of twice the size. Written line by line: a copy of it in the test process could
// later serve as room for the child's load.
bool legeGrosseDateiAn(const QString &pfad, bool utf16, int breite)
{
    QFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly))
        return false;
    const auto schreibe = [&](const QString &zeile) {
        const QByteArray bytes = utf16 ? alsUtf16(zeile, QSysInfo::LittleEndian) : zeile.toLatin1();
        return datei.write(bytes) == bytes.size();
    };
    bool gut =
        schreibe(utf16 ? QStringLiteral("\uFEFFNr;Artikel\r\n") : QStringLiteral("Nr;Artikel\r\n"));
    for (int i = 0; gut && datei.pos() < (4 << 20); ++i)
        gut = schreibe(QString::number(100000 + i % 2) + u';' + QString(breite, u'x') +
                       QStringLiteral("\r\n"));
    return gut && datei.flush();
}

QByteArray pruefsumme(const QString &pfad)
{
    QFile datei(pfad);
    QCryptographicHash summe(QCryptographicHash::Sha256);
    if (!datei.open(QIODevice::ReadOnly) || !summe.addData(&datei))
        return {};
    return summe.result();
}

void TestFehlerfaelle::speicherReichtNicht_data()
{
    QTest::addColumn<bool>("utf16");
    QTest::addColumn<int>("breite");
    QTest::addColumn<qint64>("spielraum");
    QTest::addColumn<QString>("ausgang");

    constexpr qint64 mib = 1 << 20;
    const QString zuGross =
        QStringLiteral("Tessra - Dateifehler: ist zu groß für den verfügbaren Arbeitsspeicher.");
    const QString gruppe = QStringLiteral("Gruppe gezeigt");
    // Measured: reading takes twice the file for a moment, the index of the short lines about
    // 20 MiB more, the list of the long lines' first group about 9 MiB.
    QTest::newRow("8-bit, less than the file") << false << 13 << 2 * mib << zuGross;
    QTest::newRow("8-bit, read but not indexed") << false << 13 << 18 * mib << zuGross;
    QTest::newRow("8-bit, loaded, group too large to list") << false << 400 << 11 * mib << zuGross;
    QTest::newRow("8-bit, enough room") << false << 13 << 256 * mib << gruppe;
    QTest::newRow("utf-16, read but not indexed") << true << 13 << 12 * mib << zuGross;
    QTest::newRow("utf-16, enough room") << true << 13 << 256 * mib << gruppe;
}

// A file too big for the memory there is: a German warning, the window idle, nothing written.
void TestFehlerfaelle::speicherReichtNicht()
{
    QFETCH(bool, utf16);
    QFETCH(int, breite);
    QFETCH(qint64, spielraum);
    QFETCH(QString, ausgang);
    if (!adressraumBegrenzbar())
        QSKIP("Unter AddressSanitizer lässt sich der Adressraum nicht begrenzen.");
    QVERIFY(legeGrosseDateiAn(m_pfad, utf16, breite));
    const QByteArray vorher = pruefsumme(m_pfad);

    const QString ergebnis = imKindprozess([&]() -> QString {
        FakeMainView view;
        Duplikatensuche suche(view);
        view.delimiter = MainView::Delimiter::Semikolon;
        view.setTxtPfad(m_pfad);
        suche.txtPfad_Change();
        if (!begrenzeAdressraum(spielraum))
            return QStringLiteral("<keine Grenze>");
        suche.btnLaden_Click();
        if (view.isEnabled(Control::btnNaechsteZeile))
            return QStringLiteral("Gruppe gezeigt");
        if (view.messages.size() != 1 || !view.isEnabled(Control::btnLaden) ||
            !view.isEnabled(Control::txtPfad))
            return QStringLiteral("<nicht zurückgesetzt>");
        const auto &meldung = view.messages.first();
        return meldung.title + u": " + meldung.text.section(u'\n', 2);
    });
    QCOMPARE(ergebnis, ausgang);
    QCOMPARE(pruefsumme(m_pfad), vorher);
    QCOMPARE(QDir(m_ordner->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(TestFehlerfaelle)
#include "tst_fehlerfaelle.moc"
