#include "ordnerinhalt.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// QDir knows each entry by its text only, which for a name that is not UTF-8 leads nowhere;
// the folder's own list tells whether such an entry is a file.
QStringList nichtUtf8Namen(DIR *ordner)
{
    QStringList namen;
    while (const dirent *eintrag = ::readdir(ordner)) {
        const QByteArray name(eintrag->d_name);
        struct stat info = {};
        if (name.isValidUtf8())
            continue;
        // A link that points nowhere counts as a file, as it does among the other names.
        const bool datei =
            ::fstatat(::dirfd(ordner), name.constData(), &info, 0) == 0
                ? S_ISREG(info.st_mode)
                : ::fstatat(::dirfd(ordner), name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISLNK(info.st_mode);
        if (datei)
            namen.append(QFile::decodeName(name));
    }
    namen.sort(Qt::CaseInsensitive);
    return namen;
}

} // namespace

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
    if (::access(nativ.constData(), X_OK) != 0) {
        const int fehler = errno;
        ::closedir(ordner);
        return ausErrno(pfad, fehler);
    }
    Ordnerinhalt inhalt;
    inhalt.nichtUtf8 = nichtUtf8Namen(ordner);
    ::closedir(ordner);

    const QDir verzeichnis(pfad);
    const QDir::SortFlags sortierung = QDir::Name | QDir::IgnoreCase;
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
