#pragma once

#include "dateifehler.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the browse window shows of one folder: its subfolders and its files, both sorted by name
// without regard to case. A folder that cannot be read says why as a value, so the window can warn
// and stay where it was.
struct Ordnerinhalt
{
    QStringList ordner;
    QStringList dateien;
    // Files whose names are not UTF-8, sorted the same way, as shown: each stray byte a
    // replacement mark. No text leads back to them, so they can be listed but not opened.
    QStringList nichtUtf8;
    std::optional<Dateifehler> fehler;

    bool lesbar() const { return !fehler; }
    // Why the folder could not be read, as a German sentence for the user.
    QString fehlerText() const { return fehler ? fehler->grundText() : QString(); }

    // Every file is listed, hidden ones included; pipes, sockets and device nodes are left out,
    // because opening one for reading can block or has no text to offer.
    static Ordnerinhalt lesen(const QString &pfad);
    static Ordnerinhalt ausErrno(const QString &pfad, int errnoWert);
};
