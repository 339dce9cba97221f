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

QByteArray alsUtf16(const QString &text, QSysInfo::Endian reihenfolge)
{
    QByteArray bytes;
    const bool be = reihenfolge == QSysInfo::BigEndian;
    for (const QChar c : text) {
        bytes += char(be ? c.unicode() >> 8 : c.unicode() & 0xFF);
        bytes += char(be ? c.unicode() & 0xFF : c.unicode() >> 8);
    }
    return bytes;
}

Schluesselregel schluesselregelAus(const QString &kurz)
{
    Schluesselregel regel;
    if (!kurz.isEmpty() && kurz[0].isDigit())
        regel.spalte = kurz[0].digitValue();
    regel.text = kurz.contains(u't');
    regel.grossKleinIgnorieren = kurz.contains(u'g');
    regel.leerzeichenIgnorieren = kurz.contains(u'l');
    regel.nullenIgnorieren = kurz.contains(u'n');
    return regel;
}
