#include "anzeigetext.h"

Anzeigetext anzeigetext(const Textdatei &datei, qsizetype zeile, qsizetype grenze)
{
    // No encoding Tessra reads needs more than four bytes for one UTF-16 code unit, so this many
    // bytes give more than `grenze` characters whenever the line has them.
    const QByteArrayView bytes = datei.bytes(zeile);
    QString text = datei.dekodieren(bytes.first(std::min(bytes.size(), (grenze + 1) * 4)));
    if (text.size() <= grenze)
        return {std::move(text), false};
    qsizetype ende = grenze;
    // Never split a character that takes two code units.
    if (text.at(ende - 1).isHighSurrogate())
        --ende;
    text.truncate(ende);
    text.append(u'…');
    return {std::move(text), true};
}
