#include "posixdatei.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace Posixdatei {

namespace {

constexpr char temporaererAnfang[] = ".tessra-";
constexpr qsizetype temporaereZeichen = 6;

// False when another holds the lock or the name no longer leads to the file. A file system
// without locks leaves the file unlocked, but no clean-up can lock it there either.
bool gesperrtUnter(int fd, const QByteArray &name)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return false;
    struct stat offen = {};
    struct stat benannt = {};
    return ::fstat(fd, &offen) == 0 && ::lstat(name.constData(), &benannt) == 0 &&
           selbeDatei(offen, benannt);
}

} // namespace

Deskriptor::~Deskriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void Deskriptor::schliesse()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

QByteArray ordnerVon(const QByteArray &pfad)
{
    const qsizetype schraegstrich = pfad.lastIndexOf('/');
    if (schraegstrich < 0)
        return QByteArrayLiteral(".");
    if (schraegstrich == 0)
        return QByteArrayLiteral("/");
    return pfad.left(schraegstrich);
}

QByteArray zielVon(const QByteArray &pfad)
{
    char *echt = ::realpath(pfad.constData(), nullptr);
    if (!echt)
        return pfad;
    QByteArray ziel(echt);
    std::free(echt);
    return ziel;
}

bool selbeDatei(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int synchronisiere(int fd)
{
    return ::fsync(fd) == 0 ? 0 : errno;
}

int synchronisiereOrdner(const QByteArray &ordner)
{
    const Deskriptor fd(::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder the user may not read cannot be synced by the user at all.
    if (!fd)
        return 0;
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

int kuerze(int fd)
{
    return ::ftruncate(fd, 0) == 0 ? 0 : errno;
}

int schreibeAlles(int fd, const char *daten, size_t laenge)
{
    while (laenge > 0) {
        const ssize_t geschrieben = ::write(fd, daten, laenge);
        if (geschrieben < 0 && errno == EINTR)
            continue;
        if (geschrieben <= 0)
            return geschrieben < 0 ? errno : EIO;
        daten += geschrieben;
        laenge -= size_t(geschrieben);
    }
    return 0;
}

bool istTemporaererName(QByteArrayView name)
{
    const QByteArrayView anfang(temporaererAnfang);
    if (name.size() != anfang.size() + temporaereZeichen || !name.startsWith(anfang))
        return false;
    const QByteArrayView rest = name.sliced(anfang.size());
    return std::all_of(rest.begin(), rest.end(), [](char zeichen) {
        return (zeichen >= 'a' && zeichen <= 'z') || (zeichen >= 'A' && zeichen <= 'Z') ||
               (zeichen >= '0' && zeichen <= '9');
    });
}

TemporaereDatei::TemporaereDatei(const QByteArray &ordner)
{
    // A clean-up may catch a new file before its lock and remove it: then it is made anew.
    for (int versuch = 0; versuch < 8 && m_fd < 0; ++versuch) {
        QByteArray name = ordner + '/' + temporaererAnfang + QByteArray(temporaereZeichen, 'X');
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            m_fehler = errno;
            return;
        }
        if (!gesperrtUnter(fd, name)) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_name = name;
        m_fehler = 0;
    }
    if (m_fd < 0)
        m_fehler = EAGAIN;
}

TemporaereDatei::~TemporaereDatei()
{
    if (!m_name.isEmpty())
        ::unlink(m_name.constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

int TemporaereDatei::setzeEin(const QByteArray &ziel)
{
    if (::rename(m_name.constData(), ziel.constData()) != 0)
        return errno;
    m_name.clear();
    return 0;
}

void Vorausschreiben::bis(off64_t geschrieben)
{
    constexpr off64_t abstand = off64_t(8) << 20;
    if (geschrieben - m_angestossen < abstand)
        return;
    // A failure here changes nothing: the sync at the end writes whatever is left. Neither call
    // waits for the disk, nor takes a write error from the sync that reports it, and the cache
    // keeps any page not yet on the disk.
    ::sync_file_range(m_fd, m_angestossen, geschrieben - m_angestossen, SYNC_FILE_RANGE_WRITE);
    // A length of 0 would mean the whole file.
    if (m_vorher > m_freigegeben)
        ::posix_fadvise(m_fd, m_freigegeben, m_vorher - m_freigegeben, POSIX_FADV_DONTNEED);
    m_freigegeben = m_vorher;
    m_vorher = m_angestossen;
    m_angestossen = geschrieben;
}

Ausgabe::Ausgabe(int fd, std::span<char> puffer)
    : m_fd(fd)
    , m_puffer(puffer)
    , m_voraus(fd)
{
}

bool Ausgabe::schreibe(QByteArrayView stueck)
{
    if (m_fehler != 0)
        return false;
    const size_t laenge = size_t(stueck.size());
    if (laenge == 0)
        return true;
    if (m_belegt + laenge > m_puffer.size()) {
        if (!leere())
            return false;
        if (laenge >= m_puffer.size())
            return schreibeAus(stueck.data(), laenge);
    }
    std::memcpy(m_puffer.data() + m_belegt, stueck.data(), laenge);
    m_belegt += laenge;
    return true;
}

bool Ausgabe::leere()
{
    const size_t belegt = std::exchange(m_belegt, 0);
    return m_fehler == 0 && (belegt == 0 || schreibeAus(m_puffer.data(), belegt));
}

bool Ausgabe::schreibeAus(const char *daten, size_t laenge)
{
    m_fehler = schreibeAlles(m_fd, daten, laenge);
    m_geschrieben += off64_t(laenge);
    m_voraus.bis(m_geschrieben);
    return m_fehler == 0;
}

std::optional<Kopierfehler> kopiere(int von, int nach, std::span<char> puffer,
                                    const Fortschrittsmeldung &meldung, qint64 groesse)
{
    const auto melde = [&](off64_t gelesen) {
        if (meldung)
            meldung(qint64(gelesen), groesse);
    };
    constexpr size_t teil = size_t(8) << 20;
    Vorausschreiben voraus(nach);
    off64_t gelesen = 0;
    for (;;) {
        const ssize_t kopiert = ::copy_file_range(von, &gelesen, nach, nullptr, teil, 0);
        if (kopiert > 0) {
            voraus.bis(gelesen);
            melde(gelesen);
            continue;
        }
        if (kopiert < 0 && errno == EINTR)
            continue;
        // Done, or the kernel cannot copy between these two (or failed): the plain loop finds
        // out. Some file systems report 0 for a file they cannot copy this way, so a first 0
        // is checked there too.
        if (kopiert == 0 && gelesen > 0)
            return std::nullopt;
        break;
    }
    for (;;) {
        const ssize_t n = ::pread(von, puffer.data(), puffer.size(), gelesen);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Kopierfehler{errno, true};
        if (n == 0)
            return std::nullopt;
        if (const int fehler = schreibeAlles(nach, puffer.data(), size_t(n)))
            return Kopierfehler{fehler, false};
        gelesen += n;
        voraus.bis(gelesen);
        melde(gelesen);
    }
}

void uebertrageRechte(int fd, const struct stat &vorbild)
{
    if (::fchown(fd, vorbild.st_uid, vorbild.st_gid) != 0 &&
        ::fchown(fd, uid_t(-1), vorbild.st_gid) != 0) {
        // The group is checked below either way.
    }
    struct stat neu = {};
    mode_t rechte = vorbild.st_mode & 0777;
    if (::fstat(fd, &neu) != 0 || neu.st_gid != vorbild.st_gid)
        rechte &= ~mode_t(S_IRWXG);
    if (::fchmod(fd, rechte) != 0) {
        // Then it keeps the owner-only permissions it was created with.
    }
}

bool gleicheRechte(int fd, const struct stat &vorbild)
{
    // Owner first: changing it clears the set-user-ID and set-group-ID bits.
    if (::fchown(fd, vorbild.st_uid, vorbild.st_gid) != 0 ||
        ::fchmod(fd, vorbild.st_mode & 07777) != 0)
        return false;
    struct stat neu = {};
    return ::fstat(fd, &neu) == 0 && neu.st_uid == vorbild.st_uid && neu.st_gid == vorbild.st_gid &&
           (neu.st_mode & 07777) == (vorbild.st_mode & 07777);
}

bool neueDateiKannErsetzen(int fd, const struct stat &info, const QByteArray &ordner)
{
    struct stat ordnerInfo = {};
    return info.st_nlink == 1 && ::fgetxattr(fd, "system.posix_acl_access", nullptr, 0) < 0 &&
           ::stat(ordner.constData(), &ordnerInfo) == 0 && ordnerInfo.st_dev == info.st_dev;
}

mode_t rechteNeuerDateien()
{
    const mode_t maske = ::umask(0);
    ::umask(maske);
    return 0666 & ~maske;
}

} // namespace Posixdatei
