#pragma once

#include "referenzmodell.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// One whole cleaning run through the real engine and a fake window: the file is written to
// `ordner`, loaded with the delimiter as the user's own text, every group is settled by keeping
// the line listed first unedited, and a finished run is saved with "Speichern unter...".
namespace Testlauf {

struct Ergebnis
{
    Referenzmodell::Ausgang ausgang = Referenzmodell::Ausgang::ZuKurz;
    QByteArray geschrieben;
    // Empty unless the run did something no user could expect (an unknown message, a step
    // that never ends, a changed input file).
    QString fehler;
};

Ergebnis behalteErste(const QString &ordner, QByteArrayView datei, const QString &trennzeichen);

} // namespace Testlauf
