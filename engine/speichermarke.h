#pragma once

#include <sys/types.h>

#include <QByteArray>

// What a save that was cut off leaves behind. The mark says that a file is being rewritten in
// place: a small file in the backup's folder, named by the file's inode, which the rewrite
// keeps. It holds the backup's inode, so it speaks of this backup only; a backup made anew since
// leaves it without meaning. Temporary files of killed saves are removed by the next save.
namespace Speichermarke {

QByteArray pfadVon(const QByteArray &sicherungsordner, ino_t datei);
// Puts the mark in place for good before the file is touched; 0 or errno.
int setze(const QByteArray &marke, const QByteArray &kopie, ino_t sicherung,
          const QByteArray &datei);
// Should the removal not reach the disk before a power cut, the mark comes back and tells of
// an interrupted save that was complete; the backup still holds the old content then.
void entferne(const QByteArray &marke);

// A save killed on the way leaves its temporary file behind, up to the size of the file: this
// removes those in `ordner` that no running save holds a lock on.
void raeumeAuf(const QByteArray &ordner);

} // namespace Speichermarke
