#pragma once

#include "textdatei.h"

#include <QString>

#include <optional>

// Exports use tab, semicolon or comma. A file split by a delimiter that none of its records
// holds has no columns: each whole record would be read as its serial number, and a run over
// such "groups" throws every decision away at its end. So loading checks the choice first.

struct Trennzeichenvorschlag
{
    QString trennzeichen;
    // The records that hold it outside quotes, of all records of the file.
    qsizetype saetze = 0;
    qsizetype von = 0;
};

// The usual delimiter that more than half of the records hold outside quotes, the one held by
// the most of them (tab before semicolon before comma on a tie), but only when the chosen
// delimiter stands outside quotes in no record; nothing otherwise. `datei` is split with the
// chosen delimiter, as loading split it.
std::optional<Trennzeichenvorschlag> schlageTrennzeichenVor(const Textdatei &datei,
                                                            const QString &gewaehlt);

// The delimiter as the window names it: "Tab", "Semikolon", "Komma", or its text in quotes.
QString trennzeichenName(const QString &trennzeichen);
