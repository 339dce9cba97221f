#include "duplikatensuche.h"
#include "fakemainview.h"
#include "kindprozess.h"
#include "testdateien.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
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
    void heikleNamen_data();
    void heikleNamen();
    void besitzUndRechte_data();
    void besitzUndRechte();
    void geaendertSeitDemLaden_data();
    void geaendertSeitDemLaden();
    void speichermangel_data();
    void speichermangel();
    void speicherReichtNicht_data();
    void speicherReichtNicht();
    void schritteDesSpeicherns_data();
    void schritteDesSpeicherns();
    void nichtBestaetigt_data();
    void nichtBestaetigt();
    void unterbrochenesSpeichern();
    void verwaisteTemporaereDateien_data();
    void verwaisteTemporaereDateien();
    void fremdeSicherungImStickyOrdner();
    void abbrechenBeimSpeichern_data();
    void abbrechenBeimSpeichern();

private:
    std::unique_ptr<QTemporaryDir> m_ordner;
    QString m_pfad;
};

namespace {

const QString fertig = QStringLiteral("FERTIG - Bitte Speichern -");

enum class Befehl { Ersetzen, SpeichernUnter };

// A row for each of the two ways to save.
void zeileJeBefehl()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::newRow("Speichern (ersetzen)") << Befehl::Ersetzen;
    QTest::newRow("Speichern unter...") << Befehl::SpeichernUnter;
}

