#include "speichermarke.h"

#include "posixdatei.h"
#include "sicheresschreiben.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include <QFile>

using namespace Posixdatei;

namespace {

QByteArray dateinameVon(const QByteArray &pfad)
{
    return pfad.mid(pfad.lastIndexOf('/') + 1);
}

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

} // namespace

namespace Speichermarke {

QByteArray pfadVon(const QByteArray &sicherungsordner, ino_t datei)
{
    return sicherungsordner + "/.tessra-unterbrochen-" + QByteArray::number(quint64(datei));
}

int setze(const QByteArray &marke, const QByteArray &kopie, ino_t sicherung,
          const QByteArray &datei)
{
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

void entferne(const QByteArray &marke)
{
    ::unlink(marke.constData());
}

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

} // namespace Speichermarke

bool speichernUnterbrochen(const QString &pfad, const QString &sicherung)
{
    const QByteArray kopie = QFile::encodeName(sicherung);
    struct stat datei = {};
    struct stat alt = {};
    if (::stat(QFile::encodeName(pfad).constData(), &datei) != 0 ||
        ::lstat(kopie.constData(), &alt) != 0 || !S_ISREG(alt.st_mode))
        return false;
    const Deskriptor marke(
        ::open(Speichermarke::pfadVon(ordnerVon(kopie), datei.st_ino).constData(),
               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info = {};
    char text[32] = {};
    if (!marke || ::fstat(marke.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::read(marke.get(), text, sizeof text - 1) <= 0)
        return false;
    const QByteArray gelesen(text);
    return gelesen.left(gelesen.indexOf('\n')) == QByteArray::number(quint64(alt.st_ino));
}
