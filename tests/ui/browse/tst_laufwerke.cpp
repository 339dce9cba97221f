#include "laufwerke.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestLaufwerke : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void istNutzerlaufwerk_data();
    void istNutzerlaufwerk();
    void laufwerkVon_data();
    void laufwerkVon();
    void laufwerkeDiesesSystems();
};

void TestLaufwerke::istNutzerlaufwerk_data()
{
    QTest::addColumn<QByteArray>("dateisystem");
    QTest::addColumn<QString>("punkt");
    QTest::addColumn<bool>("erwartet");

    QTest::newRow("root of a container") << QByteArray("overlay") << u"/"_s << true;
    QTest::newRow("root of a live system") << QByteArray("tmpfs") << u"/"_s << true;
    QTest::newRow("usb stick") << QByteArray("vfat") << u"/media/anna/STICK"_s << true;
    QTest::newRow("usb stick under /run/media")
        << QByteArray("exfat") << u"/run/media/anna/STICK"_s << true;
    QTest::newRow("user's fuse mount") << QByteArray("fuse.sshfs") << u"/home/anna/srv"_s << true;
    QTest::newRow("tmp in memory") << QByteArray("tmpfs") << u"/tmp"_s << true;
    QTest::newRow("proc") << QByteArray("proc") << u"/proc"_s << false;
    QTest::newRow("cgroup") << QByteArray("cgroup") << u"/sys/fs/cgroup/cpu"_s << false;
    QTest::newRow("shared memory") << QByteArray("tmpfs") << u"/dev/shm"_s << false;
    QTest::newRow("runtime folder") << QByteArray("tmpfs") << u"/run/user/1000"_s << false;
    QTest::newRow("scratch tmpfs elsewhere") << QByteArray("tmpfs") << u"/mnt/scratch"_s << false;
    QTest::newRow("snap package") << QByteArray("squashfs") << u"/snap/core22/1033"_s << false;
    QTest::newRow("docker layer") << QByteArray("overlay")
                                  << u"/var/lib/docker/overlay2/ab/merged"_s << false;
    QTest::newRow("name that only starts like /run") << QByteArray("ext4") << u"/running"_s << true;
}

void TestLaufwerke::istNutzerlaufwerk()
{
    QFETCH(QByteArray, dateisystem);
    QFETCH(QString, punkt);
    QFETCH(bool, erwartet);

    QCOMPARE(::istNutzerlaufwerk(dateisystem, punkt), erwartet);
}

void TestLaufwerke::laufwerkVon_data()
{
    QTest::addColumn<QString>("pfad");
    QTest::addColumn<QString>("erwartet");

    QTest::newRow("folder on root") << u"/home/anna"_s << u"/"_s;
    QTest::newRow("root itself") << u"/"_s << u"/"_s;
    QTest::newRow("mount point itself") << u"/media/usb"_s << u"/media/usb"_s;
    QTest::newRow("folder on the stick") << u"/media/usb/a/b"_s << u"/media/usb"_s;
    QTest::newRow("sibling with the same start") << u"/media/usb2/a"_s << u"/"_s;
    QTest::newRow("nested mount wins") << u"/media/usb/inner/x"_s << u"/media/usb/inner"_s;
}

void TestLaufwerke::laufwerkVon()
{
    QFETCH(QString, pfad);
    QFETCH(QString, erwartet);

    const QStringList punkte = {u"/"_s, u"/media/usb"_s, u"/media/usb/inner"_s};
    QCOMPARE(::laufwerkVon(pfad, punkte), erwartet);
    QCOMPARE(::laufwerkVon(pfad, {u"/media/usb"_s}).isEmpty(),
             !pfad.startsWith(u"/media/usb/"_s) && pfad != u"/media/usb"_s);
}

void TestLaufwerke::laufwerkeDiesesSystems()
{
    const QStringList punkte = laufwerke();

    QVERIFY(punkte.contains(u"/"_s));
    QVERIFY(!punkte.contains(u"/proc"_s));
    QVERIFY(!punkte.contains(u"/sys"_s));
    QStringList sortiert = punkte;
    sortiert.sort();
    sortiert.removeDuplicates();
    QCOMPARE(punkte, sortiert);
    for (const QString &punkt : punkte)
        QVERIFY2(QDir(punkt).exists(), qPrintable(punkt));
}

QTEST_GUILESS_MAIN(TestLaufwerke)
#include "tst_laufwerke.moc"
