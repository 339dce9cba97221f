#pragma once

#include <optional>

#include <QString>

// Starts the desktop's own programs for a file: the text editor and the file manager. Neither
// goes through a shell, so no character of a path can turn into a command.
class Programmstart
{
public:
    // Opens the file in the desktop's default application for plain text, or failing that in
    // the default application for the file's own type. Returns the reason, in German, when
    // nothing started.
    static std::optional<QString> imEditor(const QString &pfad);

    // Asks the file manager to show the file selected, or failing that opens the file's folder
    // in the default application for folders. Returns the reason, in German, when nothing
    // started.
    static std::optional<QString> imDateimanager(const QString &pfad);
};
