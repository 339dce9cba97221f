#include "dateifehler.h"

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFileInfo>

QString Dateifehler::grundText() const
{
    switch (grund) {
    case Grund::NichtGefunden:
        return QStringLiteral("Die Datei oder der Ordner existiert nicht (mehr).");
    case Grund::IstOrdner:
        return QStringLiteral("Der Pfad bezeichnet einen Ordner, keine Datei.");
    case Grund::KeineNormaleDatei:
        return QStringLiteral("Der Pfad bezeichnet keine gewöhnliche Datei (etwa ein Gerät).");
    case Grund::KeinZugriff:
        return QStringLiteral("Zugriff verweigert: Die Berechtigung fehlt.");
    case Grund::OrdnerGesperrt:
        return QStringLiteral("Zugriff verweigert: Im Ordner ") +
               QDir::toNativeSeparators(QFileInfo(pfad).absolutePath()) +
               QStringLiteral(" dürfen keine Dateien angelegt werden.");
    case Grund::Schreibgeschuetzt:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case Grund::KeinPlatz:
        return QStringLiteral("Auf dem Datenträger ist nicht genug Platz.");
    case Grund::KontingentErschoepft:
        return QStringLiteral("Auf dem Datenträger ist nicht genug Platz: Ihr Speicherkontingent "
                              "ist erschöpft.");
    case Grund::DateiZuGross:
        return QStringLiteral("Die Datei ist zu groß für diesen Datenträger.");
    case Grund::KeinArbeitsspeicher:
        return QStringLiteral("Es ist nicht genug Arbeitsspeicher frei.");
    case Grund::NameZuLang:
        return QStringLiteral("Der Name der Datei oder eines Ordners ist zu lang.");
    case Grund::NameUngueltig:
        return QStringLiteral("Dieser Name ist auf dem Datenträger nicht erlaubt.");
    case Grund::ZuVieleVerknuepfungen:
        return QStringLiteral("Der Pfad führt über zu viele symbolische Verknüpfungen (oder im "
                              "Kreis).");
    case Grund::ZuVieleEintraege:
        return QStringLiteral("Der Ordner kann keine weiteren Einträge aufnehmen.");
    case Grund::SchonVorhanden:
        return QStringLiteral("Eine Datei dieses Namens ist schon vorhanden.");
    case Grund::AlsProgrammInBenutzung:
        return QStringLiteral("Die Datei wird gerade als Programm ausgeführt.");
    case Grund::InBenutzung:
        return QStringLiteral("Die Datei oder der Ordner wird gerade vom System benutzt.");
    case Grund::Gesperrt:
        return QStringLiteral("Die Datei ist von einem anderen Programm gesperrt.");
    case Grund::AndererDatentraeger:
        return QStringLiteral("Die Datei liegt auf einem anderen Datenträger als ihr Ordner.");
    case Grund::SicherungIstDatei:
        return QStringLiteral("Dieser Name führt zur Datei selbst; die Sicherungskopie würde sie "
                              "überschreiben. Es wurde nichts geschrieben.");
    case Grund::GehoertAnderemNutzer:
        return QStringLiteral("Die Datei gehört einem anderen Nutzer. In diesem Ordner darf nur "
                              "ihr Besitzer sie ersetzen oder löschen.");
    case Grund::NameNichtUtf8:
        return QStringLiteral("Der Name der Datei enthält Zeichen, die nicht UTF-8 sind; unter "
                              "diesem Namen kann Tessra sie nicht öffnen. Bitte die Datei "
                              "umbenennen (etwa im Dateimanager).");
    case Grund::KeinDatentraeger:
        return QStringLiteral("Im Laufwerk ist kein Datenträger.");
    case Grund::NichtErreichbar:
        return QStringLiteral("Das Laufwerk ist nicht erreichbar.");
    case Grund::EinAusgabe:
        return QStringLiteral("Beim Zugriff auf den Datenträger trat ein Ein-/Ausgabefehler auf.");
    case Grund::Sonstiges:
        break;
    }
    if (systemtext.isEmpty())
        return QStringLiteral("Unbekannter Fehler.");
    return QStringLiteral("Unbekannter Fehler (") + systemtext + QStringLiteral(").");
}

QString Dateifehler::lesegrundKurz() const
{
    switch (grund) {
    case Grund::NichtGefunden:
        return QStringLiteral("Datei nicht gefunden");
    case Grund::IstOrdner:
        return QStringLiteral("Der Pfad nennt einen Ordner");
    case Grund::KeineNormaleDatei:
        return QStringLiteral("Keine gewöhnliche Datei");
    case Grund::KeinZugriff:
        return QStringLiteral("Keine Leseberechtigung für die Datei");
    default:
        return QStringLiteral("Datei nicht lesbar");
    }
}

QString Dateifehler::meldung(const QString &vorgang) const
{
    return QStringLiteral("Die Datei\n") + pfad + u'\n' + vorgang + u'\n' + grundText();
}

Dateifehler Dateifehler::ausErrno(const QString &pfad, int errnoWert, const QString &systemtext,
                                  Ort ort)
{
    const auto grund = [errnoWert, ort] {
        switch (errnoWert) {
        case ENOENT:
        case ENOTDIR:
            return Grund::NichtGefunden;
        case EISDIR:
            return Grund::IstOrdner;
        case EACCES:
        case EPERM:
            return ort == Ort::Ordner ? Grund::OrdnerGesperrt : Grund::KeinZugriff;
        case EROFS:
            return Grund::Schreibgeschuetzt;
        case ENOSPC:
            return Grund::KeinPlatz;
        case EDQUOT:
            return Grund::KontingentErschoepft;
        case EFBIG:
            return Grund::DateiZuGross;
        case ENOMEM:
            return Grund::KeinArbeitsspeicher;
        case ENAMETOOLONG:
            return Grund::NameZuLang;
        case EINVAL:
            return Grund::NameUngueltig;
        case ELOOP:
            return Grund::ZuVieleVerknuepfungen;
        case EMLINK:
            return Grund::ZuVieleEintraege;
        case EEXIST:
            return Grund::SchonVorhanden;
        case ETXTBSY:
            return Grund::AlsProgrammInBenutzung;
        case EBUSY:
            return Grund::InBenutzung;
        case EAGAIN:
            return Grund::Gesperrt;
        case EXDEV:
            return Grund::AndererDatentraeger;
        case ENOMEDIUM:
            return Grund::KeinDatentraeger;
        case ENODEV:
        case ENXIO:
        case ESTALE:
        case ENOTCONN:
        case EHOSTDOWN:
        case EHOSTUNREACH:
            return Grund::NichtErreichbar;
        case EIO:
            return Grund::EinAusgabe;
        default:
            return Grund::Sonstiges;
        }
    }();
    return {pfad, grund, systemtext};
}

Dateifehler Dateifehler::ausErrno(const QString &pfad, int errnoWert, Ort ort)
{
    return ausErrno(pfad, errnoWert, QString::fromLocal8Bit(std::strerror(errnoWert)), ort);
}
