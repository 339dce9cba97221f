#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// A deliberately plain model of what a cleaning run must produce, written from the file format
// and the keep-first rule alone, so the engine can be checked against something that shares
// none of its code or data structures.
namespace Referenzmodell {

enum class Ausgang {
    Ergebnis,       // finished; the result below is what "Speichern unter..." must write
    ZuKurz,         // fewer than 4 lines: "Tessra - Lohnt sich nicht!"
    NixGefunden,    // no serial number with the delimiter: "Tessra - Nix gefunden"
    KeineDoppelten, // serial numbers, but none repeated: nothing to save
};

// How the model splits a file: as a spreadsheet's CSV reader does, or at every line end, as
// Tessra read every file before it knew quoted fields.
enum class Lesart { Zeilen, Datensaetze };

struct Lauf
{
    Ausgang ausgang = Ausgang::ZuKurz;
    QByteArray ergebnis;
    // A quote could not be read as a spreadsheet's, so the file was split at every line end.
    bool zeilenweise = false;
    // Filled by behalteNachRegel only: for every repeated serial number in file order, whether
    // its lines are not all the same.
    std::vector<bool> verschieden = {};
};

// The file read and written back without any change: every record followed by the file's line
// end (CR LF when records end at CR, LF otherwise; code units in UTF-16), its byte-order mark
// kept.
QByteArray unveraendertGeschrieben(QByteArrayView datei, const QString &trennzeichen);

// Whether a key counts as a serial number: it starts with "0" or spells a number that is not 0.
bool istSeriennummer(QByteArrayView serie);

// Where the serial number stands and which differences between keys do not count; as given
// here, as at program start.
struct Optionen
{
    int spalte = 1;
    bool text = false;
    bool grossKlein = false;
    bool leerzeichen = false;
    bool nullen = false;
};

// The whole run when the user keeps the line listed first of every group, unedited.
Lauf behalteErste(QByteArrayView datei, const QString &trennzeichen,
                  Lesart lesart = Lesart::Datensaetze, const Optionen &optionen = {});

// The whole run when the user keeps the first line of the first `vorher` groups and then, for
// every later group, its first line or (`letzte`) its last, unedited, at the place of the first.
Lauf behalteNachRegel(QByteArrayView datei, const QString &trennzeichen, bool letzte, int vorher);

// Which record of a group is kept: the first, the last, the one with the most non-empty fields,
// or the one with the greatest or least value in a column.
enum class Kriterium { Erste, Letzte, Vollstaendigste, Groesster, Kleinster };

// The whole run when every group keeps, unedited at the place of its first record, the record
// the criterion picks; `spalte` (from 1) is the column the value criteria read.
Lauf behalteNachKriterium(QByteArrayView datei, const QString &trennzeichen, Kriterium kriterium,
                          int spalte, const Optionen &optionen = {});

} // namespace Referenzmodell
