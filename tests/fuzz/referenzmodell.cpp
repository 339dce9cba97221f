#include "referenzmodell.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QStringDecoder>
#include <QStringEncoder>

namespace Referenzmodell {

namespace {

// A line as a row of units: bytes in 8-bit files, code units in UTF-16 files, and a byte left
// over at the end of a UTF-16 file as 0x10000 plus its value.
using Einheiten = std::u32string;
constexpr char32_t restbyte = 0x10000;

enum class Art { Utf8, Windows1252, Utf16Le, Utf16Be };

struct Datei
{
    Art art = Art::Utf8;
    std::string_view vorspann;
    // Whether records end at CR (and CR LF) rather than at LF.
    bool mitCr = false;
    std::vector<Einheiten> zeilen;
    // The delimiter's units; empty when no field ends at one.
    Einheiten trenner;
    bool anfuehrung = false;
    // A quote could not be read as a spreadsheet's: the records are the lines.
    bool zeilenweise = false;
};

bool kodiere(const Datei &datei, const QString &trennzeichen, Einheiten &einheiten);

bool istUtf8(QByteArrayView bytes)
{
    // Decoded in one piece: the engine reads large files in slices and must agree with this.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool istUtf16(const Datei &datei)
{
    return datei.art == Art::Utf16Le || datei.art == Art::Utf16Be;
}

// The lines between line ends, as a file without quoted fields is read.
std::vector<Einheiten> zeilenVon(const Einheiten &einheiten, bool mitCr)
{
    std::vector<Einheiten> zeilen;
    Einheiten zeile;
    bool offen = false;
    for (size_t i = 0; i < einheiten.size(); ++i) {
        const char32_t c = einheiten[i];
        const bool ende = mitCr ? c == U'\r' : c == U'\n';
        if (!ende) {
            zeile += c;
            offen = true;
            continue;
        }
        zeilen.push_back(zeile);
        zeile.clear();
        offen = false;
        if (mitCr && i + 1 < einheiten.size() && einheiten[i + 1] == U'\n')
            ++i;
    }
    if (offen)
        zeilen.push_back(zeile);
    return zeilen;
}

bool istZeilenende(char32_t c)
{
    return c == U'\r' || c == U'\n';
}

bool trennerBei(const Einheiten &einheiten, size_t i, const Einheiten &trenner)
{
    return !trenner.empty() && einheiten.compare(i, trenner.size(), trenner) == 0;
}

// The records as a spreadsheet's reader reads them, unit by unit; nothing when a quote opens a
// field that does not close, or closes only after more than 100 line ends, or spans lines with
// text after its closing quote. `endeGesehen` tells whether any record ended at `ende`.
std::optional<std::vector<Einheiten>> datensaetzeVon(const Einheiten &e, char32_t ende,
                                                     const Einheiten &trenner, bool &endeGesehen)
{
    std::vector<Einheiten> saetze;
    Einheiten satz;
    bool begonnen = false;
    bool feldanfang = true;
    for (size_t i = 0; i < e.size(); ++i) {
        begonnen = true;
        if (feldanfang) {
            feldanfang = false;
            size_t auf = i;
            while (auf < e.size() && e[auf] == U' ')
                ++auf;
            if (auf < e.size() && e[auf] == U'"') {
                size_t zu = auf + 1;
                int umbrueche = 0;
                for (; zu < e.size(); ++zu) {
                    if (e[zu] == U'"' && zu + 1 < e.size() && e[zu + 1] == U'"')
                        ++zu;
                    else if (e[zu] == U'"')
                        break;
                    else if (e[zu] == U'\n' ||
                             (e[zu] == U'\r' && (zu + 1 == e.size() || e[zu + 1] != U'\n')))
                        ++umbrueche;
                }
                if (zu >= e.size() || umbrueche > 100)
                    return std::nullopt;
                size_t danach = zu + 1;
                while (danach < e.size() && e[danach] == U' ')
                    ++danach;
                // A byte left over at the end of a UTF-16 file is no text.
                const bool sauber = danach == e.size() || e[danach] >= restbyte ||
                                    istZeilenende(e[danach]) || trennerBei(e, danach, trenner);
                if (umbrueche > 0 && !sauber)
                    return std::nullopt;
                satz += e.substr(i, zu + 1 - i);
                i = zu;
                continue;
            }
        }
        const char32_t c = e[i];
        if (c == ende) {
            saetze.push_back(satz);
            satz.clear();
            begonnen = false;
            feldanfang = true;
            endeGesehen = true;
            if (ende == U'\r' && i + 1 < e.size() && e[i + 1] == U'\n')
                ++i;
        } else if (trennerBei(e, i, trenner)) {
            satz += trenner;
            i += trenner.size() - 1;
            feldanfang = true;
        } else {
            satz += c;
        }
    }
    if (begonnen)
        saetze.push_back(satz);
    return saetze;
}

Datei lies(QByteArrayView roh, const QString &trennzeichen, Lesart lesart)
{
    Datei datei;
    std::string_view bytes(roh.data(), size_t(roh.size()));
    const std::pair<std::string_view, Art> marken[] = {
        {"\xEF\xBB\xBF", Art::Utf8}, {"\xFF\xFE", Art::Utf16Le}, {"\xFE\xFF", Art::Utf16Be}};
    datei.art = istUtf8(roh) ? Art::Utf8 : Art::Windows1252;
    for (const auto &[marke, art] : marken) {
        if (bytes.starts_with(marke)) {
            datei.art = art;
            datei.vorspann = marke;
            bytes.remove_prefix(marke.size());
            break;
        }
    }

    Einheiten einheiten;
    if (istUtf16(datei)) {
        const bool be = datei.art == Art::Utf16Be;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            einheiten += be ? char32_t(a << 8 | b) : char32_t(b << 8 | a);
        }
        if (bytes.size() % 2 != 0)
            einheiten += restbyte + static_cast<unsigned char>(bytes.back());
    } else {
        for (const char c : bytes)
            einheiten += static_cast<unsigned char>(c);
    }
    datei.mitCr = einheiten.find(U'\r') != Einheiten::npos;
    if (!kodiere(datei, trennzeichen, datei.trenner))
        datei.trenner.clear();
    datei.anfuehrung = lesart == Lesart::Datensaetze && !trennzeichen.contains(u'"');
    if (!datei.anfuehrung) {
        datei.zeilen = zeilenVon(einheiten, datei.mitCr);
        return datei;
    }
    bool crGesehen = false;
    auto saetze = datensaetzeVon(einheiten, datei.mitCr ? U'\r' : U'\n', datei.trenner, crGesehen);
    // When every CR stands inside quotes, the records end at LF.
    if (saetze && datei.mitCr && !crGesehen) {
        bool lfGesehen = false;
        if (auto alsLf = datensaetzeVon(einheiten, U'\n', datei.trenner, lfGesehen)) {
            saetze = std::move(alsLf);
            datei.mitCr = false;
        }
    }
    datei.zeilenweise = !saetze;
    datei.zeilen = saetze ? *saetze : zeilenVon(einheiten, datei.mitCr);
    return datei;
}

QByteArray schreibe(const Datei &datei, const std::vector<Einheiten> &zeilen)
{
    QByteArray inhalt(datei.vorspann.data(), qsizetype(datei.vorspann.size()));
    const auto einheit = [&](char32_t c) {
        if (!istUtf16(datei) || c >= restbyte) {
            inhalt += char(c & 0xFF);
        } else if (datei.art == Art::Utf16Be) {
            inhalt += char(c >> 8);
            inhalt += char(c & 0xFF);
        } else {
            inhalt += char(c & 0xFF);
            inhalt += char(c >> 8);
        }
    };
    for (const Einheiten &zeile : zeilen) {
        for (const char32_t c : zeile)
            einheit(c);
        for (const char32_t c : std::u32string_view(datei.mitCr ? U"\r\n" : U"\n"))
            einheit(c);
    }
    return inhalt;
}

Einheiten ohneRandLeerzeichen(const Einheiten &zeile)
{
    const size_t anfang = zeile.find_first_not_of(U' ');
    if (anfang == Einheiten::npos)
        return {};
    return zeile.substr(anfang, zeile.find_last_not_of(U' ') - anfang + 1);
}

// True when the delimiter could be written in the file's encoding; only then can a line hold it.
bool kodiere(const Datei &datei, const QString &trennzeichen, Einheiten &einheiten)
{
    einheiten.clear();
    if (istUtf16(datei)) {
        for (const QChar c : trennzeichen)
            einheiten += c.unicode();
        return true;
    }
    QByteArray kodiert;
    if (datei.art == Art::Utf8) {
        kodiert = trennzeichen.toUtf8();
    } else {
        QStringEncoder encoder("windows-1252");
        kodiert = encoder.encode(trennzeichen);
        if (encoder.hasError())
            return false;
    }
    for (const char c : kodiert)
        einheiten += static_cast<unsigned char>(c);
    return true;
}

// Only ASCII counts when reading a number; any other unit is just not a digit.
std::string alsAscii(const Einheiten &einheiten)
{
    std::string text;
    for (const char32_t c : einheiten)
        text += c < 0x80 ? char(c) : '\x80';
    return text;
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

struct Schluessel
{
    Einheiten text;
    bool serie = false;
    bool mitTrenner = false;
};

// Each line's key: its text without spaces at either end, up to the first delimiter.
std::vector<Schluessel> schluesselDerZeilen(const Datei &datei, const QString &trennzeichen,
                                            const Optionen &optionen = {});

} // namespace

QByteArray unveraendertGeschrieben(QByteArrayView roh, const QString &trennzeichen)
{
    const Datei datei = lies(roh, trennzeichen, Lesart::Datensaetze);
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

namespace {

// A quoted first field: its text between the quotes, "" read as one quote, and what follows the
// closing quote up to the delimiter, without spaces around it. False when no quote closes it.
bool entquote(const Einheiten &text, const Einheiten &trenner, Schluessel &s)
{
    Einheiten innen;
    size_t i = 1;
    for (; i < text.size(); ++i) {
        if (text[i] == U'"' && i + 1 < text.size() && text[i + 1] == U'"')
            innen += text[++i];
        else if (text[i] == U'"')
            break;
        else
            innen += text[i];
    }
    if (i >= text.size())
        return false;
    const Einheiten rest = text.substr(i + 1);
    const size_t pos = trenner.empty() ? Einheiten::npos : rest.find(trenner);
    s.text = innen + ohneRandLeerzeichen(rest.substr(0, pos));
    s.mitTrenner = pos != Einheiten::npos;
    return true;
}

// Where field `spalte` (from 1) of a line starts, npos when it has fewer fields. A quote that
// does not close leaves every field of the line unquoted.
size_t feldanfang(const Einheiten &zeile, const Einheiten &trenner, int spalte, bool anfuehrung)
{
    size_t pos = 0;
    for (int feld = 1; feld < spalte; ++feld) {
        size_t ab = pos;
        while (anfuehrung && ab < zeile.size() && zeile[ab] == U' ')
            ++ab;
        if (anfuehrung && ab < zeile.size() && zeile[ab] == U'"') {
            size_t zu = ab + 1;
            for (; zu < zeile.size(); ++zu) {
                if (zeile[zu] == U'"' && zu + 1 < zeile.size() && zeile[zu + 1] == U'"')
                    ++zu;
                else if (zeile[zu] == U'"')
                    break;
            }
            if (zu >= zeile.size())
                return feldanfang(zeile, trenner, spalte, false);
            ab = zu + 1;
        } else {
            ab = pos;
        }
        const size_t naechster = trenner.empty() ? Einheiten::npos : zeile.find(trenner, ab);
        if (naechster == Einheiten::npos)
            return Einheiten::npos;
        pos = naechster + trenner.size();
    }
    return pos;
}

std::vector<Schluessel> schluesselDerZeilen(const Datei &datei, const QString &trennzeichen,
                                            const Optionen &optionen)
{
    const bool trennbar = !datei.trenner.empty() && !trennzeichen.isEmpty();
    const bool anfuehrung = !trennzeichen.contains(u'"');
    std::vector<Schluessel> schluessel;
    for (const Einheiten &zeile : datei.zeilen) {
        const size_t anfang =
            feldanfang(zeile, trennbar ? datei.trenner : Einheiten(), optionen.spalte, anfuehrung);
        if (anfang == Einheiten::npos) {
            schluessel.push_back({});
            continue;
        }
        const Einheiten text = ohneRandLeerzeichen(zeile.substr(anfang));
        const size_t pos = trennbar ? text.find(datei.trenner) : Einheiten::npos;
        Schluessel s{text.substr(0, pos), false, pos != Einheiten::npos};
        if (anfuehrung && text.starts_with(U'"'))
            entquote(text, trennbar ? datei.trenner : Einheiten(), s);
        s.mitTrenner = s.mitTrenner || optionen.spalte > 1;
        const std::string ascii = alsAscii(s.text);
        s.serie = istSeriennummer(QByteArrayView(ascii.data(), qsizetype(ascii.size()))) ||
                  (optionen.text && s.mitTrenner && !s.text.empty());
        // A UTF-16 file cut off inside a code unit: its last line stays where it is.
        if (std::ranges::any_of(zeile, [](char32_t c) { return c >= restbyte; }))
            s.serie = false;
        schluessel.push_back(s);
    }
    return schluessel;
}

// Case folded over characters: UTF-16 units and UTF-8 as text, a Windows-1252 byte as the
// character it stands for. A key that is no valid UTF-8 has only its ASCII letters folded, and
// a byte the code page leaves undefined stays itself.
Einheiten gefaltet(const Einheiten &text, const Datei &datei)
{
    const auto alsEinheiten = [](const QString &zeichen) {
        Einheiten einheiten{U'\U0010FFFF'};
        for (const QChar c : zeichen)
            einheiten += c.unicode();
        return einheiten;
    };
    const auto asciiGefaltet = [&] {
        Einheiten einheiten;
        for (const char32_t c : text)
            einheiten += c >= U'A' && c <= U'Z' ? c + 32 : c;
        return einheiten;
    };
    if (istUtf16(datei)) {
        QString zeichen;
        for (const char32_t c : text)
            zeichen += QChar(char16_t(c));
        return alsEinheiten(zeichen.toCaseFolded());
    }
    if (datei.art == Art::Utf8) {
        QByteArray bytes;
        for (const char32_t c : text)
            bytes += char(c);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString zeichen = decoder.decode(bytes);
        return decoder.hasError() ? asciiGefaltet() : alsEinheiten(zeichen.toCaseFolded());
    }
    Einheiten einheiten;
    for (const char32_t c : text) {
        const char byte = char(c);
        const QString zeichen = QStringDecoder("windows-1252").decode(QByteArrayView(&byte, 1));
        if (zeichen.size() == 1 && zeichen[0] != QChar::ReplacementCharacter)
            einheiten += zeichen.toCaseFolded()[0].unicode();
        else
            einheiten += 0xE000 + c;
    }
    return einheiten;
}

Einheiten vergleichsform(Einheiten text, const Datei &datei, const Optionen &optionen)
{
    if (optionen.leerzeichen)
        std::erase(text, U' ');
    if (optionen.nullen && !text.empty()) {
        const size_t nullen = text.find_first_not_of(U'0');
        text.erase(0, nullen == Einheiten::npos ? text.size() - 1 : nullen);
    }
    return optionen.grossKlein ? gefaltet(text, datei) : text;
}

} // namespace

Lauf behalteErste(QByteArrayView roh, const QString &trennzeichen, Lesart lesart,
                  const Optionen &optionen)
{
    const Datei datei = lies(roh, trennzeichen, lesart);
    Lauf lauf;
    lauf.zeilenweise = datei.zeilenweise;
    if (datei.zeilen.size() < 4)
        return lauf;

    std::vector<Schluessel> schluessel = schluesselDerZeilen(datei, trennzeichen, optionen);
    for (Schluessel &s : schluessel)
        s.text = vergleichsform(s.text, datei, optionen);
    std::map<Einheiten, int> anzahl;
    for (const Schluessel &s : schluessel) {
        if (s.serie)
            ++anzahl[s.text];
    }

    std::vector<Einheiten> behalten;
    std::map<Einheiten, bool> gesehen;
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
    if (serien == 0) {
        lauf.ausgang = Ausgang::NixGefunden;
    } else if (!doppelte) {
        lauf.ausgang = Ausgang::KeineDoppelten;
    } else {
        lauf.ausgang = Ausgang::Ergebnis;
        lauf.ergebnis = schreibe(datei, behalten);
    }
    return lauf;
}

Lauf behalteNachRegel(QByteArrayView roh, const QString &trennzeichen, bool letzte, int vorher)
{
    const Datei datei = lies(roh, trennzeichen, Lesart::Datensaetze);
    Lauf lauf;
    lauf.zeilenweise = datei.zeilenweise;
    if (datei.zeilen.size() < 4)
        return lauf;

    const std::vector<Schluessel> schluessel = schluesselDerZeilen(datei, trennzeichen);
    std::map<Einheiten, std::vector<size_t>> zeilenJeSerie;
    for (size_t i = 0; i < schluessel.size(); ++i) {
        if (schluessel[i].serie)
            zeilenJeSerie[schluessel[i].text].push_back(i);
    }

    std::vector<Einheiten> behalten;
    int serien = 0;
    for (size_t i = 0; i < datei.zeilen.size(); ++i) {
        const Einheiten &zeile = datei.zeilen[i];
        if (!schluessel[i].serie) {
            behalten.push_back(zeile);
            continue;
        }
        const std::vector<size_t> &zeilen = zeilenJeSerie[schluessel[i].text];
        if (zeilen.front() != i)
            continue;
        serien += schluessel[i].mitTrenner ? 1 : 0;
        if (zeilen.size() == 1) {
            behalten.push_back(zeile);
            continue;
        }
        const bool nachRegel = int(lauf.verschieden.size()) >= vorher;
        behalten.push_back(datei.zeilen[nachRegel && letzte ? zeilen.back() : i]);
        lauf.verschieden.push_back(std::ranges::any_of(
            zeilen, [&](size_t andere) { return datei.zeilen[andere] != zeile; }));
    }
    if (serien == 0)
        lauf.ausgang = Ausgang::NixGefunden;
    else if (lauf.verschieden.empty())
        lauf.ausgang = Ausgang::KeineDoppelten;
    else {
        lauf.ausgang = Ausgang::Ergebnis;
        lauf.ergebnis = schreibe(datei, behalten);
    }
    return lauf;
}

} // namespace Referenzmodell
