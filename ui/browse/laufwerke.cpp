#include "laufwerke.h"

#include <algorithm>

#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace {

bool liegtIn(const QString &pfad, const QString &ordner)
{
    if (pfad == ordner || ordner == QStringLiteral("/"))
        return true;
    return pfad.startsWith(ordner + QLatin1Char('/'));
}

} // namespace

bool istNutzerlaufwerk(const QByteArray &dateisystem, const QString &einhaengepunkt)
{
    // The root is where every path starts, whatever a container or live system put there.
    if (einhaengepunkt == QStringLiteral("/"))
        return true;

    static const QSet<QByteArray> kernelDateisysteme = {
        "proc",        "sysfs",           "cgroup",     "cgroup2",
        "devpts",      "devtmpfs",        "mqueue",     "debugfs",
        "tracefs",     "securityfs",      "pstore",     "bpf",
        "configfs",    "fusectl",         "hugetlbfs",  "autofs",
        "binfmt_misc", "efivarfs",        "rpc_pipefs", "nsfs",
        "selinuxfs",   "ramfs",           "nfsd",       "overlay",
        "squashfs",    "fuse.gvfsd-fuse", "fuse.portal"};
    if (kernelDateisysteme.contains(dateisystem))
        return false;
    // A temporary folder is a place users save to; the other memory file systems are the
    // system's.
    if (dateisystem == "tmpfs")
        return einhaengepunkt == QStringLiteral("/tmp");

    if (liegtIn(einhaengepunkt, QStringLiteral("/run/media")))
        return true;
    static const QStringList systemordner = {
        QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
        QStringLiteral("/run"),  QStringLiteral("/snap"), QStringLiteral("/var/lib/docker")};
    return std::none_of(systemordner.cbegin(), systemordner.cend(),
                        [&](const QString &ordner) { return liegtIn(einhaengepunkt, ordner); });
}

QStringList laufwerke()
{
    QStringList punkte;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        const QString punkt = volume.rootPath();
        // Containers mount single files (hosts, resolv.conf) over the image; they are no drives.
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(punkt).isDir())
            continue;
        if (istNutzerlaufwerk(volume.fileSystemType(), punkt) && !punkte.contains(punkt))
            punkte.append(punkt);
    }
    punkte.sort();
    return punkte;
}

QString laufwerkVon(const QString &pfad, const QStringList &laufwerke)
{
    QString bestes;
    for (const QString &punkt : laufwerke) {
        if (liegtIn(pfad, punkt) && punkt.size() > bestes.size())
            bestes = punkt;
    }
    return bestes;
}
