#pragma once

#include "kriterium.h"
#include "referenzmodell.h"
#include "schluesselregel.h"

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
    // The load said that a quote made it read the file line by line.
    bool zeilenweise = false;
    // Empty unless the run did something no user could expect (an unknown message, a step
    // that never ends, a changed input file).
    QString fehler;
};

Ergebnis behalteErste(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                      const Schluesselregel &regel = {});

// The run with the suggestion's criterion chosen before loading: the first `weiter` groups are
// kept by "Weiter" with the suggested line the engine selected, the rest by "Alle weiteren
// Gruppen: Vorschlag behalten".
Ergebnis behalteVorschlag(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                          const Kriterium &kriterium, const Schluesselregel &regel = {},
                          int weiter = 0);

// The folder the fuzz targets write their runs to: `make fuzz` hands one over in
// TESSRA_FUZZ_ORDNER, otherwise a temporary one in memory where there is /dev/shm.
QString arbeitsordner();

// How the groups of a run are settled: the first `vorher` by "Weiter" keeping the first line;
// from there on by the rule that keeps the first or (`letzte`) the last line, or, with
// `gleicheAutomatisch`, by keeping the first with the setting for identical groups switched on.
struct Regelfall
{
    bool letzte = false;
    int vorher = 0;
    bool gleicheAutomatisch = false;
};

// Runs the file as `fall` says, through the command and by clicking "Weiter" through every
// group, and checks both against each other and against the model; empty when all holds,
// otherwise what broke.
QString pruefeRegeln(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                     const Regelfall &fall);

} // namespace Testlauf
