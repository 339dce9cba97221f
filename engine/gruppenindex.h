#pragma once

#include "seriennummer.h"
#include "textdatei.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Which lines share a serial number, worked out once when a file is loaded, so that a search
// step costs only the lines it passes and the group it shows, however long the file is.
// Serial numbers are compared whole: 12 and 123 are different numbers.
class Gruppenindex
{
public:
    static constexpr qsizetype keine = -1;

    // Empty: every line counts as one without a serial number.
    Gruppenindex() = default;
    Gruppenindex(const Textdatei &zeilen, const QString &trennzeichen);

    Seriennummer seriennummer(const Textdatei &zeilen, qsizetype zeile) const;

    // The first line that carries this line's serial number, or `keine` for a line without one.
    qsizetype ersteZeile(qsizetype zeile) const;
    // The next line below with the same serial number, or `keine`.
    qsizetype naechsteZeile(qsizetype zeile) const;

private:
    // As Textdatei::schluesselTrennzeichen: null when no line can hold the delimiter.
    QByteArray m_trennzeichen;
    std::vector<qsizetype> m_erste;
    std::vector<qsizetype> m_naechste;
};
