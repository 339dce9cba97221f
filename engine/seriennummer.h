#pragma once

#include <QByteArrayView>

// Reading the serial number of a line. All of it works on bytes: a line's own bytes in UTF-8
// and Windows-1252 files, its UTF-8 text in UTF-16 files (Textdatei::schluesselbytes). There a
// space, a digit and every other ASCII character is one byte of its own, and a delimiter's
// bytes can only match where its characters stand.

// The serial number of a line: the text in front of the first delimiter, after the line's
// leading and trailing spaces (not tabs) are removed. A line without the delimiter is its own
// serial number as a whole; with an empty delimiter every serial number is empty.
struct Seriennummer
{
    QByteArrayView text;
    bool mitTrennzeichen = false;
};

// `trennzeichen` is null when the delimiter cannot be written in the file's encoding, so no
// line can hold it.
Seriennummer seriennummerVon(QByteArrayView zeile, QByteArrayView trennzeichen);

// The classic BASIC reading of a number, reduced to what the search needs: whether the number
// that the leading part spells is zero. Spaces, tabs and line feeds are skipped anywhere; a
// sign, digits with one decimal point and an exponent, or &H / &O with hexadecimal or octal
// digits. No number at all counts as zero. It never overflows: 1E400 is simply not zero.
bool wertIstNull(QByteArrayView text);

// Whether a line with this key takes part in the search: a key that starts with "0" or spells a
// non-zero number. Headers, empty lines and lines whose first column is text do not.
bool istSeriennummer(QByteArrayView serie);