// About 9 KB by default: 200 lines, 150 serial numbers, so the result is smaller than the file.
QByteArray seriennummerndatei(int zeilen = 200, int serien = 150)
{
    QByteArray inhalt = "Seriennummer;Artikel;Lager\r\n";
    for (int i = 0; i < zeilen; ++i)
        inhalt += QByteArray::number(100000 + i % serien) + ";Artikel-Nummer " +
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
        // Replacing a file that is there is asked first; the user agrees.
        if (QFileInfo(ziel).isFile())
            view.yesNoAnswers.enqueue(true);
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

// Ids of nobody in particular: root may hand files to them and become them without any entry
// in the user database.
constexpr uid_t fremderNutzer = 4242;
constexpr uid_t zweiterNutzer = 4243;
constexpr gid_t gemeinsameGruppe = 4244;

// Saves in a child process: as another user in the shared group unless `nutzer` is root, and
// with only `spielraum` bytes of memory to spare unless it is negative. Returns the status line and
// every message box.
QString speichereImKind(FakeMainView &view, Duplikatensuche &suche, Befehl befehl,
                        const QString &ziel, uid_t nutzer, qint64 spielraum = -1)
{
    return imKindprozess([&]() -> QString {
        if (nutzer != 0 && (setgroups(1, &gemeinsameGruppe) != 0 || setgid(gemeinsameGruppe) != 0 ||
                            setuid(nutzer) != 0))
            return u"<kein Nutzerwechsel>"_s;
        if (spielraum >= 0 && !begrenzeAdressraum(spielraum))
            return u"<keine Speichergrenze>"_s;
        speichere(view, suche, befehl, ziel);
        QString bericht = view.caption(Label::lblZeile);
        for (const auto &meldung : view.messages)
            bericht += u'\n' + meldung.title + u'\n' + meldung.text;
        return bericht;
    });
}

// Everything in the folder, hidden entries and dangling links too.
QStringList eintraege(const QString &ordner)
{
    return QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Owner, group and mode as "4242:4244:664".
QString besitzUndModus(const QString &pfad)
{
    struct stat info = {};
    ::stat(QFile::encodeName(pfad).constData(), &info);
    return u"%1:%2:%3"_s.arg(info.st_uid).arg(info.st_gid).arg(info.st_mode & 07777, 0, 8);
}

// What stands at the backup's name before saving.
enum class Sicherungsname { Nichts, LinkAufAndere, LinkAufDatei, LinkInsLeere, Ordner };
enum class Aenderung { Angehaengt, GleicheGroesse, ZeitZurueck, AndererPfad };

using S = Speicherschritt;

bool gibZweitenNamen(const QString &pfad)
{
    return link(QFile::encodeName(pfad).constData(),
                QFile::encodeName(pfad + u".zweit"_s).constData()) == 0;
}

// Content that hands over `bytes`, then, unless `gelingt`, fails, as a producer that runs out
// of memory would.
Inhalt inhaltAus(const QByteArray &bytes, bool gelingt = true)
{
    return [bytes, gelingt](const Schreibziel &ziel) { return ziel(bytes) && gelingt; };
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
    zeileJeBefehl();
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
    QVERIFY(legeTestdateiAn(pfad, original) && legeTestdateiAn(sicherung, alteSicherung));

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
    // Both new files are written before either takes its name, so the older backup stays too.
    QCOMPARE(testdateiInhalt(pfad), original);
    QCOMPARE(testdateiInhalt(sicherung), alteSicherung);
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

void TestFehlerfaelle::besitzUndRechte_data()
{
    QTest::addColumn<uint>("modus");
    QTest::addColumn<uint>("besitzer");
    QTest::addColumn<uint>("sparer"); // who saves
    QTest::addColumn<bool>("zweiterName");

    QTest::newRow("0600, saved by root") << 0600u << 0u << 0u << false;
    QTest::newRow("0640 of another user, saved by root") << 0640u << fremderNutzer << 0u << false;
    QTest::newRow("0444, saved by root") << 0444u << 0u << 0u << false;
    QTest::newRow("0664 of another user, saved by a group member")
        << 0664u << fremderNutzer << zweiterNutzer << false;
    QTest::newRow("two hard links") << 0644u << 0u << 0u << true;
}

// Saving changes the content and nothing else: the file keeps its owner, group, mode and every
// name, and its backup is readable by no one who could not read the file.
void TestFehlerfaelle::besitzUndRechte()
{
    QFETCH(uint, modus);
    QFETCH(uint, besitzer);
    QFETCH(uint, sparer);
    QFETCH(bool, zweiterName);
    if (geteuid() != 0)
        QSKIP("Nur root kann Dateien anderen Nutzern geben.");
    const QString ordner = m_ordner->filePath(u"geteilt"_s);
    const QString pfad = ordner + u"/liste.txt"_s;
    const QString zweiterPfad = ordner + u"/zweit.txt"_s;
    const QByteArray original = seriennummerndatei();
    QVERIFY(QDir().mkdir(ordner));
    QVERIFY(legeTestdateiAn(pfad, original));
    const auto gib = [besitzer](const QString &eintrag, mode_t rechte) {
        const QByteArray nativ = QFile::encodeName(eintrag);
        return chown(nativ.constData(), besitzer, gemeinsameGruppe) == 0 &&
               chmod(nativ.constData(), rechte) == 0;
    };
    QVERIFY(gib(ordner, 0775) && gib(pfad, modus));
    if (zweiterName)
        QCOMPARE(
            link(QFile::encodeName(pfad).constData(), QFile::encodeName(zweiterPfad).constData()),
            0);

    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, pfad);
    QCOMPARE(speichereImKind(view, suche, Befehl::Ersetzen, {}, sparer),
             u"Vorgang abgeschlossen"_s);

    QCOMPARE(testdateiInhalt(pfad).count("\r\n"), 151);
    QCOMPARE(testdateiInhalt(pfad + u".ALT"_s), original);
    const QString gruppeUndModus = u":%1:%2"_s.arg(gemeinsameGruppe).arg(modus, 0, 8);
    QCOMPARE(besitzUndModus(pfad), QString::number(besitzer) + gruppeUndModus);
    QCOMPARE(besitzUndModus(pfad + u".ALT"_s),
             QString::number(sparer == 0 ? besitzer : sparer) + gruppeUndModus);
    if (zweiterName)
        QCOMPARE(testdateiInhalt(zweiterPfad), testdateiInhalt(pfad));
}

void TestFehlerfaelle::geaendertSeitDemLaden_data()
{
    QTest::addColumn<Aenderung>("aenderung");
    QTest::addColumn<bool>("ja");

    QTest::newRow("line appended, Nein") << Aenderung::Angehaengt << false;
    QTest::newRow("line appended, Ja") << Aenderung::Angehaengt << true;
    QTest::newRow("same size, one nanosecond later, Nein") << Aenderung::GleicheGroesse << false;
    QTest::newRow("same size, time put back, Nein") << Aenderung::ZeitZurueck << false;
    QTest::newRow("path edited to another file, Nein") << Aenderung::AndererPfad << false;
}

void TestFehlerfaelle::geaendertSeitDemLaden()
{
    QFETCH(Aenderung, aenderung);
    QFETCH(bool, ja);
    const QByteArray original = seriennummerndatei();
    QVERIFY(legeTestdateiAn(m_pfad, original));
    const auto setzeZeit = [this](long nanosekunden) {
        const timespec zeit[2] = {{1700000000, nanosekunden}, {1700000000, nanosekunden}};
        return utimensat(AT_FDCWD, QFile::encodeName(m_pfad).constData(), zeit, 0) == 0;
    };
    QVERIFY(setzeZeit(0));
    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, m_pfad);

    QString ziel = m_pfad;
    QByteArray jetzt = original + "999999;Artikel-Nummer 1;Lager Süd\r\n";
    switch (aenderung) {
    case Aenderung::Angehaengt:
        QVERIFY(legeTestdateiAn(m_pfad, jetzt));
        break;
    case Aenderung::GleicheGroesse:
    case Aenderung::ZeitZurueck:
        jetzt = original;
        jetzt[0] = 's';
        QVERIFY(legeTestdateiAn(m_pfad, jetzt) &&
                setzeZeit(aenderung == Aenderung::GleicheGroesse ? 1 : 0));
        break;
    case Aenderung::AndererPfad:
        ziel = m_ordner->filePath(u"andere.txt"_s);
        jetzt = "andere\r\n";
        QVERIFY(legeTestdateiAn(ziel, jetzt));
        view.setTxtPfad(ziel);
        break;
    }
    view.yesNoAnswers.enqueue(ja);
    suche.btnSpeichern_Click();

    QCOMPARE(view.yesNoQuestions.size(), 1);
    QCOMPARE(view.yesNoQuestions[0].title, u"Tessra - Datei geändert"_s);
    QVERIFY(view.yesNoQuestions[0].text.contains(ziel + u".ALT"_s));
    QVERIFY(view.messages.isEmpty());
    if (ja) {
        QCOMPARE(testdateiInhalt(ziel).count("\r\n"), 151);
        QCOMPARE(testdateiInhalt(ziel + u".ALT"_s), jetzt);
    } else {
        QCOMPARE(testdateiInhalt(ziel), jetzt);
        QVERIFY(!QFile::exists(ziel + u".ALT"_s));
        QVERIFY(bleibtFertig(view));
    }
}

void TestFehlerfaelle::heikleNamen_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Sicherungsname>("sicherungsname");
    QTest::addColumn<QString>("grund"); // empty when the save goes through

    const QString liste = u"liste.txt"_s;
    QTest::newRow(".ALT a link to another file")
        << Befehl::Ersetzen << liste << Sicherungsname::LinkAufAndere << QString();
    QTest::newRow(".ALT a dangling link")
        << Befehl::Ersetzen << liste << Sicherungsname::LinkInsLeere << QString();
    QTest::newRow(".ALT a link to the file itself")
        << Befehl::Ersetzen << liste << Sicherungsname::LinkAufDatei << u"führt zur Datei selbst"_s;
    QTest::newRow(".ALT a folder")
        << Befehl::Ersetzen << liste << Sicherungsname::Ordner << u"einen Ordner"_s;
    QTest::newRow("250 characters, Speichern (ersetzen)")
        << Befehl::Ersetzen << QString(250, u'n') << Sicherungsname::Nichts << QString();
    QTest::newRow("255 characters, Speichern unter... over an existing file")
        << Befehl::SpeichernUnter << QString(255, u'n') << Sicherungsname::Nichts << QString();
    QTest::newRow("255 characters, Speichern (ersetzen): no room for \".ALT\"")
        << Befehl::Ersetzen << QString(255, u'n') << Sicherungsname::Nichts << u"zu lang"_s;
    QTest::newRow("folder linked to itself, Speichern unter...")
        << Befehl::SpeichernUnter << u"schleife/neu.txt"_s << Sicherungsname::Nichts
        << u"symbolische Verknüpfungen"_s;
}

