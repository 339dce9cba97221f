#include "sicheresschreiben.h"

#include "posixdatei.h"
#include "speichermarke.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <span>
#include <vector>

#include <QByteArray>
#include <QFile>

using namespace Posixdatei;

namespace {

using Grund = Dateifehler::Grund;
using Ort = Dateifehler::Ort;
using Schritt = Ersetzungsfehler::Schritt;

// A million short lines become a few dozen writes; next to the loaded file it does not count.
constexpr size_t puffergroesse = size_t(1) << 20;

// Takes a step that touches the disk unless the watching test fails it first; 0 or errno.
template <typename Tun>
int tue(const Speicherverlauf &verlauf, Speicherschritt schritt, Tun tun, int fd = -1)
{
    if (verlauf.beobachter) {
        if (const int fehler = verlauf.beobachter(schritt, fd))
            return fehler;
    }
    return tun();
}

void zwischendurch(const Speicherverlauf &verlauf)
{
    if (verlauf.zwischendurch)
        verlauf.zwischendurch();
}

void ohneAbbrechen(const Speicherverlauf &verlauf)
{
    if (verlauf.ohneAbbrechen)
        verlauf.ohneAbbrechen();
}

// Writes the whole content from the current position and makes it durable; 0 or errno.
// Allocates nothing, so it cannot fail halfway for lack of memory.
int schreibeInhalt(int fd, const Inhalt &inhalt, std::span<char> puffer,
                   const Speicherverlauf &verlauf, Speicherschritt synchronisieren)
{
    Ausgabe ausgabe(fd, puffer);
    const Schreibziel ziel = [&ausgabe](QByteArrayView stueck) { return ausgabe.schreibe(stueck); };
    if (!inhalt(ziel) || !ausgabe.leere())
        return ausgabe.fehler() != 0 ? ausgabe.fehler() : EIO;
    return tue(
        verlauf, synchronisieren, [fd] { return synchronisiere(fd); }, fd);
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

// One "Speichern (ersetzen)": the file as it was opened, its backup written beside the backup's
// name, and the names both take in the end.
class Ersetzung
{
public:
    Ersetzung(const QString &pfad, const QString &sicherung, const Speicherverlauf &verlauf);

    // Removes what killed saves left in the folders this one writes to.
    void raeumeAuf();
    std::optional<Ersetzungsfehler> oeffneDatei();
    // The backup, complete on disk but not yet under its name.
    std::optional<Ersetzungsfehler> schreibeSicherung();

    bool neueDateiKannErsetzen() const;
    const QByteArray &zielordner() const { return m_zielordner; }
    const struct stat &dateiInfo() const { return m_info; }

    std::optional<Ersetzungsfehler> ersetzeDurchNeueDatei(TemporaereDatei &neu,
                                                          const Inhalt &inhalt);
    std::optional<Ersetzungsfehler> schreibeAnOrtUm(const Inhalt &inhalt);

private:
    std::optional<Ersetzungsfehler> setzeSicherungEin();
    std::optional<Ersetzungsfehler> ueberschreibeDatei(const Inhalt &inhalt);
    bool stelleDateiWiederHer(int datei);

    const QString &m_pfad;
    const QString &m_sicherung;
    const Speicherverlauf &m_verlauf;
    std::vector<char> m_puffer;
    QByteArray m_datei;
    QByteArray m_kopie;
    QByteArray m_ziel;
    QByteArray m_zielordner;
    QByteArray m_kopieordner;
    QByteArray m_marke;
    std::optional<Deskriptor> m_alt;
    struct stat m_info = {};
    std::optional<TemporaereDatei> m_neueSicherung;
    ino_t m_sicherungInode = 0;
};

Ersetzung::Ersetzung(const QString &pfad, const QString &sicherung, const Speicherverlauf &verlauf)
    : m_pfad(pfad)
    , m_sicherung(sicherung)
    , m_verlauf(verlauf)
    // What needs memory is taken before the first byte is written, so running out of it
    // changes nothing on disk.
    , m_puffer(puffergroesse)
    , m_datei(QFile::encodeName(pfad))
    , m_kopie(QFile::encodeName(sicherung))
    , m_ziel(zielVon(m_datei))
    , m_zielordner(ordnerVon(m_ziel))
    , m_kopieordner(ordnerVon(m_kopie))
{
}

void Ersetzung::raeumeAuf()
{
    Speichermarke::raeumeAuf(m_kopieordner);
    struct stat kopieordnerInfo = {};
    struct stat zielordnerInfo = {};
    if (::stat(m_kopieordner.constData(), &kopieordnerInfo) != 0 ||
        ::stat(m_zielordner.constData(), &zielordnerInfo) != 0 ||
        !selbeDatei(kopieordnerInfo, zielordnerInfo))
        Speichermarke::raeumeAuf(m_zielordner);
}

std::optional<Ersetzungsfehler> Ersetzung::oeffneDatei()
{
    const Deskriptor &alt =
        m_alt.emplace(::open(m_datei.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!alt || ::fstat(alt.get(), &m_info) != 0)
        return fehlerBei(Schritt::Lesen, m_pfad, errno);
    if (!S_ISREG(m_info.st_mode))
        return Ersetzungsfehler{
            Schritt::Lesen,
            {m_pfad, S_ISDIR(m_info.st_mode) ? Grund::IstOrdner : Grund::KeineNormaleDatei, {}},
            false};
    m_marke = Speichermarke::pfadVon(m_kopieordner, m_info.st_ino);
    return std::nullopt;
}

std::optional<Ersetzungsfehler> Ersetzung::schreibeSicherung()
{
    struct stat kopieInfo = {};
    if (::stat(m_kopie.constData(), &kopieInfo) == 0 && selbeDatei(kopieInfo, m_info))
        return Ersetzungsfehler{
            Schritt::Sicherung, {m_sicherung, Grund::SicherungIstDatei, {}}, false};
    const TemporaereDatei &neu = m_neueSicherung.emplace(m_kopieordner);
    if (neu.fehler() != 0)
        return fehlerBei(Schritt::Sicherung, m_sicherung, neu.fehler(), Ort::Ordner);
    if (const auto fehler =
            kopiere(m_alt->get(), neu.fd(), m_puffer, m_verlauf.kopie, qint64(m_info.st_size)))
        return fehler->beimLesen ? fehlerBei(Schritt::Lesen, m_pfad, fehler->errnoWert)
                                 : fehlerBei(Schritt::Sicherung, m_sicherung, fehler->errnoWert);
    uebertrageRechte(neu.fd(), m_info);
    struct stat sicherungInfo = {};
    if (::fstat(neu.fd(), &sicherungInfo) != 0)
        return fehlerBei(Schritt::Sicherung, m_sicherung, errno);
    m_sicherungInode = sicherungInfo.st_ino;
    const int fd = neu.fd();
    const auto synchronisieren = [fd] { return synchronisiere(fd); };
    if (const int fehler =
            tue(m_verlauf, Speicherschritt::SicherungSynchronisieren, synchronisieren, fd))
        return fehlerBei(Schritt::Sicherung, m_sicherung, fehler);
    return std::nullopt;
}

bool Ersetzung::neueDateiKannErsetzen() const
{
    return Posixdatei::neueDateiKannErsetzen(m_alt->get(), m_info, m_zielordner);
}

// The first step that changes a name: from here on the save runs to its end.
std::optional<Ersetzungsfehler> Ersetzung::setzeSicherungEin()
{
    ohneAbbrechen(m_verlauf);
    if (const int fehler = tue(m_verlauf, Speicherschritt::SicherungEinsetzen,
                               [this] { return m_neueSicherung->setzeEin(m_kopie); }))
        return Ersetzungsfehler{Schritt::Sicherung,
                                einsetzfehler(m_sicherung, m_kopie, m_kopieordner, fehler), false};
    if (const int fehler = tue(m_verlauf, Speicherschritt::SicherungsordnerSynchronisieren,
                               [this] { return synchronisiereOrdner(m_kopieordner); }))
        return fehlerBei(Schritt::Sicherung, m_sicherung, fehler);
    // The backup a mark of an interrupted save spoke of is gone now.
    Speichermarke::entferne(m_marke);
    zwischendurch(m_verlauf);
    return std::nullopt;
}

// Written in full before the backup takes its name, so that until then a failure or the user's
// "Abbrechen" leaves the file and the older backup as they were.
std::optional<Ersetzungsfehler> Ersetzung::ersetzeDurchNeueDatei(TemporaereDatei &neu,
                                                                 const Inhalt &inhalt)
{
    if (const int fehler = schreibeInhalt(neu.fd(), inhalt, m_puffer, m_verlauf,
                                          Speicherschritt::ErgebnisSynchronisieren))
        return fehlerBei(Schritt::Ersetzen, m_pfad, fehler);
    if (auto fehler = setzeSicherungEin())
        return fehler;
    if (const int fehler = tue(m_verlauf, Speicherschritt::ErgebnisEinsetzen,
                               [&] { return neu.setzeEin(m_ziel); }))
        return Ersetzungsfehler{Schritt::Ersetzen,
                                einsetzfehler(m_pfad, m_ziel, m_zielordner, fehler), false};
    // The file holds the result now: failing here must never read as "not saved", or the next
    // try would copy the result over the only copy of the old content.
    if (const int fehler = tue(m_verlauf, Speicherschritt::OrdnerSynchronisieren,
                               [this] { return synchronisiereOrdner(m_zielordner); }))
        return fehlerBei(Schritt::Bestaetigen, m_pfad, fehler);
    // Its last name gone, the old file's space is freed when it is closed.
    m_alt->schliesse();
    zwischendurch(m_verlauf);
    return std::nullopt;
}

// The file is touched only once the backup is safely on disk and the mark in place, which
// outlasts a crash halfway.
std::optional<Ersetzungsfehler> Ersetzung::schreibeAnOrtUm(const Inhalt &inhalt)
{
    if (auto fehler = setzeSicherungEin())
        return fehler;
    if (const int fehler = tue(m_verlauf, Speicherschritt::MarkeSetzen, [this] {
            return Speichermarke::setze(m_marke, m_kopie, m_sicherungInode, m_datei);
        }))
        return fehlerBei(Schritt::Ersetzen, m_pfad, fehler, Ort::Ordner);
    auto fehler = ueberschreibeDatei(inhalt);
    // A rewrite that could not be undone keeps the mark: the backup is the only good copy.
    if (!fehler || !fehler->nurInSicherung) {
        tue(m_verlauf, Speicherschritt::MarkeEntfernen, [this] {
            Speichermarke::entferne(m_marke);
            return 0;
        });
    }
    return fehler;
}

// Rewrites the file itself, which keeps its owner, group, mode, links and access control list.
// Should writing fail halfway, the old content is copied back from the backup.
std::optional<Ersetzungsfehler> Ersetzung::ueberschreibeDatei(const Inhalt &inhalt)
{
    const Deskriptor datei(::open(m_ziel.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!datei)
        return fehlerBei(Schritt::Ersetzen, m_pfad, errno);
    const int fd = datei.get();
    const auto kuerzen = [fd] { return kuerze(fd); };
    if (const int fehler = tue(m_verlauf, Speicherschritt::DateiKuerzen, kuerzen, fd))
        return fehlerBei(Schritt::Ersetzen, m_pfad, fehler);
    const int fehler =
        schreibeInhalt(fd, inhalt, m_puffer, m_verlauf, Speicherschritt::DateiSynchronisieren);
    if (fehler == 0)
        return std::nullopt;
    auto ergebnis = fehlerBei(Schritt::Ersetzen, m_pfad, fehler);
    ergebnis.nurInSicherung = !stelleDateiWiederHer(fd);
    return ergebnis;
}

// Puts the old bytes back exactly, from the start; false when even that failed.
bool Ersetzung::stelleDateiWiederHer(int datei)
{
    const auto kuerzen = [datei] { return kuerze(datei); };
    const auto synchronisieren = [datei] { return synchronisiere(datei); };
    return tue(m_verlauf, Speicherschritt::DateiKuerzen, kuerzen, datei) == 0 &&
           ::lseek(datei, 0, SEEK_SET) == 0 && !kopiere(m_neueSicherung->fd(), datei, m_puffer) &&
           tue(m_verlauf, Speicherschritt::DateiSynchronisieren, synchronisieren, datei) == 0;
}

} // namespace

std::optional<Ersetzungsfehler> ersetzeMitSicherung(const QString &pfad, const QString &sicherung,
                                                    const Inhalt &inhalt,
                                                    const Speicherverlauf &verlauf)
{
    Ersetzung ersetzung(pfad, sicherung, verlauf);
    ersetzung.raeumeAuf();
    if (auto fehler = ersetzung.oeffneDatei())
        return fehler;
    if (auto fehler = ersetzung.schreibeSicherung())
        return fehler;
    if (ersetzung.neueDateiKannErsetzen()) {
        TemporaereDatei neu(ersetzung.zielordner());
        // A folder that takes no new entry, or an owner or group the user may not give, leaves
        // the rewrite in place.
        if (neu.fehler() == 0 && gleicheRechte(neu.fd(), ersetzung.dateiInfo()))
            return ersetzung.ersetzeDurchNeueDatei(neu, inhalt);
    }
    return ersetzung.schreibeAnOrtUm(inhalt);
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
    Speichermarke::raeumeAuf(ordner);
    TemporaereDatei neu(ordner);
    if (neu.fehler() != 0)
        return Dateifehler::ausErrno(pfad, neu.fehler(), Ort::Ordner);
    if (vorhanden)
        uebertrageRechte(neu.fd(), info);
    else if (::fchmod(neu.fd(), rechteNeuerDateien()) != 0)
        return Dateifehler::ausErrno(pfad, errno);
    if (const int fehler = schreibeInhalt(neu.fd(), inhalt, puffer, verlauf,
                                          Speicherschritt::ErgebnisSynchronisieren))
        return Dateifehler::ausErrno(pfad, fehler);
    ohneAbbrechen(verlauf);
    if (const int fehler =
            tue(verlauf, Speicherschritt::ErgebnisEinsetzen, [&] { return neu.setzeEin(ziel); }))
        return einsetzfehler(pfad, ziel, ordner, fehler);
    zwischendurch(verlauf);
    if (const int fehler = tue(verlauf, Speicherschritt::OrdnerSynchronisieren,
                               [&] { return synchronisiereOrdner(ordner); }))
        return Dateifehler::ausErrno(pfad, fehler);
    return std::nullopt;
}
