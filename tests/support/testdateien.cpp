#include "testdateien.h"

#include <QFile>

QByteArray testdateiInhalt(const QString &pfad)
{
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray("<fehlt>");
}

bool legeTestdateiAn(const QString &pfad, QByteArrayView inhalt)
{
    QFile datei(pfad);
    return datei.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           datei.write(inhalt.data(), inhalt.size()) == inhalt.size();
}
