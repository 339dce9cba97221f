#include "referenzmodell.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <QStringDecoder>
#include <QStringEncoder>

namespace Referenzmodell {

namespace {

const std::string_view bom("\xEF\xBB\xBF");

struct Datei
{
    bool utf8 = true;
    bool mitBom = false;
    bool mitCr = false;
    std::vector<std::string> zeilen;
};

bool istUtf8(QByteArrayView bytes)
{
    // Decoded in one piece: the engine reads large files in slices and must agree with this.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

Datei lies(QByteArrayView roh)
{
    Datei datei;
    std::string_view bytes(roh.data(), size_t(roh.size()));
    datei.utf8 = istUtf8(roh);
    datei.mitBom = datei.utf8 && bytes.starts_with(bom);
    if (datei.mitBom)
        bytes.remove_prefix(bom.size());
    datei.mitCr = bytes.find('\r') != std::string_view::npos;

    std::string zeile;
    bool offen = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool ende = datei.mitCr ? c == '\r' : c == '\n';
        if (!ende) {
            zeile += c;
            offen = true;
            continue;
        }
        datei.zeilen.push_back(zeile);
        zeile.clear();
        offen = false;
        if (datei.mitCr && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    if (offen)
        datei.zeilen.push_back(zeile);
    return datei;
}

QByteArray schreibe(const Datei &datei, const std::vector<std::string> &zeilen)
{
    QByteArray inhalt;
    if (datei.mitBom)
        inhalt.append(bom.data(), qsizetype(bom.size()));
    for (const std::string &zeile : zeilen) {
        inhalt.append(zeile.data(), qsizetype(zeile.size()));
        inhalt.append(datei.mitCr ? "\r\n" : "\n");
    }
    return inhalt;
}

std::string ohneRandLeerzeichen(const std::string &zeile)
{
    const size_t anfang = zeile.find_first_not_of(' ');
    if (anfang == std::string::npos)
        return {};
    return zeile.substr(anfang, zeile.find_last_not_of(' ') - anfang + 1);
}

// True when the delimiter could be written in the file's encoding; only then can a line hold it.
bool kodiere(const Datei &datei, const QString &trennzeichen, std::string &bytes)
{
    QByteArray kodiert;
    if (datei.utf8) {
        kodiert = trennzeichen.toUtf8();
    } else {
        QStringEncoder encoder("windows-1252");
        kodiert = encoder.encode(trennzeichen);
        if (encoder.hasError())
            return false;
    }
    bytes.assign(kodiert.constData(), size_t(kodiert.size()));
    return true;
}

int ziffer(char c, int basis)
{
    int wert = 99;
    if (c >= '0' && c <= '9')
        wert = c - '0';
    else if (c >= 'a' && c <= 'f')
        wert = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        wert = c - 'A' + 10;
    return wert < basis ? wert : -1;
}

} // namespace

QByteArray unveraendertGeschrieben(QByteArrayView roh)
{
    const Datei datei = lies(roh);
    return schreibe(datei, datei.zeilen);
}

bool istSeriennummer(QByteArrayView serie)
{
    if (serie.startsWith('0'))
        return true;
    // White space counts nowhere in the number, so drop it before reading.
    std::string s;
    for (const char c : serie)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    size_t i = 0;
    int basis = 10;
    if (s.starts_with('&')) {
        const char art = s.size() > 1 ? s[1] : '\0';
        if (art == 'H' || art == 'h')
            basis = 16;
        else if (art == 'O' || art == 'o')
            basis = 8;
        else
            return false;
        i = 2;
    } else if (s.starts_with('+') || s.starts_with('-')) {
        i = 1;
    }
    bool punkt = basis != 10;
    for (; i < s.size(); ++i) {
        if (s[i] == '.' && !punkt) {
            punkt = true;
            continue;
        }
        const int wert = ziffer(s[i], basis);
        if (wert < 0)
            return false;
        if (wert > 0)
            return true;
    }
    return false;
}

Lauf behalteErste(QByteArrayView roh, const QString &trennzeichen)
{
    const Datei datei = lies(roh);
    if (datei.zeilen.size() < 4)
        return {};

    std::string trenner;
    const bool trennbar = kodiere(datei, trennzeichen, trenner) && !trenner.empty();
    struct Schluessel
    {
        std::string text;
        bool serie = false;
        bool mitTrenner = false;
    };
    std::vector<Schluessel> schluessel;
    std::map<std::string, int> anzahl;
    for (const std::string &zeile : datei.zeilen) {
        const std::string text = ohneRandLeerzeichen(zeile);
        const size_t pos = trennbar ? text.find(trenner) : std::string::npos;
        Schluessel s{text.substr(0, pos), false, pos != std::string::npos};
        s.serie = istSeriennummer(QByteArrayView(s.text.data(), qsizetype(s.text.size())));
        if (s.serie)
            ++anzahl[s.text];
        schluessel.push_back(s);
    }

    std::vector<std::string> behalten;
    std::map<std::string, bool> gesehen;
    int serien = 0;
    bool doppelte = false;
    for (size_t i = 0; i < datei.zeilen.size(); ++i) {
        const Schluessel &s = schluessel[i];
        if (s.serie) {
            if (gesehen[s.text])
                continue;
            gesehen[s.text] = true;
            serien += s.mitTrenner ? 1 : 0;
            doppelte = doppelte || anzahl[s.text] > 1;
        }
        behalten.push_back(datei.zeilen[i]);
    }
    if (serien == 0)
        return {Ausgang::NixGefunden, {}};
    if (!doppelte)
        return {Ausgang::KeineDoppelten, {}};
    return {Ausgang::Ergebnis, schreibe(datei, behalten)};
}

Lauf behalteNachRegel(QByteArrayView roh, const QString &trennzeichen, bool letzte, int vorher)
{
    const Datei datei = lies(roh);
    if (datei.zeilen.size() < 4)
        return {};

    std::string trenner;
    const bool trennbar = kodiere(datei, trennzeichen, trenner) && !trenner.empty();
    // Each line's serial number (empty for none), and every serial number's lines.
    std::vector<std::string> serie(datei.zeilen.size());
    std::vector<bool> mitTrenner(datei.zeilen.size());
    std::map<std::string, std::vector<size_t>> zeilenJeSerie;
    for (size_t i = 0; i < datei.zeilen.size(); ++i) {
        const std::string text = ohneRandLeerzeichen(datei.zeilen[i]);
        const size_t pos = trennbar ? text.find(trenner) : std::string::npos;
        const std::string schluessel = text.substr(0, pos);
        mitTrenner[i] = pos != std::string::npos;
        if (istSeriennummer(QByteArrayView(schluessel.data(), qsizetype(schluessel.size())))) {
            serie[i] = schluessel;
            zeilenJeSerie[schluessel].push_back(i);
        }
    }

    Lauf lauf;
    std::vector<std::string> behalten;
    int serien = 0;
    for (size_t i = 0; i < datei.zeilen.size(); ++i) {
        const std::string &zeile = datei.zeilen[i];
        const auto gruppe = zeilenJeSerie.find(serie[i]);
        if (gruppe == zeilenJeSerie.end()) {
            behalten.push_back(zeile);
            continue;
        }
        const std::vector<size_t> &zeilen = gruppe->second;
        if (zeilen.front() != i)
            continue;
        serien += mitTrenner[i] ? 1 : 0;
        if (zeilen.size() == 1) {
            behalten.push_back(zeile);
            continue;
        }
        const bool nachRegel = lauf.gruppen++ >= vorher;
        behalten.push_back(datei.zeilen[nachRegel && letzte ? zeilen.back() : i]);
        for (const size_t andere : zeilen) {
            if (datei.zeilen[andere] != zeile) {
                ++lauf.verschiedene;
                break;
            }
        }
    }
    if (serien == 0)
        lauf.ausgang = Ausgang::NixGefunden;
    else if (lauf.gruppen == 0)
        lauf.ausgang = Ausgang::KeineDoppelten;
    else {
        lauf.ausgang = Ausgang::Ergebnis;
        lauf.ergebnis = schreibe(datei, behalten);
    }
    return lauf;
}

} // namespace Referenzmodell
