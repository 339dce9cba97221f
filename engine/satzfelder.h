#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A record as the values of its fields and back, for building the record to keep from the
// fields of several records. Where fields end follows Datensaetze, so the comparison splits a
// record exactly where loading, the serial number and the list do.
namespace Satzfelder {

struct Feld
{
    // What a spreadsheet shows: quotes removed, "" as one quote, line breaks as they are.
    QString wert;
    // The field's text in the record, quotes and all.
    QString roh;
};

QList<Feld> teile(QStringView satz, QStringView trenner);

// The field of a typed value: quoted when a spreadsheet would read it otherwise, that is when it
// holds the delimiter, a quote or a line break or starts or ends with a space; as typed else.
QString alsFeld(QStringView wert, QStringView trenner);

// The record of the fields' texts, joined by the delimiter. A missing field (a shorter record's)
// stands empty before a present one; missing ones at the end are left out, so a record built
// from one record's fields is that record's text.
QString verbinde(const QList<std::optional<QString>> &rohfelder, QStringView trenner);

} // namespace Satzfelder
