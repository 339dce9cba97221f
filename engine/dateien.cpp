#include "dateien.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool istLesbareDatei(const QString &pfad)
{
    if (keineNormaleDatei(pfad) || !QFileInfo(pfad).isFile())
        return false;
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly);
}

std::variant<QByteArray, Dateifehler> leseDatei(const QString &pfad)
{
    if (auto fehler = keineNormaleDatei(pfad))
        return *fehler;
    QFile datei(pfad);
    errno = 0;
    if (!datei.open(QIODevice::ReadOnly))
        return fehlerVon(pfad, errno, datei);
    QByteArray inhalt = datei.readAll();
    if (datei.error() != QFileDevice::NoError)
        return fehlerVon(pfad, errno, datei);
    return inhalt;
}

std::optional<Dateifehler> schreibeDatei(const QString &pfad, QByteArrayView inhalt)
{
    if (auto fehler = keineNormaleDatei(pfad))
        return fehler;
    QSaveFile datei(pfad);
    errno = 0;
    if (!datei.open(QIODevice::WriteOnly))
        return fehlerVon(pfad, errno, datei);
    // QSaveFile buffers what is written, and its commit() does not notice when the final flush
    // fails (a full disk): it would put the cut-off file in place of the whole one. So the
    // flush is checked here, while the old file is still untouched.
    if (datei.write(inhalt.data(), inhalt.size()) != inhalt.size() || !datei.flush()) {
        const int errnoWert = errno;
        datei.cancelWriting();
        return fehlerVon(pfad, errnoWert, datei);
    }
    if (!datei.commit())
        return fehlerVon(pfad, errno, datei);
    return std::nullopt;
}
