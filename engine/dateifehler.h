#pragma once

#include <QString>

// Why a file or folder could not be read or written, as a value: the engine turns it into the
// German text of its warning box, tests compare the reason itself.
struct Dateifehler
{
    enum class Grund {
        NichtGefunden,
        IstOrdner,
        KeineNormaleDatei,
        KeinZugriff,
        Schreibgeschuetzt,
        KeinPlatz,
        KeinDatentraeger,
        NichtErreichbar,
        EinAusgabe,
        Sonstiges,
    };

    QString pfad;
    Grund grund = Grund::Sonstiges;
    // The system's own words, shown only when no German reason fits.
    QString systemtext;

    // The reason as a German sentence for the user.
    QString grundText() const;

    // The reason for the errno value a failed system call left, or the fallback when it says
    // nothing useful.
    static Dateifehler ausErrno(const QString &pfad, int errnoWert, const QString &systemtext);
};
