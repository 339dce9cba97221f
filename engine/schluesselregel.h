#pragma once

#include "seriennummer.h"

#include <QByteArray>
#include <QByteArrayView>

// How a record's serial number is read and compared: the column that holds it, whether text
// counts as a serial number, and which differences between two keys do not count. Everything
// that reads a key goes through it, so the group index, the walk, the rules and the list agree.
// With the values it has at program start it reads what Tessra always read: a number in the
// first column, compared byte for byte.
//
// Like Seriennummer it works on the bytes the key reader sees (Textdatei::schluesselbytes):
// Windows-1252 or UTF-8.
struct Schluesselregel
{
    // The column of the serial number, from 1: the field of the record as a CSV reader splits it.
    qsizetype spalte = 1;
    // Every non-empty text in the column is a serial number, not only one that starts with a
    // digit; never in a record without the delimiter, so a comment or a title stays as it is.
    bool text = false;
    bool grossKleinIgnorieren = false;
    // Every space in the key, not only those at its ends.
    bool leerzeichenIgnorieren = false;
    // 0815 is 815; a key of zeros only is 0.
    bool nullenIgnorieren = false;

    bool operator==(const Schluesselregel &) const = default;

    // The serial number in the chosen column, read as seriennummerVon() reads the first field.
    // A record with fewer fields has none (Seriennummer::vorhanden()).
    Seriennummer lies(QByteArrayView zeile, QByteArrayView trennzeichen) const
    {
        return spalte == 1 ? seriennummerVon(zeile, trennzeichen) : liesSpalte(zeile, trennzeichen);
    }
    // Whether a record with this key takes part in the search.
    bool istSeriennummer(const Seriennummer &serie) const
    {
        if (!serie.vorhanden())
            return false;
        if (::istSeriennummer(serie.text()))
            return true;
        return text && serie.mitTrennzeichen() && !serie.text().isEmpty();
    }

    // Whether two different keys can be the same serial number.
    bool vergleichtFrei() const
    {
        return grossKleinIgnorieren || leerzeichenIgnorieren || nullenIgnorieren;
    }
    // The key as serial numbers are compared: two keys are the same serial number exactly when
    // these agree. The key itself while nothing is ignored, otherwise a form made in `puffer`.
    QByteArrayView vergleichsform(QByteArrayView schluessel, bool windows1252,
                                  QByteArray &puffer) const
    {
        return vergleichtFrei() ? bildeVergleichsform(schluessel, windows1252, puffer) : schluessel;
    }

private:
    Seriennummer liesSpalte(QByteArrayView zeile, QByteArrayView trennzeichen) const;
    QByteArrayView bildeVergleichsform(QByteArrayView schluessel, bool windows1252,
                                       QByteArray &puffer) const;
};
