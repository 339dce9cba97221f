// Any bytes, read as a serial-number file and written back without a change, come back byte
// for byte, apart from the line ends: every line then ends in the file's line end, the last
// one too, and a lone CR becomes CR LF.

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
    const Textdatei datei = Textdatei::ausBytes(bytes);

    Ergebnisliste unveraendert;
    for (qsizetype zeile = 0; zeile < datei.size(); ++zeile) {
        unveraendert.uebernehmeZeile(zeile);
        // Decoding must cope with whatever the line holds.
        (void)datei.text(zeile);
    }
    const QByteArray geschrieben = unveraendert.dateiinhalt(datei);
    pruefe(geschrieben == Referenzmodell::unveraendertGeschrieben(bytes),
           "unverändert geschrieben = gelesen, bis auf die Zeilenenden");

    // What was written reads back as the very same lines.
    const Textdatei wieder = Textdatei::ausBytes(geschrieben);
    pruefe(wieder.size() == datei.size(), "gleiche Zeilenzahl nach erneutem Lesen");
    for (qsizetype zeile = 0; zeile < datei.size(); ++zeile)
        pruefe(wieder.bytes(zeile) == datei.bytes(zeile), "gleiche Zeilen nach erneutem Lesen");
    pruefe(wieder.kodierung() == datei.kodierung(), "gleiche Kodierung nach erneutem Lesen");
    return 0;
}
