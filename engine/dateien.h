#pragma once

#include "dateifehler.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// Whole-file reads and atomic writes. Failures come back as values, never as exceptions.

// True for an existing regular file (or a link to one) that can be opened for reading.
// Folders, devices and pipes never pass, so probing a path can neither block nor mislead.
bool istLesbareDatei(const QString &pfad);

std::variant<QByteArray, Dateifehler> leseDatei(const QString &pfad);

// Replaces the file only once the new content is complete on disk; until then the old content
// stays in place. Permissions are kept, and a symbolic link stays a link to its new target.
std::optional<Dateifehler> schreibeDatei(const QString &pfad, QByteArrayView inhalt);
