// A whole keep-first run on any file: the first byte picks the delimiter, the rest is the file.
// The engine's result must be exactly the plain model's: every line without a serial number and
// every line with a unique one in file order, one line per repeated serial number at the place
// of its first line, and nothing else.

#include "pruefen.h"
#include "referenzmodell.h"
#include "testlauf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t groesse)
{
    if (groesse == 0)
        return 0;
    static const QString trennzeichen[] = {
        QStringLiteral(";"), QStringLiteral("\t"), QStringLiteral(","),  QStringLiteral(", "),
        QStringLiteral("ä"), QStringLiteral("€"),  QStringLiteral("\n"), QStringLiteral(";;"),
    };
    const QString &trenner = trennzeichen[daten[0] % std::size(trennzeichen)];
    const QByteArray datei(reinterpret_cast<const char *>(daten) + 1, qsizetype(groesse - 1));

    const auto erwartet = Referenzmodell::behalteErste(datei, trenner);
    const auto lauf = Testlauf::behalteErste(Testlauf::arbeitsordner(), datei, trenner);
    if (!lauf.fehler.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(lauf.fehler));
    pruefe(lauf.fehler.isEmpty(), "der Lauf endet wie vorgesehen");
    pruefe(lauf.ausgang == erwartet.ausgang, "gleicher Ausgang wie im Modell");
    pruefe(lauf.geschrieben == erwartet.ergebnis, "gleiches Ergebnis wie im Modell");
    return 0;
}