// Whoever may write to the folder can plant the backup's name: it must never lead the backup
// into another file or the file itself. And any name the file system takes must save.
void TestFehlerfaelle::heikleNamen()
{
    QFETCH(Befehl, befehl);
    QFETCH(QString, name);
    QFETCH(Sicherungsname, sicherungsname);
    QFETCH(QString, grund);
    const QString ziel = m_ordner->filePath(name);
    const QString pfad = befehl == Befehl::Ersetzen ? ziel : m_pfad;
    const QString sicherung = pfad + u".ALT"_s;
    const QString andere = m_ordner->filePath(u"andere.txt"_s);
    const QString fehlt = m_ordner->filePath(u"fehlt.txt"_s);
    const QByteArray original = seriennummerndatei();
    QVERIFY(legeTestdateiAn(pfad, original) && legeTestdateiAn(andere, "andere\r\n"));
    QVERIFY(QFile::link(u"schleife"_s, m_ordner->filePath(u"schleife"_s)));
    if (befehl == Befehl::SpeichernUnter && grund.isEmpty())
        QVERIFY(legeTestdateiAn(ziel, "alt\r\n"));
    switch (sicherungsname) {
    case Sicherungsname::Nichts:
        break;
    case Sicherungsname::LinkAufAndere:
        QVERIFY(QFile::link(andere, sicherung));
        break;
    case Sicherungsname::LinkAufDatei:
        QVERIFY(QFile::link(pfad, sicherung));
        break;
    case Sicherungsname::LinkInsLeere:
        QVERIFY(QFile::link(fehlt, sicherung));
        break;
    case Sicherungsname::Ordner:
        QVERIFY(QDir().mkdir(sicherung));
        break;
    }

    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, pfad);
    speichere(view, suche, befehl, ziel);

    QCOMPARE(testdateiInhalt(andere), QByteArray("andere\r\n"));
    QVERIFY(!QFile::exists(fehlt));
    if (grund.isEmpty()) {
        QCOMPARE(view.caption(Label::lblZeile), u"Vorgang abgeschlossen"_s);
        QCOMPARE(testdateiInhalt(ziel).count("\r\n"), 151);
        QVERIFY(!QFileInfo(sicherung).isSymLink());
        if (befehl == Befehl::Ersetzen)
            QCOMPARE(testdateiInhalt(sicherung), original);
    } else {
        QCOMPARE(view.messages.size(), 1);
        QVERIFY2(view.messages[0].text.contains(grund), qPrintable(view.messages[0].text));
        QCOMPARE(testdateiInhalt(pfad), original);
        QVERIFY(bleibtFertig(view));
    }
}

