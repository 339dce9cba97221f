#include "referenzmodell.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <variant>

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

// How a run ends: without serial numbers, without repeated ones, or with the result to save.
void beende(Lauf &lauf, int serien, bool doppelte, const Datei &datei,
            const std::vector<Einheiten> &behalten)
{
    if (serien == 0) {
        lauf.ausgang = Ausgang::NixGefunden;
    } else if (!doppelte) {
        lauf.ausgang = Ausgang::KeineDoppelten;
    } else {
        lauf.ausgang = Ausgang::Ergebnis;
        lauf.ergebnis = schreibe(datei, behalten);
    }
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
    beende(lauf, serien, doppelte, datei, behalten);
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
    beende(lauf, serien, !lauf.verschieden.empty(), datei, behalten);
    return lauf;
}

namespace {

// A record's characters, decoded as its file is.
QString alsText(const Einheiten &satz, const Datei &datei)
{
    QString text;
    if (istUtf16(datei)) {
        for (const char32_t c : satz)
            if (c < restbyte)
                text += QChar(char16_t(c));
        return text;
    }
    QByteArray bytes;
    for (const char32_t c : satz)
        bytes += char(c);
    return datei.art == Art::Utf8 ? QString::fromUtf8(bytes)
                                  : QStringDecoder("windows-1252").decode(bytes);
}

bool istLeer(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

QString ohneRand(const QString &text)
{
    qsizetype anfang = 0;
    qsizetype ende = text.size();
    while (anfang < ende && istLeer(text[anfang]))
        ++anfang;
    while (ende > anfang && istLeer(text[ende - 1]))
        --ende;
    return text.mid(anfang, ende - anfang);
}

// The fields as a spreadsheet shows them, without spaces around: a field whose first character
// after spaces is a quote runs to its closing quote, "" inside standing for one quote, and keeps
// what follows up to the delimiter; a quote that never closes leaves the rest as it stands.
std::vector<QString> felderVon(const QString &satz, const QString &trenner)
{
    const bool anfuehrung = !trenner.contains(u'"');
    std::vector<QString> felder;
    qsizetype pos = 0;
    for (;;) {
        qsizetype ab = pos;
        while (ab < satz.size() && satz[ab] == u' ')
            ++ab;
        QString wert;
        qsizetype weiter = pos;
        if (anfuehrung && ab < satz.size() && satz[ab] == u'"') {
            qsizetype zu = ab + 1;
            for (; zu < satz.size(); ++zu) {
                if (satz[zu] == u'"' && zu + 1 < satz.size() && satz[zu + 1] == u'"')
                    wert += satz[++zu];
                else if (satz[zu] == u'"')
                    break;
                else
                    wert += satz[zu];
            }
            if (zu >= satz.size()) {
                felder.push_back(ohneRand(satz.mid(pos)));
                return felder;
            }
            weiter = zu + 1;
        }
        const qsizetype naechster = trenner.isEmpty() ? -1 : satz.indexOf(trenner, weiter);
        wert += satz.mid(weiter, (naechster < 0 ? satz.size() : naechster) - weiter);
        felder.push_back(ohneRand(wert));
        if (naechster < 0)
            return felder;
        pos = naechster + trenner.size();
    }
}

bool istZiffer(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Seconds since a fixed day, for 31.12.2024, 31.12.24 and 2024-12-31 with an optional time.
std::optional<qint64> datumVon(const QString &text)
{
    static const QRegularExpression muster(QStringLiteral(
        "^(?:([0-9]{1,2})\\.([0-9]{1,2})\\.([0-9]{2}|[0-9]{4})|([0-9]{4})-([0-9]{2})-([0-9]{2}))"
        "(?:[ T] *([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)?$"));
    const auto treffer = muster.match(text);
    if (!treffer.hasMatch())
        return std::nullopt;
    const auto zahl = [&](int nr) { return treffer.captured(nr).toInt(); };
    const bool deutsch = treffer.hasCaptured(1);
    int jahr = deutsch ? zahl(3) : zahl(4);
    if (deutsch && treffer.captured(3).size() == 2)
        jahr += jahr < 30 ? 2000 : 1900;
    const QDate tag(jahr, deutsch ? zahl(2) : zahl(5), deutsch ? zahl(1) : zahl(6));
    const int stunde = zahl(7);
    const int minute = zahl(8);
    const int sekunde = zahl(9);
    if (!tag.isValid() || stunde > 23 || minute > 59 || sekunde > 59)
        return std::nullopt;
    return tag.toJulianDay() * 86400 + stunde * 3600 + minute * 60 + sekunde;
}

// How a number's separators are written; 1.234 and 1,234 can be read either way.
enum class Schreibung { Ohne, Deutsch, Englisch, Beides };

struct Zahl
{
    double wert = 0;
    Schreibung schreibung = Schreibung::Ohne;
};

// A number after an optional currency sign and sign, with a unit without digits after it;
// `englisch` reads 1.234 and 1,234 with the point as the decimal separator.
std::optional<Zahl> zahlVon(QString text, bool englisch)
{
    if (!text.isEmpty() && QStringLiteral("€$£").contains(text.front()))
        text = ohneRand(text.mid(1));
    QString vorzeichen;
    if (!text.isEmpty() && QStringLiteral("+-−").contains(text.front())) {
        vorzeichen = text.front() == u'+' ? QString() : QStringLiteral("-");
        text.remove(0, 1);
    }
    qsizetype ende = 0;
    while (ende < text.size() &&
           (istZiffer(text[ende]) || text[ende] == u'.' || text[ende] == u','))
        ++ende;
    const QString ziffern = text.left(ende);
    if (ziffern.isEmpty() || !istZiffer(ziffern.front()) || !istZiffer(ziffern.back()) ||
        std::ranges::any_of(text.mid(ende), istZiffer))
        return std::nullopt;

    const qsizetype kommas = ziffern.count(u',');
    const qsizetype punkte = ziffern.count(u'.');
    Zahl zahl;
    if (kommas > 0 && punkte > 0) {
        zahl.schreibung = ziffern.lastIndexOf(u',') > ziffern.lastIndexOf(u'.')
                              ? Schreibung::Deutsch
                              : Schreibung::Englisch;
    } else if (kommas + punkte == 1) {
        const qsizetype stelle = ziffern.indexOf(kommas > 0 ? u',' : u'.');
        zahl.schreibung = stelle <= 3 && ziffern.size() - stelle == 4 ? Schreibung::Beides
                          : kommas > 0                                ? Schreibung::Deutsch
                                                                      : Schreibung::Englisch;
    } else if (kommas + punkte > 1) {
        zahl.schreibung = kommas > 0 ? Schreibung::Englisch : Schreibung::Deutsch;
    }
    const bool punkt = zahl.schreibung == Schreibung::Englisch ||
                       (zahl.schreibung == Schreibung::Beides && englisch);
    const QStringList teile = ziffern.split(punkt ? u'.' : u',');
    const QStringList gruppen = teile[0].split(punkt ? u',' : u'.');
    if (teile.size() > 2 || teile.value(1).contains(punkt ? u',' : u'.'))
        return std::nullopt;
    // Thousands: one to three digits, then groups of three.
    for (qsizetype i = 0; gruppen.size() > 1 && i < gruppen.size(); ++i) {
        if (gruppen[i].isEmpty() || gruppen[i].size() > 3 || (i > 0 && gruppen[i].size() != 3))
            return std::nullopt;
    }
    const QString c = vorzeichen + gruppen.join(QString()) + u'.' + teile.value(1) + u'0';
    zahl.wert = c.toDouble();
    return zahl;
}

// A record without the column has an empty value there.
QString feldIn(const std::vector<QString> &felder, int spalte)
{
    return spalte >= 1 && size_t(spalte) <= felder.size() ? felder[size_t(spalte - 1)] : QString();
}

enum class Typ { Datum, Zahl, Text };
using Wert = std::variant<qint64, double, QString>;

struct Spaltenart
{
    Typ typ = Typ::Text;
    bool englisch = false;
};

Spaltenart spaltenartVon(const std::vector<QString> &werte)
{
    int daten = 0;
    int zahlen = 0;
    int texte = 0;
    int deutsch = 0;
    int englisch = 0;
    for (const QString &wert : werte) {
        if (wert.isEmpty())
            continue;
        if (datumVon(wert)) {
            ++daten;
        } else if (const auto zahl = zahlVon(wert, false)) {
            ++zahlen;
            deutsch += zahl->schreibung == Schreibung::Deutsch ? 1 : 0;
            englisch += zahl->schreibung == Schreibung::Englisch ? 1 : 0;
        } else {
            ++texte;
        }
    }
    const Typ typ = daten > zahlen && daten > texte    ? Typ::Datum
                    : zahlen > daten && zahlen > texte ? Typ::Zahl
                                                       : Typ::Text;
    return {typ, englisch > deutsch};
}

std::optional<Wert> wertVon(const QString &text, const Spaltenart &art)
{
    if (text.isEmpty())
        return std::nullopt;
    if (art.typ == Typ::Text)
        return Wert(text);
    if (art.typ == Typ::Datum) {
        const auto datum = datumVon(text);
        return datum ? std::optional(Wert(*datum)) : std::nullopt;
    }
    const auto zahl = zahlVon(text, art.englisch);
    return zahl ? std::optional(Wert(zahl->wert)) : std::nullopt;
}

// Below zero when `a` comes first.
int vergleiche(const Wert &a, const Wert &b)
{
    if (const auto *text = std::get_if<QString>(&a)) {
        static const QCollator deutsch(QLocale(QLocale::German, QLocale::Germany));
        return deutsch.compare(*text, std::get<QString>(b));
    }
    return a < b ? -1 : b < a ? 1 : 0;
}

// The index of the record the criterion picks among the group's texts.
size_t gewaehlt(Kriterium kriterium, const std::vector<QString> &saetze, const QString &trenner,
                int spalte, const Spaltenart &art)
{
    if (kriterium == Kriterium::Erste)
        return 0;
    if (kriterium == Kriterium::Letzte)
        return saetze.size() - 1;
    size_t beste = 0;
    std::optional<Wert> bester;
    qsizetype meiste = -1;
    for (size_t i = 0; i < saetze.size(); ++i) {
        const std::vector<QString> felder = felderVon(saetze[i], trenner);
        if (kriterium == Kriterium::Vollstaendigste) {
            const auto gefuellt =
                std::ranges::count_if(felder, [](const QString &f) { return !f.isEmpty(); });
            if (gefuellt > meiste) {
                meiste = gefuellt;
                beste = i;
            }
            continue;
        }
        const auto wert = wertVon(feldIn(felder, spalte), art);
        const int richtung = kriterium == Kriterium::Groesster ? 1 : -1;
        if (wert && (!bester || richtung * vergleiche(*wert, *bester) > 0)) {
            bester = wert;
            beste = i;
        }
    }
    return beste;
}

} // namespace

Lauf behalteNachKriterium(QByteArrayView roh, const QString &trennzeichen, Kriterium kriterium,
                          int spalte, const Optionen &optionen)
{
    const Datei datei = lies(roh, trennzeichen, Lesart::Datensaetze);
    Lauf lauf;
    lauf.zeilenweise = datei.zeilenweise;
    if (datei.zeilen.size() < 4)
        return lauf;

    std::vector<Schluessel> schluessel = schluesselDerZeilen(datei, trennzeichen, optionen);
    std::map<Einheiten, std::vector<size_t>> gruppen;
    for (size_t i = 0; i < schluessel.size(); ++i) {
        schluessel[i].text = vergleichsform(schluessel[i].text, datei, optionen);
        if (schluessel[i].serie)
            gruppen[schluessel[i].text].push_back(i);
    }
    // Only the records of groups are compared, so only they decide how the column reads.
    std::vector<QString> werte;
    for (const auto &[text, zeilen] : gruppen) {
        for (size_t i = 0; zeilen.size() > 1 && i < zeilen.size(); ++i) {
            const auto felder = felderVon(alsText(datei.zeilen[zeilen[i]], datei), trennzeichen);
            werte.push_back(feldIn(felder, spalte));
        }
    }
    const Spaltenart art = spaltenartVon(werte);

    std::vector<Einheiten> behalten;
    int serien = 0;
    for (size_t i = 0; i < datei.zeilen.size(); ++i) {
        if (!schluessel[i].serie) {
            behalten.push_back(datei.zeilen[i]);
            continue;
        }
        const std::vector<size_t> &zeilen = gruppen[schluessel[i].text];
        if (zeilen.front() != i)
            continue;
        serien += schluessel[i].mitTrenner ? 1 : 0;
        std::vector<QString> saetze;
        for (const size_t zeile : zeilen)
            saetze.push_back(alsText(datei.zeilen[zeile], datei));
        behalten.push_back(
            datei.zeilen[zeilen[gewaehlt(kriterium, saetze, trennzeichen, spalte, art)]]);
        if (zeilen.size() > 1)
            lauf.verschieden.push_back(std::ranges::any_of(
                zeilen, [&](size_t andere) { return datei.zeilen[andere] != datei.zeilen[i]; }));
    }
    beende(lauf, serien, !lauf.verschieden.empty(), datei, behalten);
    return lauf;
}

} // namespace Referenzmodell
