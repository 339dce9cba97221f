#include "ordnerinhalt.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString Ordnerinhalt::fehlerText() const
{
    switch (fehler) {
    case Fehler::Keiner:
        return {};
    case Fehler::NichtGefunden:
        return QStringLiteral("Der Ordner existiert nicht (mehr).");
    case Fehler::KeinZugriff:
        return QStringLiteral("Zugriff verweigert: Die Berechtigung fehlt.");
    case Fehler::KeinDatentraeger:
        return QStringLiteral("Im Laufwerk ist kein Datenträger.");
    case Fehler::NichtErreichbar:
        return QStringLiteral("Das Laufwerk ist nicht erreichbar.");
    case Fehler::EinAusgabe:
        return QStringLiteral("Beim Zugriff auf den Datenträger trat ein Ein-/Ausgabefehler auf.");
    case Fehler::Sonstiges:
        break;
    }
    if (systemtext.isEmpty())
        return QStringLiteral("Unbekannter Fehler.");
    return QStringLiteral("Unbekannter Fehler (") + systemtext + QStringLiteral(").");
}

Ordnerinhalt Ordnerinhalt::ausErrno(int errnoWert)
{
    Ordnerinhalt inhalt;
    switch (errnoWert) {
    case ENOENT:
    case ENOTDIR:
        inhalt.fehler = Fehler::NichtGefunden;
        break;
    case EACCES:
    case EPERM:
        inhalt.fehler = Fehler::KeinZugriff;
        break;
    case ENOMEDIUM:
        inhalt.fehler = Fehler::KeinDatentraeger;
        break;
    case ENODEV:
    case ENXIO:
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
        inhalt.fehler = Fehler::NichtErreichbar;
        break;
    case EIO:
        inhalt.fehler = Fehler::EinAusgabe;
        break;
    default:
        inhalt.fehler = Fehler::Sonstiges;
        inhalt.systemtext = QString::fromLocal8Bit(std::strerror(errnoWert));
        break;
    }
    return inhalt;
}

Ordnerinhalt Ordnerinhalt::lesen(const QString &pfad)
{
    // QDir lists an unreadable folder as an empty one; asking the system first tells the two
    // apart. Without search permission the entries could be named but not told apart either.
    const QByteArray nativ = QFile::encodeName(pfad);
    DIR *ordner = ::opendir(nativ.constData());
    if (!ordner)
        return ausErrno(errno);
    ::closedir(ordner);
    if (::access(nativ.constData(), X_OK) != 0)
        return ausErrno(errno);

    const QDir verzeichnis(pfad);
    const QDir::SortFlags sortierung = QDir::Name | QDir::IgnoreCase;
    Ordnerinhalt inhalt;
    inhalt.ordner =
        verzeichnis.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, sortierung);
    const QFileInfoList dateien =
        verzeichnis.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, sortierung);
    for (const QFileInfo &datei : dateien) {
        // A link that points nowhere is still a name in the folder; the path check rejects it.
        const bool verwaisterLink = datei.isSymLink() && !datei.exists();
        if (datei.isFile() || verwaisterLink)
            inhalt.dateien.append(datei.fileName());
    }
    return inhalt;
}
