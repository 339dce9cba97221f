#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Whole-file helpers for tests. A file that cannot be read gives "<fehlt>", so a missing file
// never passes for an expected empty one.
QByteArray testdateiInhalt(const QString &pfad);

// Creates or replaces the file; false when that failed.
bool legeTestdateiAn(const QString &pfad, QByteArrayView inhalt);