void TestFehlerfaelle::speichermangel_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<qint64>("spielraum");
    QTest::addColumn<bool>("gespeichert");

    QTest::newRow("Speichern (ersetzen), 4 MiB to spare")
        << Befehl::Ersetzen << (qint64(4) << 20) << true;
    QTest::newRow("Speichern (ersetzen), 256 KiB to spare")
        << Befehl::Ersetzen << (qint64(256) << 10) << false;
    QTest::newRow("Speichern unter..., 256 KiB to spare")
        << Befehl::SpeichernUnter << (qint64(256) << 10) << false;
}

// A file that loaded must also save: a save needs a fixed buffer beyond the loaded run, and
// where even that is missing it says so and leaves every file as it was.
void TestFehlerfaelle::speichermangel()
{
    QFETCH(Befehl, befehl);
    QFETCH(qint64, spielraum);
    QFETCH(bool, gespeichert);
    if (!adressraumBegrenzbar())
        QSKIP("Unter AddressSanitizer lässt sich der Adressraum nicht begrenzen.");
    // About 13 MB, so a save that held the file or the result as a whole would need far more.
    const QByteArray original = seriennummerndatei(300000, 200000);
    QVERIFY(legeTestdateiAn(m_pfad, original));
    const QString ziel = m_ordner->filePath(u"neu.txt"_s);
    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, m_pfad);

    const QString bericht = speichereImKind(view, suche, befehl, ziel, 0, spielraum);
    if (gespeichert) {
        QCOMPARE(bericht, u"Vorgang abgeschlossen"_s);
        QCOMPARE(testdateiInhalt(m_pfad).count("\r\n"), 200001);
        QCOMPARE(testdateiInhalt(m_pfad + u".ALT"_s), original);
    } else {
        QVERIFY2(bericht.startsWith(fertig) && bericht.contains(u"Tessra - Speicherfehler") &&
                     bericht.contains(u"nicht genug Arbeitsspeicher"),
                 qPrintable(bericht));
        QCOMPARE(testdateiInhalt(m_pfad), original);
        QCOMPARE(eintraege(m_ordner->path()), QStringList(u"liste.txt"_s));
    }
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
    // 20 MiB more, and the long lines' first group, whose every row this test's view makes,
    // a few MiB. Here the short lines load from 28 MiB on, the long ones from 13 MiB, the UTF-16
    // file from 21 MiB.
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

