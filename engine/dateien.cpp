#include "dateien.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
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

// Large buffers are mapped by the allocator; asking for huge pages there spares most page faults
// of reading a file of hundreds of megabytes.
void erlaubeGrosseSeiten(char *daten, qsizetype groesse)
{
    constexpr quintptr grosseSeite = 2 * 1024 * 1024;
    const quintptr anfang = (quintptr(daten) + grosseSeite - 1) & ~(grosseSeite - 1);
    const quintptr ende = (quintptr(daten) + quintptr(groesse)) & ~(grosseSeite - 1);
    if (ende > anfang)
        ::madvise(reinterpret_cast<void *>(anfang), ende - anfang, MADV_HUGEPAGE);
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
    return !lesefehler(pfad);
}

std::optional<Dateifehler> lesefehler(const QString &pfad)
{
    if (auto fehler = keineNormaleDatei(pfad))
        return fehler;
    if (!QFileInfo(pfad).isFile())
        return Dateifehler{pfad, Dateifehler::Grund::NichtGefunden, {}};
    QFile datei(pfad);
    errno = 0;
    if (!datei.open(QIODevice::ReadOnly))
        return fehlerVon(pfad, errno, datei);
    return std::nullopt;
}

std::variant<QByteArray, Dateifehler> leseDatei(const QString &pfad, Dateistand *stand,
                                                const Fortschrittsmeldung &meldung)
{
    if (auto fehler = keineNormaleDatei(pfad))
        return *fehler;
    QFile datei(pfad);
    errno = 0;
    if (!datei.open(QIODevice::ReadOnly))
        return fehlerVon(pfad, errno, datei);
    struct stat info = {};
    const bool mitStand = ::fstat(datei.handle(), &info) == 0;
    if (stand && mitStand)
        *stand = Dateistand::aus(info);
    // Read into a buffer of the file's size: it is never held twice while it grows, and the
    // kernel may back it with huge pages.
    QByteArray inhalt(mitStand ? qsizetype(info.st_size) : 0, Qt::Uninitialized);
    erlaubeGrosseSeiten(inhalt.data(), inhalt.size());
    qsizetype gelesen = 0;
    while (gelesen < inhalt.size()) {
        // In parts of a few milliseconds each, so that the window can paint in between.
        constexpr qsizetype teil = qsizetype(4) << 20;
        const qint64 stueck =
            datei.read(inhalt.data() + gelesen, std::min(inhalt.size() - gelesen, teil));
        if (stueck < 0)
            return fehlerVon(pfad, errno, datei);
        if (stueck == 0)
            break;
        gelesen += stueck;
        if (meldung)
            meldung(gelesen, inhalt.size());
    }
    inhalt.truncate(gelesen);
    // A file that grew while it was read is read to its end.
    const QByteArray rest = datei.readAll();
    if (datei.error() != QFileDevice::NoError)
        return fehlerVon(pfad, errno, datei);
    inhalt.append(rest);
    return inhalt;
}
