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
        // The folder does not let the user create, rename or remove entries in it.
        OrdnerGesperrt,
        Schreibgeschuetzt,
        KeinPlatz,
        KontingentErschoepft,
        DateiZuGross,
        KeinArbeitsspeicher,
        NameZuLang,
        NameUngueltig,
        ZuVieleVerknuepfungen,
        ZuVieleEintraege,
        SchonVorhanden,
        AlsProgrammInBenutzung,
        InBenutzung,
        Gesperrt,
        AndererDatentraeger,
        // The backup's name leads to the file itself, so backing up would overwrite it.
        SicherungIstDatei,
        // The entry belongs to another user in a folder where only an entry's owner may
        // replace it (a sticky folder such as /tmp).
        GehoertAnderemNutzer,
        // The name's bytes are not UTF-8, so no text names the file.
        NameNichtUtf8,
        KeinDatentraeger,
        NichtErreichbar,
        EinAusgabe,
        Sonstiges,
    };

    // What a failed system call was working on: a permission error on the folder means that
    // no entry may be created there, which is a different message from a locked file.
    enum class Ort { Datei, Ordner };

    QString pfad;
    Grund grund = Grund::Sonstiges;
    // The system's own words, shown only when no German reason fits.
    QString systemtext;

    // The reason as a German sentence for the user.
    QString grundText() const;
    // Why a file cannot be read, in the few words the status line has room for.
    QString lesegrundKurz() const;
    // The whole message: the path, what could not be done to it ("kann nicht gelesen
    // werden:"), the reason.
    QString meldung(const QString &vorgang) const;

    // The reason for the errno value a failed system call left, or the fallback when it says
    // nothing useful.
    static Dateifehler ausErrno(const QString &pfad, int errnoWert, const QString &systemtext,
                                Ort ort = Ort::Datei);
    // The same with the system's words for that errno value.
    static Dateifehler ausErrno(const QString &pfad, int errnoWert, Ort ort = Ort::Datei);
};