void TestFehlerfaelle::schritteDesSpeicherns_data()
{
    QTest::addColumn<bool>("zweiNamen");
    QTest::addColumn<bool>("gelingt"); // else the content fails after more than the buffer
    QTest::addColumn<QList<Speicherschritt>>("schritte");

    const QList<Speicherschritt> sicherung{S::SicherungSynchronisieren, S::SicherungEinsetzen,
                                           S::SicherungsordnerSynchronisieren, S::MarkeSetzen};
    QTest::newRow("one name: a new file takes its place")
        << false << true << QList{S::SicherungSynchronisieren, S::ErgebnisSynchronisieren,
                                  S::SicherungEinsetzen,       S::SicherungsordnerSynchronisieren,
                                  S::ErgebnisEinsetzen,        S::OrdnerSynchronisieren};
    QTest::newRow("two names: rewritten in place")
        << true << true
        << sicherung + QList{S::DateiKuerzen, S::DateiSynchronisieren, S::MarkeEntfernen};
    QTest::newRow("two names: failed halfway, put back")
        << true << false
        << sicherung +
               QList{S::DateiKuerzen, S::DateiKuerzen, S::DateiSynchronisieren, S::MarkeEntfernen};
}

// The backup must be on the disk before the file is touched, and the mark before a rewrite in
// place; otherwise a power cut can leave neither the old nor the new content. Where a new file
// takes the file's place, it is on the disk before the backup takes its name, so that until
// then the save can stop with every file as it was. A rewrite that fails halfway puts back the
// old bytes exactly, from the start.
void TestFehlerfaelle::schritteDesSpeicherns()
{
    QFETCH(bool, zweiNamen);
    QFETCH(bool, gelingt);
    QFETCH(QList<Speicherschritt>, schritte);
    const QByteArray original = seriennummerndatei();
    QVERIFY(legeTestdateiAn(m_pfad, original));
    QVERIFY(!zweiNamen || gibZweitenNamen(m_pfad));
    QList<Speicherschritt> gesehen;
    bool gesperrt = false;
    const Speicherverlauf beobachtung{.beobachter = [&](Speicherschritt schritt, int fd) {
        gesehen.append(schritt);
        if (schritt == S::SicherungSynchronisieren) {
            // Opened anew, as the clean-up of another save would open it.
            QFile datei(u"/proc/self/fd/"_s + QString::number(fd));
            gesperrt =
                datei.open(QIODevice::ReadOnly) && flock(datei.handle(), LOCK_EX | LOCK_NB) != 0;
        }
        return 0;
    }};
    const QByteArray neu(3 << 20, 'x');
    QCOMPARE(
        bool(ersetzeMitSicherung(m_pfad, m_pfad + u".ALT"_s, inhaltAus(neu, gelingt), beobachtung)),
        !gelingt);
    QCOMPARE(gesehen, schritte);
    QVERIFY(gesperrt);
    QCOMPARE(testdateiInhalt(m_pfad), gelingt ? neu : original);
    QVERIFY(!zweiNamen || testdateiInhalt(m_pfad + u".zweit"_s) == testdateiInhalt(m_pfad));
}

void TestFehlerfaelle::nichtBestaetigt_data()
{
    QTest::addColumn<int>("fehler");
    QTest::addColumn<QString>("grund");

    QTest::newRow("EIO") << EIO << u"Ein-/Ausgabefehler"_s;
    QTest::newRow("EACCES") << EACCES << u"Berechtigung fehlt"_s;
}

// The folder's sync fails after the result took the file's place: that is a saved file, and a
// second "Speichern (ersetzen)" would copy the result over the only copy of the old content.
void TestFehlerfaelle::nichtBestaetigt()
{
    QFETCH(int, fehler);
    QFETCH(QString, grund);
    const QByteArray original = seriennummerndatei();
    QVERIFY(legeTestdateiAn(m_pfad, original));
    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, m_pfad);
    suche.beobachteSpeichern([fehler](Speicherschritt schritt, int) {
        return schritt == S::OrdnerSynchronisieren ? fehler : 0;
    });
    suche.btnSpeichern_Click();
    QCOMPARE(view.messages.size(), 1);
    const QString text = view.messages[0].text;
    QVERIFY2(text.contains(u"wurde gespeichert, aber") && text.contains(m_pfad + u".ALT"_s) &&
                 text.contains(grund) && !text.contains(u"angelegt"),
             qPrintable(text));
    QCOMPARE(view.caption(Label::lblZeile), u"Vorgang abgeschlossen"_s);
    QVERIFY(!view.isEnabled(Control::btnSpeichern));
    QCOMPARE(testdateiInhalt(m_pfad).count("\r\n"), 151);
    QCOMPARE(testdateiInhalt(m_pfad + u".ALT"_s), original);
}

