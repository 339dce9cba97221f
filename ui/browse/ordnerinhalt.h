#pragma once

#include <QString>
#include <QStringList>

// What the browse window shows of one folder: its subfolders and its files, both sorted by name
// without regard to case. A folder that cannot be read says why as a value, so the window can warn
// and stay where it was.
struct Ordnerinhalt
{
    enum class Fehler {
        Keiner,
        NichtGefunden,
        KeinZugriff,
        KeinDatentraeger,
        NichtErreichbar,
        EinAusgabe,
        Sonstiges,
    };

    QStringList ordner;
    QStringList dateien;
    Fehler fehler = Fehler::Keiner;
    // The system's own words, shown only when no German reason fits.
    QString systemtext;

    bool lesbar() const { return fehler == Fehler::Keiner; }
    // Why the folder could not be read, as a German sentence for the user.
    QString fehlerText() const;

    // Every file is listed, hidden ones included; pipes, sockets and device nodes are left out,
    // because opening one for reading can block or has no text to offer.
    static Ordnerinhalt lesen(const QString &pfad);
    static Ordnerinhalt ausErrno(int errnoWert);
};
