#include "programmstart.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// "Explorer" on a desktop whose file manager answers on the session bus: a private bus with a
// stand-in file manager that records the ShowItems call.
class TstDateimanager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void zeigtDieDateiMarkiert_data();
    void zeigtDieDateiMarkiert();

private:
    QTemporaryDir m_ordner;
    QProcess m_bus;
    QProcess m_dateimanager;
};

void TstDateimanager::initTestCase()
{
    QVERIFY(m_ordner.isValid());
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon fehlt (scripts/install-deps.sh)");
    m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                         QStringLiteral("--print-address=1"),
                         QStringLiteral("--address=unix:path=") +
                             m_ordner.filePath(QStringLiteral("bus"))});
    QVERIFY(m_bus.waitForStarted());
    QVERIFY(m_bus.waitForReadyRead(10000));
    const QByteArray adresse = m_bus.readLine().trimmed();
    QVERIFY(adresse.startsWith("unix:"));
    // Qt D-Bus connects once, at its first use, to the bus named here.
    qputenv("DBUS_SESSION_BUS_ADDRESS", adresse);

    m_dateimanager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_dateimanager.start(QStringLiteral(TESSRA_FAKE_DATEIMANAGER),
                         {m_ordner.filePath(QStringLiteral("showitems"))});
    QVERIFY(m_dateimanager.waitForStarted());
    QVERIFY(m_dateimanager.waitForReadyRead(10000));
    QCOMPARE(m_dateimanager.readLine().trimmed(), QByteArray("bereit"));
}

void TstDateimanager::cleanupTestCase()
{
    for (QProcess *prozess : {&m_dateimanager, &m_bus}) {
        prozess->kill();
        prozess->waitForFinished();
    }
}

void TstDateimanager::zeigtDieDateiMarkiert_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("uriName");
    QTest::newRow("einfach") << QStringLiteral("liste.txt") << QStringLiteral("liste.txt");
    QTest::newRow("Leerzeichen und Umlaut")
        << QStringLiteral("meine größe.txt") << QStringLiteral("meine%20gr%C3%B6%C3%9Fe.txt");
    QTest::newRow("Zeichen einer URL")
        << QStringLiteral("a#b?c%d.txt") << QStringLiteral("a%23b%3Fc%25d.txt");
}

void TstDateimanager::zeigtDieDateiMarkiert()
{
    QFETCH(QString, name);
    QFETCH(QString, uriName);
    const QString pfad = m_ordner.filePath(name);
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.close();

    const auto grund = Programmstart::imDateimanager(pfad);
    QVERIFY2(!grund, grund ? qPrintable(*grund) : "");
    QFile protokoll(m_ordner.filePath(QStringLiteral("showitems")));
    QTRY_VERIFY(protokoll.exists());
    QVERIFY(protokoll.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(protokoll.readAll()),
             QStringLiteral("file://") + m_ordner.path() + u'/' + uriName + QStringLiteral("|\n"));
    protokoll.remove();
}

QTEST_MAIN(TstDateimanager)
#include "tst_dateimanager.moc"
