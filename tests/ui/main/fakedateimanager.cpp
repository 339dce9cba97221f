// A stand-in file manager for the tests: it owns org.freedesktop.FileManager1 on the session
// bus and writes the arguments of every ShowItems call to the file named on its command line.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTextStream>

class Dateimanager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    explicit Dateimanager(QString protokoll)
        : m_protokoll(std::move(protokoll))
    {
    }

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        QFile datei(m_protokoll + QStringLiteral(".tmp"));
        if (!datei.open(QIODevice::WriteOnly))
            return;
        QTextStream(&datei) << uris.join(u' ') << u'|' << startupId << u'\n';
        datei.close();
        datei.rename(m_protokoll);
    }

private:
    QString m_protokoll;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Dateimanager dateimanager(QString::fromLocal8Bit(argv[1]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &dateimanager,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.FileManager1")))
        return 1;
    QTextStream(stdout) << "bereit" << Qt::endl;
    return app.exec();
}

#include "fakedateimanager.moc"
