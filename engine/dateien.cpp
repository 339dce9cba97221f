#include "dateien.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

std::optional<Dateifehler> keineNormaleDatei(const QString &pfad)
{
    const QFileInfo info(pfad);
    if (info.isDir())
        return Dateifehler{pfad, Dateifehler::Grund::IstOrdner, {}};
    if (info.exists() && !info.isFile())
        return Dateifehler{pfad, Dateifehler::Grund::KeineNormaleDatei, {}};
    return std::nullopt;
}

Dateifehler fehlerVon(const QString &pfad, int errnoWert, const QFileDevice &datei)
{
    return Dateifehler::ausErrno(pfad, errnoWert, datei.errorString());
}

} // namespace

Dateistand Dateistand::aus(const struct stat &info)
{
    return {info.st_dev,
            info.st_ino,
            qint64(info.st_size),
            qint64(info.st_mtim.tv_sec),
            qint64(info.st_mtim.tv_nsec),
            qint64(info.st_ctim.tv_sec),
            qint64(info.st_ctim.tv_nsec)};
}

std::optional<Dateistand> dateistand(const QString &pfad)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(pfad).constData(), &info) != 0)
        return std::nullopt;
    return Dateistand::aus(info);
}

bool istLesbareDatei(const QString &pfad)
{
    if (keineNormaleDatei(pfad) || !QFileInfo(pfad).isFile())
        return false;
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly);
}

std::variant<QByteArray, Dateifehler> leseDatei(const QString &pfad, Dateistand *stand)
{
    if (auto fehler = keineNormaleDatei(pfad))
        return *fehler;
    QFile datei(pfad);
    errno = 0;
    if (!datei.open(QIODevice::ReadOnly))
        return fehlerVon(pfad, errno, datei);
    struct stat info = {};
    if (stand && ::fstat(datei.handle(), &info) == 0)
        *stand = Dateistand::aus(info);
    QByteArray inhalt = datei.readAll();
    if (datei.error() != QFileDevice::NoError)
        return fehlerVon(pfad, errno, datei);
    return inhalt;
}
