#pragma once

#include "fortschritt.h"
#include "grossfeld.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <cstdint>
#include <QList>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

// How the text of a delimited file falls into records and fields, the way a spreadsheet's CSV
// reader sees it. A double quote as the first character of a field (after spaces) opens a quoted
// field: inside it "" stands for one quote, and delimiters and line ends (LF, CR LF, CR) belong
// to the field; the next single quote closes it. A quote anywhere else is an ordinary character.
// Outside quoted fields a record ends where a line ends: at CR or CR LF, or at LF in a file
// without CR. A delimiter that itself holds a quote leaves quotes ordinary characters.
//
// One set of rules serves every caller, so loading, the serial number, the list's columns and
// the check of an edited record can never disagree about where a field ends.
namespace Datensaetze {

// Where a record starts, in bytes from the start of the file, and four bytes beside it that
// the group index fills (Gruppenindex): a look at a line brings both from memory at once.
struct Satzanfang
{
    qint64 anfang = 0;
    std::uint32_t vermerk = 0;
} __attribute__((packed, aligned(4)));

// A quoted field may hold this many line ends. A cell of an office list (an address, a remark)
// has a handful; a quote that opens more than this is taken for a stray one, since it would
// swallow the records below it.
inline constexpr qsizetype zeilenendenGrenze = 100;

// Why a file is read line by line after all.
enum class Stoerung {
    // A quote opens a field that the file never closes.
    NichtGeschlossen,
    // The field would hold more than zeilenendenGrenze line ends.
    ZuVieleZeilenenden,
    // The field spans lines and text follows its closing quote before the next delimiter, which
    // no CSV writer produces: the quote that "closes" it opens a later field.
    TextNachSchluss,
};

struct Teilung
{
    // Where each record starts. A record ends where the line end in front of the next one
    // begins; that line end is one unit, or two for CR LF.
    Grossfeld<Satzanfang> anfaenge;
    // The last record runs to the end of the file, with no line end after it.
    bool letzterOffen = false;
    // True when records end at LF, false when at CR or CR LF.
    bool nurLf = false;
    // Set when a quote could not be read as the spreadsheet's: the file is then split at every
    // line end as if it held no quotes, and this says in which line (from 1) the quote opens.
    struct Anfuehrungszeichen
    {
        qsizetype zeile = 0;
        Stoerung stoerung = Stoerung::NichtGeschlossen;
    };
    std::optional<Anfuehrungszeichen> offen;
};

// The records of an 8-bit or UTF-8 file from byte `anfang` on (after a byte-order mark).
// `trenner` is the delimiter's bytes, null or empty when no field ends at a delimiter. `meldung`
// hears how far into the file the split has come.
Teilung teile8Bit(QByteArrayView inhalt, qsizetype anfang, QByteArrayView trenner,
                  const Fortschrittsmeldung &meldung = {});
// The same for a UTF-16 file of the given byte order; `anfang` and the spans count bytes. A byte
// left over after the last code unit stays with the last record.
Teilung teileUtf16(QByteArrayView inhalt, qsizetype anfang, bool bigEndian, QStringView trenner,
                   const Fortschrittsmeldung &meldung = {});

// The first field of one record (leading and trailing spaces already removed), as the serial
// number is read from it: where it ends, whether a delimiter ends it, and for a quoted field
// where its quotes stand. A quote the record does not close leaves the field unquoted.
struct ErstesFeld
{
    qsizetype ende = 0;
    bool mitTrenner = false;
    qsizetype auf = -1; // the opening quote, -1 for an unquoted field
    qsizetype zu = -1;  // the closing quote
};
ErstesFeld erstesFeld(QByteArrayView satz, QByteArrayView trenner);
// Where field `nummer` (from 0) of one record starts, -1 when the record has fewer fields. As
// for erstesFeld, a quote the record does not close leaves its field unquoted.
qsizetype feldanfang(QByteArrayView satz, QByteArrayView trenner, qsizetype nummer);

// Every field of a record's text (start and length, delimiters left out), as the list compares
// the columns of a group's lines.
QList<std::pair<qsizetype, qsizetype>> felder(QStringView satz, QStringView trenner);

// The same with each field's quotes, from which the value a spreadsheet shows follows
// (Satzfelder). A quote the record does not close leaves its field unquoted, to the end.
struct Feldstelle
{
    qsizetype anfang = 0;
    qsizetype laenge = 0;
    qsizetype auf = -1; // the opening quote, -1 for an unquoted field
    qsizetype zu = -1;  // the closing quote
};
QList<Feldstelle> feldstellen(QStringView satz, QStringView trenner);
// False when the delimiter holds a quote: quotes are then ordinary characters.
bool anfuehrungGilt(QStringView trenner);

// What keeps an edited record from being written as one record that reads back as the same.
struct Satzfehler
{
    enum class Art {
        // A quote opens a field that the record does not close (or only across lines, with text
        // after the close).
        OffenesAnfuehrungszeichen,
        // A line end stands outside quoted fields: it would end the record.
        UmbruchAusserhalb,
        // A quoted field holds more line ends than any field of a file that is read whole.
        ZuVieleUmbrueche,
    };
    Art art = Art::OffenesAnfuehrungszeichen;
    qsizetype stelle = 0; // the character at fault
};
std::optional<Satzfehler> pruefeSatz(QStringView satz, QStringView trenner);

} // namespace Datensaetze
