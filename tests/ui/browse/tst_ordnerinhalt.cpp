#include "ordnerinhalt.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Grund = Dateifehler::Grund;

namespace {

// A folder's outcome as one number, so it can cross a pipe: -1 when it could be read.
constexpr int lesbar = -1;
int ausgang(const Ordnerinhalt &inhalt)
{
    return inhalt.fehler ? int(inhalt.fehler->grund) : lesbar;
}

} // namespace

class TestOrdnerinhalt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listetOrdnerUndDateien();
    void unlesbarerOrdner_data();
    void unlesbarerOrdner();
    void fehlerAusErrno_data();
    void fehlerAusErrno();

private:
    static std::optional<int> leseOhneRoot(const QString &pfad);
    static void legeDateiAn(const QString &pfad)
    {
        QFile datei(pfad);
        QVERIFY(datei.open(QIODevice::WriteOnly));
        datei.write("1;a\n");
    }
};

// Root reads every folder whatever its permissions, so as root the folder is read by a child
// process that has given up root for the unprivileged "nobody"; nothing if it cannot.
std::optional<int> TestOrdnerinhalt::leseOhneRoot(const QString &pfad)
{
    if (::geteuid() != 0)
        return ausgang(Ordnerinhalt::lesen(pfad));
    int rohr[2];
    if (::pipe(rohr) != 0)
        return std::nullopt;
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::close(rohr[0]);
        int ergebnis = -2;
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)
            ergebnis = ausgang(Ordnerinhalt::lesen(pfad));
        const bool geschrieben = ::write(rohr[1], &ergebnis, sizeof ergebnis) == sizeof ergebnis;
        ::_exit(geschrieben ? 0 : 1);
    }
    ::close(rohr[1]);
    int ergebnis = -2;
    const bool gelesen = kind > 0 && ::read(rohr[0], &ergebnis, sizeof ergebnis) == sizeof ergebnis;
    ::close(rohr[0]);
    if (kind > 0)
        ::waitpid(kind, nullptr, 0);
    if (!gelesen || ergebnis == -2)
        return std::nullopt;
    return ergebnis;
}

void TestOrdnerinhalt::listetOrdnerUndDateien()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QDir ordner(temp.path());
    for (const QString &name : {u"b.txt"_s, u"A.txt"_s, u".versteckt"_s})
        legeDateiAn(ordner.filePath(name));
    QVERIFY(ordner.mkdir(u"c"_s));
    QVERIFY(ordner.mkdir(u".konfig"_s));
    QVERIFY(QFile::link(ordner.filePath(u"c"_s), ordner.filePath(u"Verweis"_s)));
    QVERIFY(QFile::link(ordner.filePath(u"fehlt"_s), ordner.filePath(u"kaputt"_s)));
    QCOMPARE(::mkfifo(QFile::encodeName(ordner.filePath(u"rohr"_s)).constData(), 0600), 0);

    const Ordnerinhalt inhalt = Ordnerinhalt::lesen(temp.path());

    QVERIFY(inhalt.lesbar());
    QCOMPARE(inhalt.ordner, QStringList({u".konfig"_s, u"c"_s, u"Verweis"_s}));
    QCOMPARE(inhalt.dateien, QStringList({u".versteckt"_s, u"A.txt"_s, u"b.txt"_s, u"kaputt"_s}));
}

void TestOrdnerinhalt::unlesbarerOrdner_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rechte");
    QTest::addColumn<int>("erwartet");

    QTest::newRow("vanished") << u"weg"_s << -1 << int(Grund::NichtGefunden);
    QTest::newRow("a file, not a folder") << u"datei"_s << -1 << int(Grund::NichtGefunden);
    QTest::newRow("no read permission") << u"gesperrt"_s << 0333 << int(Grund::KeinZugriff);
    QTest::newRow("no search permission") << u"gesperrt"_s << 0444 << int(Grund::KeinZugriff);
    QTest::newRow("readable, for comparison") << u"offen"_s << 0755 << lesbar;
}

void TestOrdnerinhalt::unlesbarerOrdner()
{
    QFETCH(QString, name);
    QFETCH(int, rechte);
    QFETCH(int, erwartet);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    // Reachable for the unprivileged reader, so only the folder's own permissions count.
    QCOMPARE(::chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
    const QString pfad = QDir(temp.path()).filePath(name);
    if (name == u"datei"_s)
        legeDateiAn(pfad);
    if (rechte >= 0) {
        QVERIFY(QDir().mkdir(pfad));
        QCOMPARE(::chmod(QFile::encodeName(pfad).constData(), mode_t(rechte)), 0);
    }

    const std::optional<int> fehler = leseOhneRoot(pfad);

    if (rechte >= 0)
        ::chmod(QFile::encodeName(pfad).constData(), 0700);
    if (!fehler)
        QSKIP("cannot read as an unprivileged user here");
    QCOMPARE(*fehler, erwartet);
}

void TestOrdnerinhalt::fehlerAusErrno_data()
{
    QTest::addColumn<int>("errnoWert");
    QTest::addColumn<Grund>("erwartet");
    QTest::addColumn<QString>("text");

    QTest::newRow("no medium") << ENOMEDIUM << Grund::KeinDatentraeger
                               << u"Im Laufwerk ist kein Datenträger."_s;
    QTest::newRow("too many open files keeps the system's words")
        << EMFILE << Grund::Sonstiges
        << u"Unbekannter Fehler ("_s + QString::fromLocal8Bit(std::strerror(EMFILE)) + u")."_s;
}

void TestOrdnerinhalt::fehlerAusErrno()
{
    QFETCH(int, errnoWert);
    QFETCH(Grund, erwartet);
    QFETCH(QString, text);

    const Ordnerinhalt inhalt = Ordnerinhalt::ausErrno(u"/media/stick"_s, errnoWert);
    QCOMPARE(inhalt.fehler->grund, erwartet);
    QVERIFY(!inhalt.lesbar());
    QCOMPARE(inhalt.fehlerText(), text);
}

QTEST_GUILESS_MAIN(TestOrdnerinhalt)
#include "tst_ordnerinhalt.moc"
