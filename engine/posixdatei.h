#pragma once

#include "fortschritt.h"

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <span>

#include <QByteArray>
#include <QByteArrayView>

// What saving asks of the system beyond plain reads and writes: descriptors that close
// themselves, temporary files that no clean-up takes away while they are written, copies the
// kernel makes where it can, and permissions carried from one file to another. Failures come
// back as errno values, 0 for none.
namespace Posixdatei {

class Deskriptor
{
public:
    explicit Deskriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Deskriptor();
    Deskriptor(const Deskriptor &) = delete;
    Deskriptor &operator=(const Deskriptor &) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void schliesse();

private:
    int m_fd;
};

// The folder that holds an entry, as the path names it.
QByteArray ordnerVon(const QByteArray &pfad);
// The file a path leads to, so that a symbolic link stays a link and its target gets the new
// content. A path that leads nowhere names a new file (a dangling link is replaced, not
// followed to wherever it points).
QByteArray zielVon(const QByteArray &pfad);
bool selbeDatei(const struct stat &a, const struct stat &b);

int synchronisiere(int fd);
// Makes a rename in the folder durable: without it a power cut can bring the old entry back.
int synchronisiereOrdner(const QByteArray &ordner);
int kuerze(int fd);
int schreibeAlles(int fd, const char *daten, size_t laenge);

// The names TemporaereDatei gives, and no other: ".tessra-" and six letters or digits.
bool istTemporaererName(QByteArrayView name);

// A new file under a short name in the given folder, so it fits beside any name the file
// system accepts; it is readable by its owner only, and removed again unless moved into place.
// It stays locked while it exists, which keeps the clean-up of other saves away from it.
class TemporaereDatei
{
public:
    explicit TemporaereDatei(const QByteArray &ordner);
    ~TemporaereDatei();
    TemporaereDatei(const TemporaereDatei &) = delete;
    TemporaereDatei &operator=(const TemporaereDatei &) = delete;

    // The errno value when the file could not be created, else 0.
    int fehler() const { return m_fehler; }
    int fd() const { return m_fd; }

    // Moves the file to `ziel` in one step; whatever had that name is replaced, a link as a
    // link. The folder still has to be synced to make it durable.
    int setzeEin(const QByteArray &ziel);

private:
    QByteArray m_name;
    int m_fd = -1;
    int m_fehler = 0;
};

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

    void bis(off64_t geschrieben);

private:
    int m_fd;
    off64_t m_angestossen = 0;
    off64_t m_vorher = 0;
    off64_t m_freigegeben = 0;
};

// Gathers the pieces of a content in a buffer of fixed size and writes it out when full. It
// allocates nothing, so it cannot fail halfway for lack of memory.
class Ausgabe
{
public:
    Ausgabe(int fd, std::span<char> puffer);

    // False once writing failed.
    bool schreibe(QByteArrayView stueck);
    bool leere();
    int fehler() const { return m_fehler; }

private:
    bool schreibeAus(const char *daten, size_t laenge);

    int m_fd;
    std::span<char> m_puffer;
    Vorausschreiben m_voraus;
    off64_t m_geschrieben = 0;
    size_t m_belegt = 0;
    int m_fehler = 0;
};

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
                                    const Fortschrittsmeldung &meldung = {}, qint64 groesse = 0);

// A copy gets the owner, group and permission bits of `vorbild` as far as the user may set
// them. Where it cannot get the group, the group's bits are dropped: they would open the copy
// to a group that may not read the original. The owner bits only ever serve the owner or the
// user, who has just read the file anyway.
void uebertrageRechte(int fd, const struct stat &vorbild);
// True when the new file got exactly the owner, group and mode of `vorbild`.
bool gleicheRechte(int fd, const struct stat &vorbild);
// Whether a new file moved into the file's place can be all the file was. Not when other names
// share the file (they would keep the old content), not when an access control list grants
// more than the mode shows, and not when the file is mounted onto its folder from elsewhere.
bool neueDateiKannErsetzen(int fd, const struct stat &info, const QByteArray &ordner);
mode_t rechteNeuerDateien();

} // namespace Posixdatei
