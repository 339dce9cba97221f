// Key extraction and the serial-number test on any line and any delimiter. The first byte says
// how the delimiter is given (length 0 to 3, or one that the file cannot hold), the next bytes
// are the delimiter, the rest is the line.

#include "pruefen.h"
#include "referenzmodell.h"
#include "seriennummer.h"

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QByteArrayView>

namespace {

QByteArrayView ohneRandLeerzeichen(QByteArrayView text)
{
    while (text.startsWith(' '))
        text = text.sliced(1);
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

// A quoted first field read plainly: the text between the quotes with "" as one quote, then what
// follows the closing quote up to the delimiter, spaces around it dropped. Nothing when no quote
// closes the field.
std::optional<QByteArray> entquotet(QByteArrayView text, QByteArrayView trenner, bool &mitTrenner)
{
    QByteArray innen;
    qsizetype i = 1;
    for (; i < text.size(); ++i) {
        if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
            innen += text[++i];
        else if (text[i] == '"')
            break;
        else
            innen += text[i];
    }
    if (i >= text.size())
        return std::nullopt;
    const QByteArrayView rest = text.sliced(i + 1);
    const qsizetype pos = trenner.isEmpty() ? -1 : rest.indexOf(trenner);
    mitTrenner = pos >= 0;
    return innen + ohneRandLeerzeichen(pos >= 0 ? rest.first(pos) : rest).toByteArray();
}

bool liegtIn(QByteArrayView teil, QByteArrayView ganzes)
{
    return teil.data() >= ganzes.data() &&
           teil.data() + teil.size() <= ganzes.data() + ganzes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t groesse)
{
    if (groesse == 0)
        return 0;
    // Copies, so that ASan sees the exact bounds of delimiter and line.
    const QByteArray alles(reinterpret_cast<const char *>(daten), qsizetype(groesse));
    const int art = static_cast<unsigned char>(alles[0]);
    const qsizetype laenge = std::min<qsizetype>(art % 4, alles.size() - 1);
    const bool darstellbar = art < 0x80;
    const QByteArray trennzeichen = darstellbar ? alles.mid(1, laenge) : QByteArray();
    const QByteArray zeile = alles.mid(1 + laenge);
    const QByteArrayView trenner =
        darstellbar && trennzeichen.isEmpty() ? QByteArrayView("") : QByteArrayView(trennzeichen);

    const Seriennummer serie = seriennummerVon(zeile, trenner);
    const QByteArrayView text = ohneRandLeerzeichen(zeile);
    bool mitTrenner = false;
    const bool leer = !trenner.isNull() && trenner.isEmpty();
    const auto quotiert = text.startsWith('"') && !trenner.contains('"') && !leer
                              ? entquotet(text, trenner, mitTrenner)
                              : std::nullopt;
    if (quotiert) {
        pruefe(serie.text() == *quotiert, "Seriennummer ohne Anführungszeichen");
        pruefe(serie.mitTrennzeichen() == mitTrenner, "Trennzeichen nach dem Feld erkannt");
    } else if (trenner.isNull()) {
        pruefe(serie.text() == text && !serie.mitTrennzeichen(), "ohne Trennzeichen: ganze Zeile");
    } else if (trenner.isEmpty()) {
        pruefe(serie.text().isEmpty(), "leeres Trennzeichen: leere Seriennummer");
    } else {
        pruefe(liegtIn(serie.text(), text), "Seriennummer liegt in der Zeile");
        pruefe(text.startsWith(serie.text()), "Seriennummer ist der Anfang der Zeile");
        pruefe(serie.mitTrennzeichen() == text.contains(trenner), "Trennzeichen erkannt");
        if (serie.mitTrennzeichen()) {
            pruefe(text.sliced(serie.text().size()).startsWith(trenner), "Trennzeichen folgt");
            // An earlier occurrence would have to start inside the serial number.
            QByteArray davor = serie.text().toByteArray();
            davor.append(trenner.first(trenner.size() - 1));
            pruefe(!davor.contains(trenner), "erstes Vorkommen des Trennzeichens");
        } else {
            pruefe(serie.text() == text, "ohne Trennzeichen: ganze Zeile");
        }
    }

    pruefe(istSeriennummer(serie.text()) == Referenzmodell::istSeriennummer(serie.text()),
           "Seriennummer-Test wie im Modell");
    pruefe(istSeriennummer(zeile) == Referenzmodell::istSeriennummer(zeile),
           "Seriennummer-Test auf der ganzen Zeile wie im Modell");
    (void)wertIstNull(zeile);
    return 0;
}
