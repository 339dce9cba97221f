#include "anzeigetext.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The length of the line break at `pos` (2 for CR LF), 0 when none starts there.
qsizetype umbruchLaenge(QStringView text, qsizetype pos)
{
    if (text[pos] == u'\n')
        return 1;
    if (text[pos] != u'\r')
        return 0;
    return pos + 1 < text.size() && text[pos + 1] == u'\n' ? 2 : 1;
}

} // namespace

Anzeigetext anzeigetext(const Textdatei &datei, qsizetype zeile, qsizetype grenze)
{
    // No encoding Tessra reads needs more than four bytes for one UTF-16 code unit, and a mark
    // is never longer than the break it stands for, so this many bytes give more than `grenze`
    // characters whenever the record has them.
    const QByteArrayView bytes =
        datei.bytes(zeile).first(std::min(datei.bytes(zeile).size(), (grenze + 1) * 4));
    QString text = datei.dekodieren(bytes);
    // In every encoding a line break holds the byte of CR or LF; most records hold neither.
    if (std::memchr(bytes.data(), '\n', size_t(bytes.size())) ||
        std::memchr(bytes.data(), '\r', size_t(bytes.size())))
        text = alsAnzeige(std::move(text));
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

QString alsAnzeige(QString text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString anzeige(text.size(), Qt::Uninitialized);
    qsizetype laenge = 0;
    for (qsizetype pos = 0; pos < text.size(); ++pos) {
        const qsizetype umbruch = umbruchLaenge(text, pos);
        anzeige[laenge++] = umbruch == 0 ? text[pos] : umbruchzeichen;
        pos += std::max<qsizetype>(umbruch, 1) - 1;
    }
    anzeige.truncate(laenge);
    return anzeige;
}

QString ausAnzeige(QStringView bearbeitet, QStringView original, QStringView neuerUmbruch)
{
    // What each mark of the original stands for, in order.
    std::vector<QStringView> bedeutung;
    QStringView ersterUmbruch;
    for (qsizetype pos = 0; pos < original.size(); ++pos) {
        const qsizetype laenge = umbruchLaenge(original, pos);
        if (laenge == 0 && original[pos] != umbruchzeichen)
            continue;
        const QStringView teil = original.sliced(pos, std::max<qsizetype>(laenge, 1));
        if (laenge > 0 && ersterUmbruch.isNull())
            ersterUmbruch = teil;
        bedeutung.push_back(teil);
        pos += teil.size() - 1;
    }
    if (ersterUmbruch.isNull())
        ersterUmbruch = neuerUmbruch;

    const QString marken = alsAnzeige(bearbeitet.toString());
    const bool gleichViele = qsizetype(bedeutung.size()) == marken.count(umbruchzeichen);
    QString text;
    text.reserve(marken.size());
    size_t nummer = 0;
    for (const QChar c : marken) {
        if (c != umbruchzeichen)
            text.append(c);
        else
            text.append(gleichViele ? bedeutung[nummer++] : ersterUmbruch);
    }
    return text;
}
