#pragma once

#include "dateifehler.h"
#include "fortschritt.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// Writing a file so that no failure, no link planted next to it and no odd permission costs
// data: whatever goes wrong, the file and its backup hold either their old or their new
// content in full. Content is streamed through a buffer of fixed size, so saving needs little
// memory beyond what the content already occupies.

// Takes the content piece by piece; false once writing failed, and the producer stops then.
using Schreibziel = std::function<bool(QByteArrayView)>;
// Hands a file's whole content to the Schreibziel; false when that stopped it.
using Inhalt = std::function<bool(const Schreibziel &)>;

// The steps of a save that touch the disk.
enum class Speicherschritt {
    SicherungSynchronisieren,
    SicherungEinsetzen,
    SicherungsordnerSynchronisieren,
    MarkeSetzen,
    DateiKuerzen,
    DateiSynchronisieren,
    MarkeEntfernen,
    ErgebnisSynchronisieren,
    ErgebnisEinsetzen,
    OrdnerSynchronisieren,
};

// For tests: told of each step of a save before it is taken, with the descriptor the step works
// on (-1 for a step on names); it may fail the step with an errno value as the system would, or
// return 0 to let it run.
using Speicherbeobachter = std::function<int(Speicherschritt, int fd)>;

// What a save tells of its way, for a progress box and for a test that watches its steps. Until
// `ohneAbbrechen` is called, the content and `kopie` may throw to stop the save, which then
// leaves every file as it was and removes its temporary files; from then on nothing may throw.
// Any of them may be empty.
struct Speicherverlauf
{
    // How much of the file the backup holds so far.
    Fortschrittsmeldung kopie{};
    // Just before the first step that changes a name on the disk.
    std::function<void()> ohneAbbrechen{};
    // Between the last steps, each of which can take a while for a large file (a name that
    // replaces an old file frees its space), so that the window can paint in between.
    std::function<void()> zwischendurch{};
    Speicherbeobachter beobachter{};
};

struct Ersetzungsfehler
{
    // How far the save came, which says what is on disk now.
    enum class Schritt {
        // The file could not be read: nothing was written.
        Lesen,
        // The backup could not be written: the file and any older backup are as they were.
        Sicherung,
        // The file could not be replaced and holds what it held. The backup is complete and in
        // place, unless the result could not even be written next to the file: then the
        // older backup is as it was too.
        Ersetzen,
        // The file holds the new content and the backup the old, but the system could not
        // confirm that the file's new entry is on the disk: after a power cut the file may be
        // found as it was. The backup holds the old content either way.
        Bestaetigen,
    };

    Schritt schritt = Schritt::Lesen;
    Dateifehler fehler;
    // A rewrite in place failed halfway and the old content could not be put back either: now
    // only the backup holds it.
    bool nurInSicherung = false;
};

// "Speichern (ersetzen)": copies the file to `sicherung`, then gives it the new content.
//
// The backup is a new file moved into place, so a link of that name is replaced, never
// followed, and a backup name that leads to the file itself is refused. It gets the file's
// owner, group and permission bits as far as the user may set them, and is never readable by
// more people than the file.
//
// The file (the target, when `pfad` is a symbolic link) is replaced by a new file only when
// that keeps everything it was: one link, its owner, group and exact mode, no access control
// list, on the folder's own file system. Then the backup and the new file are both written in
// full before either takes its name, so that a failure on the way, or the user's stop, leaves
// every file as it was.
// Otherwise the file is rewritten in place, which keeps all of that, once the backup is safely
// on disk; a failed rewrite puts the old content back. While the file is rewritten in place a
// mark next to the backup says so, which survives a crash (see speichernUnterbrochen).
std::optional<Ersetzungsfehler> ersetzeMitSicherung(const QString &pfad, const QString &sicherung,
                                                    const Inhalt &inhalt,
                                                    const Speicherverlauf &verlauf = {});

// True when a rewrite in place of the file at `pfad` was cut off (the program killed, the
// machine down) after `sicherung` had been made: the file may be incomplete, and `sicherung`
// holds the content from before that save.
bool speichernUnterbrochen(const QString &pfad, const QString &sicherung);

// "Speichern unter...": the new content takes the place of any file of that name in one step,
// keeping its permissions as far as the user may set them. A new file gets the permissions
// every new file of the user gets.
std::optional<Dateifehler> schreibeDatei(const QString &pfad, const Inhalt &inhalt,
                                         const Speicherverlauf &verlauf = {});

// Both kinds of save first remove what saves killed on the way left in the folders they write
// to: temporary files of Tessra's own pattern (".tessra-" and six letters or digits) that no
// running save holds a lock on.
