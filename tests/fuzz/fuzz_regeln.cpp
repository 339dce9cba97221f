// The rules for the remaining groups and the automatic settling of identical groups on any
// file: the first byte picks the delimiter, the second how the groups are settled, the rest is
// the file. The result must be the plain model's, and the window must end as it would after
// clicking "Weiter" through every group.

#include "pruefen.h"
#include "testlauf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t groesse)
{
    if (groesse < 2)
        return 0;
    static const QString trennzeichen[] = {
        QStringLiteral(";"), QStringLiteral("\t"), QStringLiteral(","),  QStringLiteral(", "),
        QStringLiteral("ä"), QStringLiteral("€"),  QStringLiteral("\n"), QStringLiteral(";;"),
    };
    const QString &trenner = trennzeichen[daten[0] % std::size(trennzeichen)];
    // Keep the first or the last line, or let identical groups settle themselves; for a rule,
    // up to three groups are settled by "Weiter" first.
    const int art = daten[1] % 3;
    const Testlauf::Regelfall fall{art == 1, daten[1] / 3 % 4, art == 2};
    const QByteArray datei(reinterpret_cast<const char *>(daten) + 2, qsizetype(groesse - 2));

    const QString fehler = Testlauf::pruefeRegeln(Testlauf::arbeitsordner(), datei, trenner, fall);
    if (!fehler.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
    pruefe(fehler.isEmpty(), "Regeln und gleiche Gruppen wie Modell und Durchklicken");
    return 0;
}
