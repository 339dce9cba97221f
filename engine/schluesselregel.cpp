#include "schluesselregel.h"

#include "datensaetze.h"

#include <QChar>

#include <algorithm>

namespace {

char asciiKlein(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The small letter of a Windows-1252 capital, as simple case folding gives it; every other byte
// as it is. µ and ß fold to letters the code page does not hold, so they stay.
char windows1252Klein(char zeichen)
{
    const auto c = static_cast<unsigned char>(zeichen);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 'A' && c <= 'Z'))
        return char(c + 0x20);
    switch (c) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return char(c + 0x10);
    case 0x9F: // Ÿ
        return char(0xFF);
    default:
        return zeichen;
    }
}

bool folgebyte(QByteArrayView text, qsizetype i)
{
    return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
}

// The character of the well-formed UTF-8 sequence at `i` and its length; length 0 where the
// bytes are no such sequence (a stray byte, an overlong form, a surrogate written on its own).
int utf8Zeichen(QByteArrayView text, qsizetype i, char32_t &zeichen)
{
    const auto c = static_cast<unsigned char>(text[i]);
    int laenge = 0;
    if (c >= 0xC2 && c <= 0xDF)
        laenge = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        laenge = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        laenge = 4;
    else
        return 0;
    zeichen = c & (0x7F >> laenge);
    for (int k = 1; k < laenge; ++k) {
        if (!folgebyte(text, i + k))
            return 0;
        zeichen = zeichen << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    const char32_t kleinstes[] = {0, 0, 0x80, 0x800, 0x10000};
    if (zeichen < kleinstes[laenge] || zeichen > 0x10FFFF ||
        (zeichen >= 0xD800 && zeichen < 0xE000))
        return 0;
    return laenge;
}

void haengeUtf8An(QByteArray &ziel, char32_t zeichen)
{
    if (zeichen < 0x80) {
        ziel += char(zeichen);
    } else if (zeichen < 0x800) {
        ziel += char(0xC0 | zeichen >> 6);
        ziel += char(0x80 | (zeichen & 0x3F));
    } else if (zeichen < 0x10000) {
        ziel += char(0xE0 | zeichen >> 12);
        ziel += char(0x80 | (zeichen >> 6 & 0x3F));
        ziel += char(0x80 | (zeichen & 0x3F));
    } else {
        ziel += char(0xF0 | zeichen >> 18);
        ziel += char(0x80 | (zeichen >> 12 & 0x3F));
        ziel += char(0x80 | (zeichen >> 6 & 0x3F));
        ziel += char(0x80 | (zeichen & 0x3F));
    }
}

// A folded letter may take more or fewer bytes than the letter; bytes that are no UTF-8 stay as
// they are, so keys that differ in them stay different.
QByteArray utf8Gefaltet(QByteArrayView text)
{
    QByteArray gefaltet;
    gefaltet.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size();) {
        char32_t zeichen = 0;
        const int laenge = utf8Zeichen(text, i, zeichen);
        if (laenge == 0) {
            gefaltet += asciiKlein(text[i]);
            ++i;
            continue;
        }
        haengeUtf8An(gefaltet, QChar::toCaseFolded(zeichen));
        i += laenge;
    }
    return gefaltet;
}

} // namespace

Seriennummer Schluesselregel::liesSpalte(QByteArrayView zeile, QByteArrayView trennzeichen) const
{
    qsizetype anfang = 0;
    if (trennzeichen.isEmpty()) {
        anfang = -1;
    } else if (!zeile.contains('"')) {
        // Without a quote every delimiter ends a field: no field reader needed.
        for (qsizetype feld = 1; feld < spalte && anfang >= 0; ++feld) {
            const qsizetype trenner = zeile.indexOf(trennzeichen, anfang);
            anfang = trenner < 0 ? -1 : trenner + trennzeichen.size();
        }
    } else {
        anfang = Datensaetze::feldanfang(zeile, trennzeichen, spalte - 1);
    }
    if (anfang < 0)
        return Seriennummer::keine();
    // Read from where the column starts, the field is a first field: the same spaces, quotes
    // and delimiter rules apply. A delimiter stands in front of it in any case.
    Seriennummer serie = seriennummerVon(zeile.sliced(anfang), trennzeichen);
    serie.setzeMitTrennzeichen(true);
    return serie;
}

QByteArrayView Schluesselregel::bildeVergleichsform(QByteArrayView schluessel, bool windows1252,
                                                    QByteArray &puffer) const
{
    // Most keys are their own compare form: nothing to drop, nothing to fold. They need no copy.
    const bool nullVorn = nullenIgnorieren && schluessel.size() > 1 && schluessel[0] == '0';
    const auto zuAendern = [this](char c) {
        return (leerzeichenIgnorieren && c == ' ') ||
               (grossKleinIgnorieren &&
                ((c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80));
    };
    if (!nullVorn && std::none_of(schluessel.begin(), schluessel.end(), zuAendern))
        return schluessel;

    puffer.resize(schluessel.size());
    char *ziel = puffer.data();
    bool nurAscii = true;
    for (const char c : schluessel) {
        if (leerzeichenIgnorieren && c == ' ')
            continue;
        nurAscii = nurAscii && static_cast<unsigned char>(c) < 0x80;
        *ziel++ = grossKleinIgnorieren ? asciiKlein(c) : c;
    }
    qsizetype anfang = 0;
    const qsizetype ende = ziel - puffer.constData();
    if (nullenIgnorieren) {
        while (anfang < ende && puffer[anfang] == '0')
            ++anfang;
        if (anfang == ende && anfang > 0)
            --anfang;
    }
    puffer.resize(ende);
    if (!grossKleinIgnorieren || nurAscii)
        return QByteArrayView(puffer).sliced(anfang);
    if (windows1252) {
        for (qsizetype i = anfang; i < ende; ++i)
            puffer[i] = windows1252Klein(puffer[i]);
        return QByteArrayView(puffer).sliced(anfang);
    }
    puffer = utf8Gefaltet(QByteArrayView(puffer).sliced(anfang));
    return puffer;
}
