// Writes a seeded serial-number file for the benchmark: a header line, one serial number in ten
// repeated 2 to 4 times at scattered places, every other one unique, about 40 bytes a line, LF
// line ends. The same arguments always give the same bytes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Only the engine's raw output is used, never a distribution, so every standard library
// produces the same file.
std::uint64_t zufall(std::mt19937_64 &quelle, std::uint64_t grenze)
{
    return quelle() % grenze;
}

// A bijection on nine-digit numbers (the factor is prime to 10), so distinct ids give distinct
// serial numbers that do not follow the file order.
std::uint64_t seriennummer(std::uint64_t id)
{
    return 1000000000ULL + (id * 2654435761ULL) % 1000000000ULL;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Aufruf: tessra-testdaten ZEILEN STARTWERT DATEI\n");
        return 2;
    }
    const std::uint64_t zeilen = std::strtoull(argv[1], nullptr, 10);
    std::mt19937_64 quelle(std::strtoull(argv[2], nullptr, 10));
    if (zeilen < 10) {
        std::fprintf(stderr, "tessra-testdaten: mindestens 10 Zeilen\n");
        return 2;
    }

    // One id per data line; repeated ids first, then unique ones to fill up, then shuffled.
    const std::uint64_t datenzeilen = zeilen - 1;
    std::vector<std::uint32_t> ids;
    ids.reserve(datenzeilen);
    std::uint32_t naechsteId = 0;
    for (std::uint64_t n = 0; n < zeilen / 10; ++n, ++naechsteId) {
        const std::uint64_t anzahl = 2 + zufall(quelle, 3);
        for (std::uint64_t k = 0; k < anzahl && ids.size() < datenzeilen; ++k)
            ids.push_back(naechsteId);
    }
    while (ids.size() < datenzeilen)
        ids.push_back(naechsteId++);
    for (std::size_t i = ids.size() - 1; i > 0; --i)
        std::swap(ids[i], ids[zufall(quelle, i + 1)]);

    std::FILE *datei = std::fopen(argv[3], "wb");
    if (!datei) {
        std::perror(argv[3]);
        return 1;
    }
    std::fputs("Seriennummer;Artikel;Datum;Menge\n", datei);
    for (const std::uint32_t id : ids) {
        std::fprintf(datei, "%llu;Artikel-%05llu;2024-%02llu-%02llu;%04llu\n",
                     static_cast<unsigned long long>(seriennummer(id)),
                     static_cast<unsigned long long>(zufall(quelle, 100000)),
                     static_cast<unsigned long long>(1 + zufall(quelle, 12)),
                     static_cast<unsigned long long>(1 + zufall(quelle, 28)),
                     static_cast<unsigned long long>(zufall(quelle, 10000)));
    }
    if (std::fclose(datei) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
