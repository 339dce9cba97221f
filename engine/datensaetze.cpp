#include "datensaetze.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace Datensaetze {

namespace {

constexpr char16_t anfuehrungszeichen = u'"';

// The units a text is read in: bytes of an 8-bit file, code units of a UTF-16 file or of a
// string. Each source says where its unit stands in the file's bytes.
class Bytequelle
{
public:
    explicit Bytequelle(QByteArrayView bytes)
        : m_daten(bytes.data())
        , m_groesse(bytes.size())
    {
    }
    qsizetype size() const { return m_groesse; }
    char16_t operator[](qsizetype i) const { return static_cast<unsigned char>(m_daten[i]); }
    qsizetype finde(char16_t zeichen, qsizetype von, qsizetype bis) const
    {
        if (von >= bis)
            return bis;
        const void *fund = std::memchr(m_daten + von, int(zeichen), size_t(bis - von));
        return fund ? static_cast<const char *>(fund) - m_daten : bis;
    }
    qsizetype byte(qsizetype i) const { return i; }

private:
    const char *m_daten;
    qsizetype m_groesse;
};

class Utf16quelle
{
public:
    Utf16quelle(QByteArrayView bytes, bool bigEndian)
        : m_daten(reinterpret_cast<const unsigned char *>(bytes.data()))
        , m_einheiten(bytes.size() / 2)
        , m_bigEndian(bigEndian)
    {
    }
    qsizetype size() const { return m_einheiten; }
    char16_t operator[](qsizetype i) const
    {
        const unsigned char erstes = m_daten[2 * i];
        const unsigned char zweites = m_daten[2 * i + 1];
        return m_bigEndian ? char16_t(erstes << 8 | zweites) : char16_t(zweites << 8 | erstes);
    }
    qsizetype finde(char16_t zeichen, qsizetype von, qsizetype bis) const
    {
        while (von < bis && (*this)[von] != zeichen)
            ++von;
        return von;
    }
    qsizetype byte(qsizetype i) const { return 2 * i; }

private:
    const unsigned char *m_daten;
    qsizetype m_einheiten;
    bool m_bigEndian;
};

class Textquelle
{
public:
    explicit Textquelle(QStringView text)
        : m_text(text)
    {
    }
    qsizetype size() const { return m_text.size(); }
    char16_t operator[](qsizetype i) const { return m_text[i].unicode(); }
    qsizetype finde(char16_t zeichen, qsizetype von, qsizetype bis) const
    {
        while (von < bis && m_text[von] != QChar(zeichen))
            ++von;
        return von;
    }
    qsizetype byte(qsizetype i) const { return i; }

private:
    QStringView m_text;
};

std::u16string einheitenVon(QByteArrayView bytes)
{
    std::u16string einheiten;
    for (const char c : bytes)
        einheiten += char16_t(static_cast<unsigned char>(c));
    return einheiten;
}

std::u16string einheitenVon(QStringView text)
{
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
}

// Which units end a record outside quoted fields.
enum class Satzende { Keines, Cr, Lf, CrOderLf };

struct Regeln
{
    std::u16string trenner;
    bool anfuehrung = true;
    Satzende satzende = Satzende::Keines;
    // The splitter's guards against a stray quote; reading a serial number needs none of them.
    bool pruefeSchluss = true;
};

Regeln regelnFuer(std::u16string trenner, Satzende satzende)
{
    const bool anfuehrung = trenner.find(anfuehrungszeichen) == std::u16string::npos;
    return {std::move(trenner), anfuehrung, satzende};
}

bool istZeilenende(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

struct Feld
{
    enum class Schluss { Trenner, Satzende, Ende, Fehler };

    qsizetype ende = 0; // one past the field's last unit
    qsizetype auf = -1;
    qsizetype zu = -1;
    Schluss schluss = Schluss::Ende;
    qsizetype weiter = 0; // after the delimiter or the record's line end
    Stoerung stoerung = Stoerung::NichtGeschlossen;
};

template <typename Quelle> class Leser
{
public:
    Leser(const Quelle &quelle, const Regeln &regeln)
        : m_q(quelle)
        , m_r(regeln)
    {
    }

    // The field that starts at `pos`, up to its delimiter, the record's end or the end.
    Feld leseFeld(qsizetype pos) const
    {
        Feld feld;
        if (m_r.anfuehrung) {
            qsizetype p = pos;
            while (p < m_q.size() && m_q[p] == u' ')
                ++p;
            if (p < m_q.size() && m_q[p] == anfuehrungszeichen) {
                feld.auf = p;
                if (!schliesse(feld))
                    return feld;
                pos = feld.zu + 1;
            }
        }
        for (; pos < m_q.size(); ++pos) {
            const char16_t c = m_q[pos];
            if (endetSatz(c)) {
                feld.ende = pos;
                feld.schluss = Feld::Schluss::Satzende;
                feld.weiter = pos + 1;
                if (c == u'\r' && feld.weiter < m_q.size() && m_q[feld.weiter] == u'\n')
                    ++feld.weiter;
                return feld;
            }
            if (trennerAn(pos)) {
                feld.ende = pos;
                feld.schluss = Feld::Schluss::Trenner;
                feld.weiter = pos + qsizetype(m_r.trenner.size());
                return feld;
            }
        }
        feld.ende = feld.weiter = m_q.size();
        feld.schluss = Feld::Schluss::Ende;
        return feld;
    }

    // The record that starts at `pos`: its end and where the next one starts, or the field at
    // fault.
    Feld leseSatz(qsizetype pos) const
    {
        Feld feld = leseFeld(pos);
        while (feld.schluss == Feld::Schluss::Trenner)
            feld = leseFeld(feld.weiter);
        return feld;
    }

    bool endetSatz(char16_t c) const
    {
        switch (m_r.satzende) {
        case Satzende::Keines:
            return false;
        case Satzende::Cr:
            return c == u'\r';
        case Satzende::Lf:
            return c == u'\n';
        case Satzende::CrOderLf:
            return istZeilenende(c);
        }
        return false;
    }

private:
    bool trennerAn(qsizetype pos) const
    {
        const std::u16string &t = m_r.trenner;
        if (t.empty() || m_q[pos] != t[0] || pos + qsizetype(t.size()) > m_q.size())
            return false;
        for (size_t i = 1; i < t.size(); ++i)
            if (m_q[pos + qsizetype(i)] != t[i])
                return false;
        return true;
    }

    // Finds the quote that closes the field opened at feld.auf; false, with the reason in
    // `feld`, when there is none the rules accept.
    bool schliesse(Feld &feld) const
    {
        feld.schluss = Feld::Schluss::Fehler;
        qsizetype zeilenenden = 0;
        for (qsizetype i = feld.auf + 1; i < m_q.size(); ++i) {
            const char16_t c = m_q[i];
            if (c == anfuehrungszeichen) {
                if (i + 1 < m_q.size() && m_q[i + 1] == anfuehrungszeichen) {
                    ++i;
                    continue;
                }
                feld.zu = i;
                break;
            }
            if (c == u'\n' || (c == u'\r' && (i + 1 >= m_q.size() || m_q[i + 1] != u'\n')))
                ++zeilenenden;
        }
        if (feld.zu < 0) {
            feld.stoerung = Stoerung::NichtGeschlossen;
            return false;
        }
        if (m_r.pruefeSchluss && zeilenenden > zeilenendenGrenze) {
            feld.stoerung = Stoerung::ZuVieleZeilenenden;
            return false;
        }
        if (m_r.pruefeSchluss && zeilenenden > 0 && !endetSauber(feld.zu + 1)) {
            feld.stoerung = Stoerung::TextNachSchluss;
            return false;
        }
        return true;
    }

    // After a closing quote a CSV writer puts only the delimiter or the line end.
    bool endetSauber(qsizetype pos) const
    {
        while (pos < m_q.size() && m_q[pos] == u' ')
            ++pos;
        return pos >= m_q.size() || istZeilenende(m_q[pos]) || trennerAn(pos);
    }

    const Quelle &m_q;
    const Regeln &m_r;
};

struct Rohteilung
{
    Grossfeld<Satzanfang> anfaenge;
    bool letzterOffen = false;
    bool satzendeGefunden = false;
    std::optional<Feld> fehler;
};

template <typename Quelle>
Rohteilung teileRoh(const Quelle &q, qsizetype anfang, const Regeln &regeln,
                    const Fortschrittsmeldung &meldung)
{
    const Leser<Quelle> leser(q, regeln);
    const char16_t endzeichen = regeln.satzende == Satzende::Lf ? u'\n' : u'\r';
    Rohteilung teilung;
    qsizetype pos = anfang;
    while (pos < q.size()) {
        meldeAlle(meldung, teilung.anfaenge.size(), pos, q.size());
        const qsizetype zeilenende = q.finde(endzeichen, pos, q.size());
        // A line without a quote is a record as it stands: no field of it can be quoted.
        if (!regeln.anfuehrung || q.finde(anfuehrungszeichen, pos, zeilenende) == zeilenende) {
            teilung.anfaenge.push_back({q.byte(pos)});
            teilung.letzterOffen = zeilenende == q.size();
            teilung.satzendeGefunden = teilung.satzendeGefunden || !teilung.letzterOffen;
            pos = zeilenende + 1;
            if (endzeichen == u'\r' && pos < q.size() && q[pos] == u'\n')
                ++pos;
            continue;
        }
        const Feld satz = leser.leseSatz(pos);
        if (satz.schluss == Feld::Schluss::Fehler) {
            teilung.fehler = satz;
            return teilung;
        }
        teilung.anfaenge.push_back({q.byte(pos)});
        teilung.letzterOffen = satz.weiter == satz.ende;
        teilung.satzendeGefunden = teilung.satzendeGefunden || !teilung.letzterOffen;
        pos = satz.weiter;
    }
    return teilung;
}

// Whether `zeichen` occurs from `anfang` on; a search through a large file is done in parts,
// between which the window may paint.
template <typename Quelle>
bool kommtVor(const Quelle &q, char16_t zeichen, qsizetype anfang,
              const Fortschrittsmeldung &meldung)
{
    constexpr qsizetype stueck = qsizetype(1) << 25;
    for (qsizetype von = anfang; von < q.size(); von += stueck) {
        const qsizetype bis = std::min(q.size(), von + stueck);
        if (q.finde(zeichen, von, bis) < bis)
            return true;
        if (meldung)
            meldung(0, q.size());
    }
    return false;
}

template <typename Quelle>
Teilung teileQuelle(const Quelle &q, qsizetype anfang, std::u16string trenner,
                    const Fortschrittsmeldung &meldung)
{
    const bool nurLf = !kommtVor(q, u'\r', anfang, meldung);
    Regeln regeln = regelnFuer(std::move(trenner), nurLf ? Satzende::Lf : Satzende::Cr);
    // A file without a quote is split exactly as it always was, without the scan.
    regeln.anfuehrung = regeln.anfuehrung && kommtVor(q, anfuehrungszeichen, anfang, meldung);

    Teilung ergebnis;
    ergebnis.nurLf = nurLf;
    Rohteilung roh = teileRoh(q, anfang, regeln, meldung);
    // Every CR of the file inside quoted fields: its records end at LF, as a Unix export's do
    // when a cell holds CR LF.
    if (!nurLf && regeln.anfuehrung && !roh.fehler && !roh.satzendeGefunden) {
        Regeln lf = regeln;
        lf.satzende = Satzende::Lf;
        Rohteilung alsLf = teileRoh(q, anfang, lf, meldung);
        if (!alsLf.fehler) {
            roh = std::move(alsLf);
            ergebnis.nurLf = true;
        }
    }
    if (roh.fehler) {
        const Feld fehler = *roh.fehler;
        regeln.anfuehrung = false;
        roh = teileRoh(q, anfang, regeln, meldung);
        ergebnis.nurLf = nurLf;
        // The line that holds the quote: the last one that starts at or before it.
        const Satzanfang *anfaenge = roh.anfaenge.data();
        const Satzanfang *danach =
            std::upper_bound(anfaenge, anfaenge + roh.anfaenge.size(), q.byte(fehler.auf),
                             [](qint64 pos, const Satzanfang &satz) { return pos < satz.anfang; });
        ergebnis.offen = Teilung::Anfuehrungszeichen{danach - anfaenge, fehler.stoerung};
    }
    ergebnis.anfaenge = std::move(roh.anfaenge);
    ergebnis.letzterOffen = roh.letzterOffen;
    return ergebnis;
}

} // namespace

Teilung teile8Bit(QByteArrayView inhalt, qsizetype anfang, QByteArrayView trenner,
                  const Fortschrittsmeldung &meldung)
{
    return teileQuelle(Bytequelle(inhalt), anfang, einheitenVon(trenner), meldung);
}

Teilung teileUtf16(QByteArrayView inhalt, qsizetype anfang, bool bigEndian, QStringView trenner,
                   const Fortschrittsmeldung &meldung)
{
    const Utf16quelle quelle(inhalt, bigEndian);
    Teilung teilung = teileQuelle(quelle, anfang / 2, einheitenVon(trenner), meldung);
    if (inhalt.size() % 2 == 0)
        return teilung;
    // The left-over byte: part of a last record that runs to the end, or a record of its own.
    if (teilung.anfaenge.empty() || !teilung.letzterOffen)
        teilung.anfaenge.push_back({inhalt.size() - 1});
    teilung.letzterOffen = true;
    return teilung;
}

ErstesFeld erstesFeld(QByteArrayView satz, QByteArrayView trenner)
{
    Regeln regeln = regelnFuer(einheitenVon(trenner), Satzende::Keines);
    regeln.pruefeSchluss = false;
    const Bytequelle quelle(satz);
    Feld feld = Leser(quelle, regeln).leseFeld(0);
    if (feld.schluss == Feld::Schluss::Fehler) {
        regeln.anfuehrung = false;
        feld = Leser(quelle, regeln).leseFeld(0);
    }
    return {feld.ende, feld.schluss == Feld::Schluss::Trenner, feld.auf, feld.zu};
}

qsizetype feldanfang(QByteArrayView satz, QByteArrayView trenner, qsizetype nummer)
{
    Regeln regeln = regelnFuer(einheitenVon(trenner), Satzende::Keines);
    regeln.pruefeSchluss = false;
    const Bytequelle quelle(satz);
    for (;;) {
        const Leser leser(quelle, regeln);
        qsizetype pos = 0;
        bool offen = false;
        for (qsizetype feld = 0; feld < nummer && !offen; ++feld) {
            const Feld gelesen = leser.leseFeld(pos);
            offen = gelesen.schluss == Feld::Schluss::Fehler;
            if (!offen && gelesen.schluss != Feld::Schluss::Trenner)
                return -1;
            pos = gelesen.weiter;
        }
        if (!offen || !regeln.anfuehrung)
            return pos;
        regeln.anfuehrung = false;
    }
}

QList<std::pair<qsizetype, qsizetype>> felder(QStringView satz, QStringView trenner)
{
    QList<std::pair<qsizetype, qsizetype>> ergebnis;
    for (const Feldstelle &stelle : feldstellen(satz, trenner))
        ergebnis.append({stelle.anfang, stelle.laenge});
    return ergebnis;
}

QList<Feldstelle> feldstellen(QStringView satz, QStringView trenner)
{
    Regeln regeln = regelnFuer(einheitenVon(trenner), Satzende::Keines);
    regeln.pruefeSchluss = false;
    const Textquelle quelle(satz);
    const Leser leser(quelle, regeln);
    QList<Feldstelle> ergebnis;
    qsizetype pos = 0;
    for (;;) {
        const Feld feld = leser.leseFeld(pos);
        // A quote the shown text does not close (it may be cut) takes the rest of it.
        if (feld.schluss == Feld::Schluss::Fehler) {
            ergebnis.append({pos, satz.size() - pos});
            return ergebnis;
        }
        ergebnis.append({pos, feld.ende - pos, feld.auf, feld.zu});
        if (feld.schluss != Feld::Schluss::Trenner)
            return ergebnis;
        pos = feld.weiter;
    }
}

bool anfuehrungGilt(QStringView trenner)
{
    return regelnFuer(einheitenVon(trenner), Satzende::Keines).anfuehrung;
}

std::optional<Satzfehler> pruefeSatz(QStringView satz, QStringView trenner)
{
    const Regeln regeln = regelnFuer(einheitenVon(trenner), Satzende::CrOderLf);
    const Textquelle quelle(satz);
    const Feld feld = Leser(quelle, regeln).leseSatz(0);
    switch (feld.schluss) {
    case Feld::Schluss::Trenner:
    case Feld::Schluss::Ende:
        return std::nullopt;
    case Feld::Schluss::Satzende:
        return Satzfehler{Satzfehler::Art::UmbruchAusserhalb, feld.ende};
    case Feld::Schluss::Fehler:
        break;
    }
    const auto art = feld.stoerung == Stoerung::ZuVieleZeilenenden
                         ? Satzfehler::Art::ZuVieleUmbrueche
                         : Satzfehler::Art::OffenesAnfuehrungszeichen;
    return Satzfehler{art, feld.auf};
}

} // namespace Datensaetze
