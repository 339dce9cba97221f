#pragma once

#include "schluesselregel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QSysInfo>

// Whole-file helpers for tests. A file that cannot be read gives "<fehlt>", so a missing file
// never passes for an expected empty one.
QByteArray testdateiInhalt(const QString &pfad);

// Creates or replaces the file; false when that failed.
bool legeTestdateiAn(const QString &pfad, QByteArrayView inhalt);

// The text's UTF-16 code units in the given byte order, unpaired surrogates and all; a mark is
// written only when the text starts with U+FEFF.
QByteArray alsUtf16(const QString &text, QSysInfo::Endian reihenfolge);

// A rule written as its options: the column as a digit, t for text keys, g, l and n for
// ignoring case, spaces and leading zeros ("3tn"); "" is the rule at program start.
Schluesselregel schluesselregelAus(const QString &kurz);
