#pragma once

#include "textdatei.h"

#include <QString>
#include <QStringView>

// How much of a record the window shows. A list row needs only the beginning of a record, where
// the serial number stands; the edit field shows a record whole up to a bound that keeps typing
// in it responsive. Longer records are shown cut, ending with "…".
inline constexpr qsizetype listenzeileGrenze = 4000;
inline constexpr qsizetype zeilenfeldGrenze = 65536;

// A line break inside a record (CR LF, CR or LF) is shown as this mark, so the whole record fits
// on one line of the list and of the edit field.
inline constexpr QChar umbruchzeichen = QChar(0x21B5); // ↵

struct Anzeigetext
{
    QString text;
    bool gekuerzt = false;
};

// At most `grenze` characters of the record as shown, followed by "…" when it is longer. Only
// the bytes that so many characters can take are decoded, so a record of 100 MB costs no more
// than a short one.
Anzeigetext anzeigetext(const Textdatei &datei, qsizetype zeile, qsizetype grenze);

// The record's text with every line break in it shown as the mark.
QString alsAnzeige(QString text);

// The way back from an edited record: every mark, and every line break a paste brought in, is a
// line break again. When the edit kept the number of marks, each one is what it stood for in
// `original` (the record's text as read), so a break goes back as the very characters it was and
// a mark the record held as text stays that text; otherwise each is a break like the first one
// `original` holds, or `neuerUmbruch` when it holds none.
QString ausAnzeige(QStringView bearbeitet, QStringView original, QStringView neuerUmbruch);
