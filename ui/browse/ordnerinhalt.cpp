#include "ordnerinhalt.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

Ordnerinhalt Ordnerinhalt::ausErrno(const QString &pfad, int errnoWert)
{
    Ordnerinhalt inhalt;
    inhalt.fehler =
        Dateifehler::ausErrno(pfad, errnoWert, QString::fromLocal8Bit(std::strerror(errnoWert)));
    return inhalt;
}

Ordnerinhalt Ordnerinhalt::lesen(const QString &pfad)
{
    // QDir lists an unreadable folder as an empty one; asking the system first tells the two
    // apart. Without search permission the entries could be named but not told apart either.
    const QByteArray nativ = QFile::encodeName(pfad);
    DIR *ordner = ::opendir(nativ.constData());
    if (!ordner)
        return ausErrno(pfad, errno);
    ::closedir(ordner);
    if (::access(nativ.constData(), X_OK) != 0)
        return ausErrno(pfad, errno);

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
