#pragma once

#include "dateifehler.h"
#include "fortschritt.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// Whole-file reads and what tells a file and its version apart. Failures come back as values,
// never as exceptions. Writing lives in sicheresschreiben.h.

// Which file a path led to (device and inode) and what it held then (size, modification time
// and inode change time to the nanosecond): when any of it differs later, another program
// changed the file. A program can set the modification time back, but not the change time.
struct Dateistand
{
    dev_t geraet = 0;
    ino_t inode = 0;
    qint64 groesse = 0;
    qint64 sekunden = 0;
    qint64 nanosekunden = 0;
    qint64 statusSekunden = 0;
    qint64 statusNanosekunden = 0;

    static Dateistand aus(const struct stat &info);
    bool selbeDatei(const Dateistand &andere) const
    {
        return geraet == andere.geraet && inode == andere.inode;
    }
    bool operator==(const Dateistand &) const = default;
};

// The state of the file a path leads to, following symbolic links; nothing when there is none.
std::optional<Dateistand> dateistand(const QString &pfad);

// True for an existing regular file (or a link to one) that can be opened for reading.
// Folders, devices and pipes never pass, so probing a path can neither block nor mislead.
bool istLesbareDatei(const QString &pfad);
// Why the path names no file that istLesbareDatei() takes; nothing when it names one.
std::optional<Dateifehler> lesefehler(const QString &pfad);

// The whole file; `stand`, when given, receives the state of the file that was read, taken
// before reading, so that a change during the read counts as a change too. `meldung` hears of
// every few megabytes read.
std::variant<QByteArray, Dateifehler> leseDatei(const QString &pfad, Dateistand *stand = nullptr,
                                                const Fortschrittsmeldung &meldung = {});
