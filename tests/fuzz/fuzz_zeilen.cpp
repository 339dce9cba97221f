// Any bytes, read as a semicolon-delimited serial-number file and written back without a change,
// come back byte for byte, apart from the ends of records: every record then ends in the file's
// line end, the last one too, and a lone CR there becomes CR LF. Line ends inside quoted fields
// stay as they are. The text shown of each record encodes to its bytes again.

#include "ergebnisliste.h"
#include "pruefen.h"
#include "referenzmodell.h"
#include "textdatei.h"

#include <cstddef>
#include <cstdint>

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t groesse)
{
    const QByteArray bytes(reinterpret_cast<const char *>(daten), qsizetype(groesse));
    const QString trenner = QStringLiteral(";");
    const Textdatei datei = Textdatei::ausBytes(bytes, trenner);

    // Only the last line of a UTF-16 file can end in half a code unit, which no text holds.
    const qsizetype letzte = datei.size() - 1;
    const bool istUtf16 = datei.kodierung() == Textdatei::Kodierung::Utf16Le ||
                          datei.kodierung() == Textdatei::Kodierung::Utf16Be;
    const bool halbeEinheit = istUtf16 && datei.size() > 0 && datei.bytes(letzte).size() % 2 != 0;
    const qsizetype ganzeZeilen = halbeEinheit ? letzte : datei.size();

    Ergebnisliste unveraendert;
    for (qsizetype zeile = 0; zeile < datei.size(); ++zeile) {
        unveraendert.uebernehmeZeile(zeile);
        const QString text = datei.text(zeile);
        if (zeile < ganzeZeilen)
            pruefe(datei.kodieren(text) == datei.bytes(zeile).toByteArray(),
                   "der Text einer Zeile ergibt wieder ihre Bytes");
        // Serial numbers of UTF-16 lines are read on their UTF-8 text.
        if (istUtf16 && zeile < ganzeZeilen && text.isValidUtf16())
            pruefe(datei.schluesselbytes(zeile) == text.toUtf8(), "Schlüsseltext ist UTF-8");
    }
    const QByteArray geschrieben = unveraendert.dateiinhalt(datei);
    pruefe(geschrieben == Referenzmodell::unveraendertGeschrieben(bytes, trenner),
           "unverändert geschrieben = gelesen, bis auf die Zeilenenden");

    // What was written reads back as the very same records. A file cut off inside a code unit
    // is the exception: the line end written after its half code unit reads as text, which may
    // even follow the closing quote of a field over several lines.
    if (halbeEinheit)
        return 0;
    const Textdatei wieder = Textdatei::ausBytes(geschrieben, trenner);
    pruefe(wieder.size() == datei.size(), "gleiche Zeilenzahl nach erneutem Lesen");
    for (qsizetype zeile = 0; zeile < ganzeZeilen; ++zeile)
        pruefe(wieder.bytes(zeile) == datei.bytes(zeile), "gleiche Zeilen nach erneutem Lesen");
    pruefe(wieder.kodierung() == datei.kodierung(), "gleiche Kodierung nach erneutem Lesen");
    return 0;
}