// Killed while the file was rewritten in place: the next load says so, and saving again asks
// before the backup, now the only complete copy, is overwritten.
void TestFehlerfaelle::unterbrochenesSpeichern()
{
    const QByteArray original = seriennummerndatei();
    const QString sicherung = m_pfad + u".ALT"_s;
    QVERIFY(legeTestdateiAn(m_pfad, original) && gibZweitenNamen(m_pfad));
    const QString kind = imKindprozess([&] {
        const Speicherverlauf beobachtung{.beobachter = [](Speicherschritt schritt, int) {
            return schritt == S::DateiSynchronisieren ? raise(SIGKILL) : 0;
        }};
        ersetzeMitSicherung(m_pfad, sicherung, inhaltAus(original), beobachtung);
        return u"<nicht getötet>"_s;
    });
    QCOMPARE(kind, u"<abgebrochen: Signal 9>"_s);

    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, m_pfad);
    QCOMPARE(view.messages.size(), 1);
    QCOMPARE(view.messages[0].title, u"Tessra - Speichern unterbrochen"_s);
    QVERIFY(view.messages[0].text.contains(sicherung + u"\nenthält den Inhalt von vor"));
    view.messages.clear();
    while (view.isEnabled(Control::btnNaechsteZeile))
        suche.btnNaechsteZeile_Click();
    QVERIFY(bleibtFertig(view));
    suche.btnSpeichern_Click();
    QCOMPARE(view.yesNoQuestions.size(), 1);
    QCOMPARE(view.yesNoQuestions[0].title, u"Tessra - Speichern unterbrochen"_s);
    QCOMPARE(testdateiInhalt(sicherung), original);
    view.yesNoAnswers.enqueue(true);
    suche.btnSpeichern_Click();
    QCOMPARE(view.caption(Label::lblZeile), u"Vorgang abgeschlossen"_s);
    QVERIFY(!speichernUnterbrochen(m_pfad, sicherung));
}

void TestFehlerfaelle::verwaisteTemporaereDateien_data()
{
    zeileJeBefehl();
}

// What killed saves left goes; what a running save holds, or what only looks alike, stays.
void TestFehlerfaelle::verwaisteTemporaereDateien()
{
    QFETCH(Befehl, befehl);
    QVERIFY(legeTestdateiAn(m_pfad, seriennummerndatei()));
    const QStringList bleiben{u".tessra-Gesprt"_s, u".tessra-abc12"_s, u".tessra-abc1234"_s,
                              u"x.tessra-abc123"_s};
    for (const QString &name : bleiben + QStringList{u".tessra-Verwst"_s, u".tessra-0a1B2c"_s})
        QVERIFY(legeTestdateiAn(m_ordner->filePath(name), "rest"));
    QFile gesperrt(m_ordner->filePath(bleiben[0]));
    QVERIFY(gesperrt.open(QIODevice::ReadOnly) && flock(gesperrt.handle(), LOCK_EX) == 0);
    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, m_pfad);
    speichere(view, suche, befehl, m_ordner->filePath(u"neu.txt"_s));

    QCOMPARE(view.caption(Label::lblZeile), u"Vorgang abgeschlossen"_s);
    QStringList rest = eintraege(m_ordner->path());
    rest.removeIf([](const QString &name) { return !name.contains(u".tessra-"); });
    rest.sort();
    QCOMPARE(rest, bleiben);
}

