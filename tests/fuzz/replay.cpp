// Feeds every file of the given folders (or the given files) to a fuzz target once, so the
// committed corpus is checked by every ordinary test run without libFuzzer.

#include <cstdint>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t groesse);

namespace {

QStringList dateienIn(const QString &pfad)
{
    const QFileInfo info(pfad);
    if (!info.isDir())
        return {pfad};
    QStringList dateien;
    const QDir ordner(pfad);
    for (const QString &name : ordner.entryList(QDir::Files, QDir::Name))
        dateien.append(ordner.filePath(name));
    return dateien;
}

} // namespace

int main(int argc, char **argv)
{
    qsizetype anzahl = 0;
    for (int i = 1; i < argc; ++i) {
        for (const QString &pfad : dateienIn(QString::fromLocal8Bit(argv[i]))) {
            QFile datei(pfad);
            if (!datei.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s kann nicht gelesen werden\n", qPrintable(pfad));
                return 1;
            }
            const QByteArray inhalt = datei.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(inhalt.constData()),
                                   std::size_t(inhalt.size()));
            ++anzahl;
        }
    }
    std::printf("%lld Eingaben geprüft\n", static_cast<long long>(anzahl));
    // An empty corpus would make this test pass without checking anything.
    return anzahl > 0 ? 0 : 1;
}
