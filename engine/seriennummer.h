#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Reading the serial number of a line. All of it works on bytes: a line's own bytes in UTF-8
// and Windows-1252 files, its UTF-8 text in UTF-16 files (Textdatei::schluesselbytes). There a
// space, a digit and every other ASCII character is one byte of its own, and a delimiter's
// bytes can only match where its characters stand.

// The serial number of a record: the text of its first field, after the record's leading and
// trailing spaces (not tabs) are removed. A record without the delimiter is its own serial
// number as a whole; with an empty delimiter every serial number is empty. A quoted first field
// gives its text without the quotes ("" read as one quote) and without the spaces around them,
// so "0815";x and 0815;x share the serial number 0815; a delimiter inside the quotes is none.
class Seriennummer
{
public:
    Seriennummer() = default;
    Seriennummer(QByteArrayView text, bool mitTrennzeichen)
        : m_text(text)
        , m_mitTrennzeichen(mitTrennzeichen)
    {
    }
    // A quoted serial number that is not one piece of the record keeps bytes of its own.
    Seriennummer(QByteArray eigen, bool mitTrennzeichen)
        : m_eigen(std::move(eigen))
        , m_mitTrennzeichen(mitTrennzeichen)
    {
    }

    // A record without the column that holds the serial number has none at all.
    static Seriennummer keine()
    {
        Seriennummer serie;
        serie.m_vorhanden = false;
        return serie;
    }

    QByteArrayView text() const { return m_eigen.isNull() ? m_text : QByteArrayView(m_eigen); }
    // Whether a delimiter follows the serial number.
    bool mitTrennzeichen() const { return m_mitTrennzeichen; }
    void setzeMitTrennzeichen(bool mit) { m_mitTrennzeichen = mit; }
    bool vorhanden() const { return m_vorhanden; }

private:
    QByteArrayView m_text;
    QByteArray m_eigen;
    bool m_mitTrennzeichen = false;
    bool m_vorhanden = true;
};

// `trennzeichen` is null when the delimiter cannot be written in the file's encoding, so no
// record can hold it.
Seriennummer seriennummerVon(QByteArrayView zeile, QByteArrayView trennzeichen);

// The classic BASIC reading of a number, reduced to what the search needs: whether the number
// that the leading part spells is zero. Spaces, tabs and line feeds are skipped anywhere; a
// sign, digits with one decimal point and an exponent, or &H / &O with hexadecimal or octal
// digits. No number at all counts as zero. It never overflows: 1E400 is simply not zero.
bool wertIstNull(QByteArrayView text);

// Whether a line with this key takes part in the search: a key that starts with "0" or spells a
// non-zero number. Headers, empty lines and lines whose first column is text do not.
bool istSeriennummer(QByteArrayView serie);
