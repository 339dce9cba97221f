#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The drive list of the browse window: the mounted volumes a user would call drives, by their
// mount points.

// Whether a volume of this file system type, mounted here, is one the user picks files from;
// the kernel's own file systems, container layers and system scratch space are not.
bool istNutzerlaufwerk(const QByteArray &dateisystem, const QString &einhaengepunkt);

// The mount points of the valid, ready user volumes, sorted, each once.
QStringList laufwerke();

// The mount point among laufwerke that holds pfad: the longest one that is pfad or one of its
// ancestors; empty if none does.
QString laufwerkVon(const QString &pfad, const QStringList &laufwerke);
