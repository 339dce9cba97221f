#include "handbuch.h"

#include <QDir>
#include <QFileInfo>

QString installiertesHandbuch(const QString &programmordner)
{
    const QFileInfo handbuch(
        QDir(programmordner).absoluteFilePath(QStringLiteral("../share/doc/tessra/handbuch.md")));
    return handbuch.isFile() ? QDir::cleanPath(handbuch.absoluteFilePath()) : QString();
}

QString hilfetextMitHandbuch(const QString &hilfetext, const QString &handbuch)
{
    if (handbuch.isEmpty())
        return hilfetext;
    return hilfetext + QStringLiteral("\n\nAusführliches Handbuch:\n") + handbuch;
}
