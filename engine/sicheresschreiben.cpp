#include "sicheresschreiben.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QFile>

namespace {

using Grund = Dateifehler::Grund;
using Ort = Dateifehler::Ort;
using Schritt = Ersetzungsfehler::Schritt;

// A million short lines become a few dozen writes; next to the loaded file it does not count.
constexpr size_t puffergroesse = size_t(1) << 20;

class Deskriptor
{
public:
    explicit Deskriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Deskriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Deskriptor(const Deskriptor &) = delete;
    Deskriptor &operator=(const Deskriptor &) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void schliesse()
    {
        if (m_fd >= 0)
            ::close(std::exchange(m_fd, -1));
    }

private:
    int m_fd;
};

// The folder that holds an entry, as the path names it.
QByteArray ordnerVon(const QByteArray &pfad)
{
    const qsizetype schraegstrich = pfad.lastIndexOf('/');
    if (schraegstrich < 0)
        return QByteArrayLiteral(".");
    if (schraegstrich == 0)
        return QByteArrayLiteral("/");
    return pfad.left(schraegstrich);
}

// The file a path leads to, so that a symbolic link stays a link and its target gets the new
// content. A path that leads nowhere names a new file (a dangling link is replaced, not
// followed to wherever it points).
QByteArray zielVon(const QByteArray &pfad)
{
    char *echt = ::realpath(pfad.constData(), nullptr);
    if (!echt)
        return pfad;
    QByteArray ziel(echt);
    std::free(echt);
    return ziel;
}

Speicherbeobachtung::Beobachter *beobachter = nullptr;

// Tells a watching test of the step about to be taken; its errno value fails the step.
int melde(std::optional<Speicherschritt> schritt, int fd = -1)
{
    return schritt && beobachter ? (*beobachter)(*schritt, fd) : 0;
}

// Makes a rename in the folder durable: without it a power cut can bring the old entry back.
int synchronisiereOrdner(const QByteArray &ordner, std::optional<Speicherschritt> schritt = {})
{
    if (const int fehler = melde(schritt))
        return fehler;
    const Deskriptor fd(::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder the user may not read cannot be synced by the user at all.
    if (!fd)
        return 0;
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

int synchronisiere(int fd, std::optional<Speicherschritt> schritt = {})
{
    if (const int fehler = melde(schritt, fd))
        return fehler;
    return ::fsync(fd) == 0 ? 0 : errno;
}

int kuerze(int fd)
{
    if (const int fehler = melde(Speicherschritt::DateiKuerzen, fd))
        return fehler;
    return ::ftruncate(fd, 0) == 0 ? 0 : errno;
}

constexpr char temporaererAnfang[] = ".tessra-";
constexpr qsizetype temporaereZeichen = 6;

// The names mkostemp makes of Tessra's pattern, and no other.
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

bool selbeDatei(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A new file under a short name in the given folder, so it fits beside any name the file
// system accepts; it is readable by its owner only, and removed again unless moved into place.
// It stays locked while it exists, which keeps the clean-up of other saves away from it.
class TemporaereDatei
{
public:
    explicit TemporaereDatei(const QByteArray &ordner)
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
    ~TemporaereDatei()
    {
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TemporaereDatei(const TemporaereDatei &) = delete;
    TemporaereDatei &operator=(const TemporaereDatei &) = delete;

    // The errno value when the file could not be created, else 0.
    int fehler() const { return m_fehler; }
    int fd() const { return m_fd; }

    // Moves the file to `ziel` in one step; whatever had that name is replaced, a link as a
    // link. The folder still has to be synced to make it durable. Returns 0 or errno.
    int setzeEin(const QByteArray &ziel, std::optional<Speicherschritt> schritt = {})
    {
        if (const int fehler = melde(schritt))
            return fehler;
        if (::rename(m_name.constData(), ziel.constData()) != 0)
            return errno;
        m_name.clear();
        return 0;
    }

private:
    // False when another holds the lock or the name no longer leads to the file. A file
    // system without locks leaves the file unlocked, but no clean-up can lock it there either.
    static bool gesperrtUnter(int fd, const QByteArray &name)
    {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            return false;
        struct stat offen = {};
        struct stat benannt = {};
        return ::fstat(fd, &offen) == 0 && ::lstat(name.constData(), &benannt) == 0 &&
               selbeDatei(offen, benannt);
    }

    QByteArray m_name;
    int m_fd = -1;
    int m_fehler = 0;
};

// Removes a temporary file that a killed save left: only a plain file of one name that nobody
// holds a lock on, and only while the name still leads to the file that was locked.
void entferneWennVerwaist(int ordner, const QByteArray &name)
{
    const Deskriptor datei(::openat(ordner, name.constData(),
                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat offen = {};
    if (!datei || ::fstat(datei.get(), &offen) != 0 || !S_ISREG(offen.st_mode) ||
        offen.st_nlink != 1 || ::flock(datei.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    struct stat benannt = {};
    if (::fstatat(ordner, name.constData(), &benannt, AT_SYMLINK_NOFOLLOW) == 0 &&
        selbeDatei(offen, benannt))
        ::unlinkat(ordner, name.constData(), 0);
}

// A save killed on the way leaves its temporary file behind, up to the size of the file.
void raeumeAuf(const QByteArray &ordner)
{
    const Deskriptor ordnerFd(::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR *liste = ordnerFd ? ::fdopendir(::dup(ordnerFd.get())) : nullptr;
    if (!liste)
        return;
    std::vector<QByteArray> reste;
    while (const dirent *eintrag = ::readdir(liste)) {
        if (istTemporaererName(eintrag->d_name))
            reste.emplace_back(eintrag->d_name);
    }
    ::closedir(liste);
    for (const QByteArray &name : reste)
        entferneWennVerwaist(ordnerFd.get(), name);
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

// Has the disk start on what was written to a file from its start, every few megabytes,
// without waiting for it: the sync at the end then has little left to wait for, so it does not
// keep the window from painting for long. What the disk already holds, two steps back, leaves
// the system's cache, so a large result does not take as much fresh memory as it is long and
// push other files out of the cache.
class Vorausschreiben
{
public:
    explicit Vorausschreiben(int fd)
        : m_fd(fd)
    {
    }

    void bis(off64_t geschrieben)
    {
        constexpr off64_t abstand = off64_t(8) << 20;
        if (geschrieben - m_angestossen < abstand)
            return;
        // A failure here changes nothing: the sync at the end writes whatever is left. Neither
        // call waits for the disk, nor takes a write error from the sync that reports it, and
        // the cache keeps any page not yet on the disk.
        ::sync_file_range(m_fd, m_angestossen, geschrieben - m_angestossen, SYNC_FILE_RANGE_WRITE);
        // A length of 0 would mean the whole file.
        if (m_vorher > m_freigegeben)
            ::posix_fadvise(m_fd, m_freigegeben, m_vorher - m_freigegeben, POSIX_FADV_DONTNEED);
        m_freigegeben = m_vorher;
        m_vorher = m_angestossen;
        m_angestossen = geschrieben;
    }

private:
    int m_fd;
    off64_t m_angestossen = 0;
    off64_t m_vorher = 0;
    off64_t m_freigegeben = 0;
};

// Gathers the pieces of the content in a buffer of fixed size and writes it out when full.
class Ausgabe
{
public:
    Ausgabe(int fd, std::span<char> puffer)
        : m_fd(fd)
        , m_puffer(puffer)
        , m_voraus(fd)
    {
    }

    bool schreibe(QByteArrayView stueck)
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

    bool leere()
    {
        const size_t belegt = std::exchange(m_belegt, 0);
        return m_fehler == 0 && (belegt == 0 || schreibeAus(m_puffer.data(), belegt));
    }

    int fehler() const { return m_fehler; }

private:
    bool schreibeAus(const char *daten, size_t laenge)
    {
        m_fehler = schreibeAlles(m_fd, daten, laenge);
        m_geschrieben += off64_t(laenge);
        m_voraus.bis(m_geschrieben);
        return m_fehler == 0;
    }

    int m_fd;
    std::span<char> m_puffer;
    Vorausschreiben m_voraus;
    off64_t m_geschrieben = 0;
    size_t m_belegt = 0;
    int m_fehler = 0;
};

// Writes the whole content from the current position and makes it durable; 0 or errno.
// Allocates nothing, so it cannot fail halfway for lack of memory.
int schreibeInhalt(int fd, const Inhalt &inhalt, std::span<char> puffer,
                   Speicherschritt synchronisieren)
{
    Ausgabe ausgabe(fd, puffer);
    const Schreibziel ziel = [&ausgabe](QByteArrayView stueck) { return ausgabe.schreibe(stueck); };
    if (!inhalt(ziel) || !ausgabe.leere())
        return ausgabe.fehler() != 0 ? ausgabe.fehler() : EIO;
    return synchronisiere(fd, synchronisieren);
}

struct Kopierfehler
{
    int errnoWert = 0;
    bool beimLesen = false;
};

// Copies `von` from its start to its end onto the current position of `nach`: by the kernel
// where it can, which also lets a file system share the blocks, else through the buffer. It
// reads up to the end rather than a size taken earlier, so a file that grew is copied whole.
// `meldung` hears of the bytes copied out of `groesse`, every few milliseconds.
std::optional<Kopierfehler> kopiere(int von, int nach, std::span<char> puffer,
                                    const Fortschrittsmeldung &meldung = {}, qint64 groesse = 0)
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

// A copy gets the owner, group and permission bits of `vorbild` as far as the user may set
// them. Where it cannot get the group, the group's bits are dropped: they would open the copy
// to a group that may not read the original. The owner bits only ever serve the owner or the
// user, who has just read the file anyway.
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

// True when the new file got exactly the owner, group and mode of `vorbild`.
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

// Whether a new file moved into the file's place can be all the file was. Not when other names
// share the file (they would keep the old content), not when an access control list grants
// more than the mode shows, and not when the file is mounted onto its folder from elsewhere.
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

Ersetzungsfehler fehlerBei(Schritt schritt, const QString &pfad, int errnoWert,
                           Ort ort = Ort::Datei)
{
    return {schritt, Dateifehler::ausErrno(pfad, errnoWert, ort), false};
}

// Why a new file could not take the name `ziel`. In a sticky folder (such as /tmp) only an
// entry's owner may replace it: then it is that entry which is in the way, not the folder.
Dateifehler einsetzfehler(const QString &pfad, const QByteArray &ziel, const QByteArray &ordner,
                          int errnoWert)
{
    struct stat ordnerInfo = {};
    struct stat zielInfo = {};
    const uid_t ich = ::geteuid();
    if ((errnoWert == EPERM || errnoWert == EACCES) &&
        ::stat(ordner.constData(), &ordnerInfo) == 0 && (ordnerInfo.st_mode & S_ISVTX) &&
        ordnerInfo.st_uid != ich && ::lstat(ziel.constData(), &zielInfo) == 0 &&
        zielInfo.st_uid != ich)
        return {pfad, Grund::GehoertAnderemNutzer, {}};
    return Dateifehler::ausErrno(pfad, errnoWert, Ort::Ordner);
}

// The mark that a file is being rewritten in place: a small file in the backup's folder, named
// by the file's inode, which the rewrite keeps. It holds the backup's inode, so it speaks of
// this backup only; a backup made anew since leaves it without meaning.
QByteArray markeVon(const QByteArray &sicherungsordner, ino_t datei)
{
    return sicherungsordner + "/.tessra-unterbrochen-" + QByteArray::number(quint64(datei));
}

QByteArray dateinameVon(const QByteArray &pfad)
{
    return pfad.mid(pfad.lastIndexOf('/') + 1);
}

void zwischendurch(const Speicherverlauf &verlauf)
{
    if (verlauf.zwischendurch)
        verlauf.zwischendurch();
}

// Puts the mark in place for good before the file is touched; 0 or errno.
int setzeMarke(const QByteArray &marke, const QByteArray &kopie, ino_t sicherung,
               const QByteArray &datei)
{
    if (const int fehler = melde(Speicherschritt::MarkeSetzen))
        return fehler;
    const QByteArray ordner = ordnerVon(kopie);
    TemporaereDatei neu(ordner);
    if (neu.fehler() != 0)
        return neu.fehler();
    // The first line is what counts; the rest tells whoever finds the mark what it means.
    const QByteArray text = QByteArray::number(quint64(sicherung)) +
                            "\nTessra: Solange diese Datei besteht, ist das Speichern von " +
                            dateinameVon(datei) + " nicht abgeschlossen; " + dateinameVon(kopie) +
                            " enthält den Inhalt von vorher.\n";
    if (const int fehler = schreibeAlles(neu.fd(), text.constData(), size_t(text.size())))
        return fehler;
    if (const int fehler = synchronisiere(neu.fd()))
        return fehler;
    if (const int fehler = neu.setzeEin(marke))
        return fehler;
    const int fehler = synchronisiereOrdner(ordner);
    // A mark that may not last must not outlast this failed save either.
    if (fehler != 0)
        ::unlink(marke.constData());
    return fehler;
}

// Should the removal not reach the disk before a power cut, the mark comes back and tells of
// an interrupted save that was complete; the backup still holds the old content then.
void entferneMarke(const QByteArray &marke, std::optional<Speicherschritt> schritt = {})
{
    if (melde(schritt) == 0)
        ::unlink(marke.constData());
}

// Rewrites the file itself, which keeps its owner, group, mode, links and access control list.
// Only done once the backup is complete on disk: should writing fail halfway, the old content
// is copied back from it.
std::optional<Ersetzungsfehler> schreibeAnOrt(const QByteArray &ziel, const QString &pfad,
                                              const Inhalt &inhalt, int sicherung,
                                              std::span<char> puffer)
{
    const Deskriptor datei(::open(ziel.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!datei)
        return fehlerBei(Schritt::Ersetzen, pfad, errno);
    if (const int fehler = kuerze(datei.get()))
        return fehlerBei(Schritt::Ersetzen, pfad, fehler);
    const int fehler =
        schreibeInhalt(datei.get(), inhalt, puffer, Speicherschritt::DateiSynchronisieren);
    if (fehler == 0)
        return std::nullopt;
    const bool zurueck = kuerze(datei.get()) == 0 && ::lseek(datei.get(), 0, SEEK_SET) == 0 &&
                         !kopiere(sicherung, datei.get(), puffer) &&
                         synchronisiere(datei.get(), Speicherschritt::DateiSynchronisieren) == 0;
    auto ergebnis = fehlerBei(Schritt::Ersetzen, pfad, fehler);
    ergebnis.nurInSicherung = !zurueck;
    return ergebnis;
}

} // namespace

std::optional<Ersetzungsfehler> ersetzeMitSicherung(const QString &pfad, const QString &sicherung,
                                                    const Inhalt &inhalt,
                                                    const Speicherverlauf &verlauf)
{
    // What needs memory is taken before the first byte is written, so running out of it
    // changes nothing on disk.
    std::vector<char> puffer(puffergroesse);
    const QByteArray datei = QFile::encodeName(pfad);
    const QByteArray kopie = QFile::encodeName(sicherung);
    const QByteArray ziel = zielVon(datei);
    const QByteArray zielordner = ordnerVon(ziel);
    const QByteArray kopieordner = ordnerVon(kopie);
    raeumeAuf(kopieordner);
    struct stat kopieordnerInfo = {};
    struct stat zielordnerInfo = {};
    if (::stat(kopieordner.constData(), &kopieordnerInfo) != 0 ||
        ::stat(zielordner.constData(), &zielordnerInfo) != 0 ||
        !selbeDatei(kopieordnerInfo, zielordnerInfo))
        raeumeAuf(zielordner);

    Deskriptor alt(::open(datei.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info = {};
    if (!alt || ::fstat(alt.get(), &info) != 0)
        return fehlerBei(Schritt::Lesen, pfad, errno);
    if (!S_ISREG(info.st_mode))
        return Ersetzungsfehler{
            Schritt::Lesen,
            {pfad, S_ISDIR(info.st_mode) ? Grund::IstOrdner : Grund::KeineNormaleDatei, {}},
            false};

    struct stat kopieInfo = {};
    if (::stat(kopie.constData(), &kopieInfo) == 0 && selbeDatei(kopieInfo, info))
        return Ersetzungsfehler{
            Schritt::Sicherung, {sicherung, Grund::SicherungIstDatei, {}}, false};

    TemporaereDatei neueSicherung(kopieordner);
    if (neueSicherung.fehler() != 0)
        return fehlerBei(Schritt::Sicherung, sicherung, neueSicherung.fehler(), Ort::Ordner);
    if (const auto fehler =
            kopiere(alt.get(), neueSicherung.fd(), puffer, verlauf.kopie, qint64(info.st_size)))
        return fehler->beimLesen ? fehlerBei(Schritt::Lesen, pfad, fehler->errnoWert)
                                 : fehlerBei(Schritt::Sicherung, sicherung, fehler->errnoWert);
    uebertrageRechte(neueSicherung.fd(), info);
    struct stat sicherungInfo = {};
    if (::fstat(neueSicherung.fd(), &sicherungInfo) != 0)
        return fehlerBei(Schritt::Sicherung, sicherung, errno);
    if (const int fehler =
            synchronisiere(neueSicherung.fd(), Speicherschritt::SicherungSynchronisieren))
        return fehlerBei(Schritt::Sicherung, sicherung, fehler);
    const QByteArray marke = markeVon(kopieordner, info.st_ino);
    // The first step that changes a name: from here on the save runs to its end.
    const auto setzeSicherungEin = [&]() -> std::optional<Ersetzungsfehler> {
        if (verlauf.ohneAbbrechen)
            verlauf.ohneAbbrechen();
        if (const int fehler = neueSicherung.setzeEin(kopie, Speicherschritt::SicherungEinsetzen))
            return Ersetzungsfehler{Schritt::Sicherung,
                                    einsetzfehler(sicherung, kopie, kopieordner, fehler), false};
        if (const int fehler =
                synchronisiereOrdner(kopieordner, Speicherschritt::SicherungsordnerSynchronisieren))
            return fehlerBei(Schritt::Sicherung, sicherung, fehler);
        // The backup a mark of an interrupted save spoke of is gone now.
        entferneMarke(marke);
        zwischendurch(verlauf);
        return std::nullopt;
    };

    if (neueDateiKannErsetzen(alt.get(), info, zielordner)) {
        TemporaereDatei neu(zielordner);
        // A folder that takes no new entry, or an owner or group the user may not give, leaves
        // the rewrite in place.
        if (neu.fehler() == 0 && gleicheRechte(neu.fd(), info)) {
            // Written in full before the backup takes its name, so that until then a failure
            // or the user's "Abbrechen" leaves the file and the older backup as they were.
            if (const int fehler = schreibeInhalt(neu.fd(), inhalt, puffer,
                                                  Speicherschritt::ErgebnisSynchronisieren))
                return fehlerBei(Schritt::Ersetzen, pfad, fehler);
            if (auto fehler = setzeSicherungEin())
                return fehler;
            if (const int fehler = neu.setzeEin(ziel, Speicherschritt::ErgebnisEinsetzen))
                return Ersetzungsfehler{Schritt::Ersetzen,
                                        einsetzfehler(pfad, ziel, zielordner, fehler), false};
            // The file holds the result now: failing here must never read as "not saved", or
            // the next try would copy the result over the only copy of the old content.
            if (const int fehler =
                    synchronisiereOrdner(zielordner, Speicherschritt::OrdnerSynchronisieren))
                return fehlerBei(Schritt::Bestaetigen, pfad, fehler);
            // Its last name gone, the old file's space is freed when it is closed.
            alt.schliesse();
            zwischendurch(verlauf);
            return std::nullopt;
        }
    }
    if (auto fehler = setzeSicherungEin())
        return fehler;
    if (const int fehler = setzeMarke(marke, kopie, sicherungInfo.st_ino, datei))
        return fehlerBei(Schritt::Ersetzen, pfad, fehler, Ort::Ordner);
    auto fehler = schreibeAnOrt(ziel, pfad, inhalt, neueSicherung.fd(), puffer);
    // A rewrite that could not be undone keeps the mark: the backup is the only good copy.
    if (!fehler || !fehler->nurInSicherung)
        entferneMarke(marke, Speicherschritt::MarkeEntfernen);
    return fehler;
}

bool speichernUnterbrochen(const QString &pfad, const QString &sicherung)
{
    const QByteArray kopie = QFile::encodeName(sicherung);
    struct stat datei = {};
    struct stat alt = {};
    if (::stat(QFile::encodeName(pfad).constData(), &datei) != 0 ||
        ::lstat(kopie.constData(), &alt) != 0 || !S_ISREG(alt.st_mode))
        return false;
    const Deskriptor marke(::open(markeVon(ordnerVon(kopie), datei.st_ino).constData(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info = {};
    char text[32] = {};
    if (!marke || ::fstat(marke.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::read(marke.get(), text, sizeof text - 1) <= 0)
        return false;
    const QByteArray gelesen(text);
    return gelesen.left(gelesen.indexOf('\n')) == QByteArray::number(quint64(alt.st_ino));
}

std::optional<Dateifehler> schreibeDatei(const QString &pfad, const Inhalt &inhalt,
                                         const Speicherverlauf &verlauf)
{
    std::vector<char> puffer(puffergroesse);
    const QByteArray ziel = zielVon(QFile::encodeName(pfad));
    struct stat info = {};
    const bool vorhanden = ::stat(ziel.constData(), &info) == 0;
    if (vorhanden && S_ISDIR(info.st_mode))
        return Dateifehler{pfad, Grund::IstOrdner, {}};
    if (vorhanden && !S_ISREG(info.st_mode))
        return Dateifehler{pfad, Grund::KeineNormaleDatei, {}};

    const QByteArray ordner = ordnerVon(ziel);
    raeumeAuf(ordner);
    TemporaereDatei neu(ordner);
    if (neu.fehler() != 0)
        return Dateifehler::ausErrno(pfad, neu.fehler(), Ort::Ordner);
    if (vorhanden)
        uebertrageRechte(neu.fd(), info);
    else if (::fchmod(neu.fd(), rechteNeuerDateien()) != 0)
        return Dateifehler::ausErrno(pfad, errno);
    if (const int fehler =
            schreibeInhalt(neu.fd(), inhalt, puffer, Speicherschritt::ErgebnisSynchronisieren))
        return Dateifehler::ausErrno(pfad, fehler);
    if (verlauf.ohneAbbrechen)
        verlauf.ohneAbbrechen();
    if (const int fehler = neu.setzeEin(ziel, Speicherschritt::ErgebnisEinsetzen))
        return einsetzfehler(pfad, ziel, ordner, fehler);
    zwischendurch(verlauf);
    if (const int fehler = synchronisiereOrdner(ordner, Speicherschritt::OrdnerSynchronisieren))
        return Dateifehler::ausErrno(pfad, fehler);
    return std::nullopt;
}

Speicherbeobachtung::Speicherbeobachtung(Beobachter beobachter)
    : m_beobachter(std::move(beobachter))
    , m_vorher(::beobachter)
{
    ::beobachter = &m_beobachter;
}

Speicherbeobachtung::~Speicherbeobachtung()
{
    ::beobachter = m_vorher;
}