// In a sticky folder only an entry's owner may replace it: a backup of another user there is
// what stands in the way, and the box must say so rather than blame the folder.
void TestFehlerfaelle::fremdeSicherungImStickyOrdner()
{
    if (geteuid() != 0)
        QSKIP("Nur root kann Dateien anderen Nutzern geben.");
    const QString ordner = m_ordner->filePath(u"geteilt"_s);
    const QString pfad = ordner + u"/liste.txt"_s;
    const QByteArray original = seriennummerndatei();
    QVERIFY(QDir().mkdir(ordner) && legeTestdateiAn(pfad, original) &&
            legeTestdateiAn(pfad + u".ALT"_s, "fremd\r\n"));
    QCOMPARE(chmod(QFile::encodeName(ordner).constData(), 01777), 0);
    QCOMPARE(chown(QFile::encodeName(pfad).constData(), fremderNutzer, gemeinsameGruppe), 0);
    QCOMPARE(chown(QFile::encodeName(pfad + u".ALT"_s).constData(), zweiterNutzer, 0), 0);

    FakeMainView view;
    Duplikatensuche suche(view);
    ladeUndBehalteErste(view, suche, pfad);
    const QString bericht = speichereImKind(view, suche, Befehl::Ersetzen, {}, fremderNutzer);
    QVERIFY2(bericht.contains(pfad + u".ALT\nkann nicht als Sicherungskopie"_s) &&
                 bericht.contains(u"gehört einem anderen Nutzer"),
             qPrintable(bericht));
    QCOMPARE(testdateiInhalt(pfad), original);
    QCOMPARE(testdateiInhalt(pfad + u".ALT"_s), QByteArray("fremd\r\n"));
}

void TestFehlerfaelle::abbrechenBeimSpeichern_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<bool>("zweiNamen");
    QTest::addColumn<int>("abbrechbar"); // reports that still offer "Abbrechen"

    // 13 MB: the backup is copied in two parts, the result's 200,001 lines give four reports.
    QTest::newRow("Speichern (ersetzen): a new file takes its place")
        << Befehl::Ersetzen << false << 6;
    QTest::newRow("Speichern (ersetzen): rewritten in place") << Befehl::Ersetzen << true << 2;
    QTest::newRow("Speichern unter...") << Befehl::SpeichernUnter << false << 4;
}

// "Abbrechen" is offered until the save first changes a name on the disk, and no longer; at
// every report until then it leaves the file, its backup, the target and the folder as they
// were, and the result ready to save.
void TestFehlerfaelle::abbrechenBeimSpeichern()
{
    QFETCH(Befehl, befehl);
    QFETCH(bool, zweiNamen);
    QFETCH(int, abbrechbar);
    const QByteArray original = seriennummerndatei(300000, 200000);
    const QString sicherung = m_pfad + u".ALT"_s;
    const QString ziel = m_ordner->filePath(u"neu.txt"_s);
    QVERIFY(legeTestdateiAn(m_pfad, original) && legeTestdateiAn(sicherung, "alt\r\n") &&
            legeTestdateiAn(ziel, "ziel\r\n"));
    QVERIFY(!zweiNamen || gibZweitenNamen(m_pfad));
    FakeMainView view;
    Duplikatensuche suche(view);
    view.delimiter = MainView::Delimiter::Semikolon;
    view.setTxtPfad(m_pfad);
    suche.txtPfad_Change();
    suche.btnLaden_Click();
    view.yesNoAnswers.enqueue(true);
    suche.alleWeiterenGruppen(Duplikatensuche::Regel::ErsteBehalten);
    QVERIFY(bleibtFertig(view));
    const QString bild = view.bild();
    const QStringList vorher = eintraege(m_ordner->path());

    for (int n = 1; n <= abbrechbar; ++n) {
        view.abbrechenBeiMeldung = view.meldungen + n;
        speichere(view, suche, befehl, ziel);
        QCOMPARE(view.bild(), bild);
        QCOMPARE(testdateiInhalt(m_pfad), original);
        QCOMPARE(testdateiInhalt(sicherung), QByteArray("alt\r\n"));
        QCOMPARE(testdateiInhalt(ziel), QByteArray("ziel\r\n"));
        QCOMPARE(eintraege(m_ordner->path()), vorher);
    }
    view.abbrechenBeiMeldung = view.meldungen + abbrechbar + 1;
    speichere(view, suche, befehl, ziel);
    QCOMPARE(view.caption(Label::lblZeile), u"Vorgang abgeschlossen"_s);
    QCOMPARE(testdateiInhalt(befehl == Befehl::Ersetzen ? m_pfad : ziel).count("\r\n"), 200001);
    if (befehl == Befehl::Ersetzen)
        QCOMPARE(testdateiInhalt(sicherung), original);
}

QTEST_GUILESS_MAIN(TestFehlerfaelle)
#include "tst_fehlerfaelle.moc"
