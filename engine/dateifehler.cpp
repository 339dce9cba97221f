#include "dateifehler.h"

#include <cerrno>

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
    case Grund::Schreibgeschuetzt:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case Grund::KeinPlatz:
        return QStringLiteral("Auf dem Datenträger ist nicht genug Platz.");
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

Dateifehler Dateifehler::ausErrno(const QString &pfad, int errnoWert, const QString &systemtext)
{
    const auto grund = [errnoWert] {
        switch (errnoWert) {
        case ENOENT:
        case ENOTDIR:
            return Grund::NichtGefunden;
        case EISDIR:
            return Grund::IstOrdner;
        case EACCES:
        case EPERM:
            return Grund::KeinZugriff;
        case EROFS:
            return Grund::Schreibgeschuetzt;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return Grund::KeinPlatz;
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
