#include "textdatei.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdint>
#include <cstring>

namespace {

constexpr QByteArrayView utf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView utf16LeBom("\xFF\xFE");
constexpr QByteArrayView utf16BeBom("\xFE\xFF");
constexpr const char *windows1252 = "windows-1252";

// Bytes that are not part of valid UTF-8 become these lone low surrogates, one per byte value.
constexpr char16_t fremdbyteBasis = 0xDC00;

bool istFolgebyte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `pos` and the character it stands for; 0
// when there is none.
qsizetype utf8Folge(QByteArrayView bytes, qsizetype pos, char32_t &zeichen)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char erstes = byte(pos);
    zeichen = erstes;
    if (erstes < 0x80)
        return 1;
    qsizetype laenge = 0;
    unsigned char von = 0x80; // the range of the second byte: no overlong forms, no surrogates
    unsigned char bis = 0xBF;
    if (erstes >= 0xC2 && erstes <= 0xDF) {
        laenge = 2;
    } else if (erstes >= 0xE0 && erstes <= 0xEF) {
        laenge = 3;
        von = erstes == 0xE0 ? 0xA0 : von;
        bis = erstes == 0xED ? 0x9F : bis;
    } else if (erstes >= 0xF0 && erstes <= 0xF4) {
        laenge = 4;
        von = erstes == 0xF0 ? 0x90 : von;
        bis = erstes == 0xF4 ? 0x8F : bis;
    } else {
        return 0;
    }
    if (pos + laenge > bytes.size() || byte(pos + 1) < von || byte(pos + 1) > bis)
        return 0;
    for (qsizetype i = pos + 2; i < pos + laenge; ++i)
        if (!istFolgebyte(bytes[i]))
            return 0;
    zeichen &= 0x7F >> laenge;
    for (qsizetype i = pos + 1; i < pos + laenge; ++i)
        zeichen = zeichen << 6 | (byte(i) & 0x3F);
    return laenge;
}

// Runs of ASCII, the bulk of any list, are passed eight bytes at a time; every other sequence
// must be well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool istGueltigesUtf8(QByteArrayView inhalt, const Fortschrittsmeldung &meldung)
{
    // A large file is checked in parts, between which the window may paint.
    constexpr qsizetype stueck = qsizetype(1) << 26;
    qsizetype naechsteMeldung = stueck;
    const char *daten = inhalt.data();
    const qsizetype groesse = inhalt.size();
    qsizetype pos = 0;
    while (pos < groesse) {
        if (pos >= naechsteMeldung) {
            if (meldung)
                meldung(0, 1);
            naechsteMeldung += stueck;
        }
        if (pos + 8 <= groesse) {
            std::uint64_t wort = 0;
            std::memcpy(&wort, daten + pos, 8);
            if ((wort & 0x8080808080808080ULL) == 0) {
                pos += 8;
                continue;
            }
        }
        char32_t zeichen = 0;
        const qsizetype laenge = utf8Folge(inhalt, pos, zeichen);
        if (laenge == 0)
            return false;
        pos += laenge;
    }
    return true;
}

// UTF-8 in which every byte outside a well-formed sequence keeps its identity as a character
// of its own.
QString utf8MitFremdbytes(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        char32_t zeichen = 0;
        const qsizetype laenge = utf8Folge(bytes, pos, zeichen);
        if (laenge == 0) {
            text.append(QChar(fremdbyteBasis + static_cast<unsigned char>(bytes[pos])));
            ++pos;
        } else {
            for (const char16_t einheit : QChar::fromUcs4(zeichen))
                text.append(QChar(einheit));
            pos += laenge;
        }
    }
    return text;
}

// The way back: a lone U+DC80 to U+DCFF is its byte again, everything else plain UTF-8.
QByteArray utf8MitFremdbytes(QStringView text)
{
    QByteArray bytes;
    qsizetype lauf = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool gepaart = i > 0 && text[i - 1].isHighSurrogate();
        if (c < 0xDC80 || c > 0xDCFF || gepaart)
            continue;
        bytes.append(text.sliced(lauf, i - lauf).toUtf8());
        bytes.append(char(c - fremdbyteBasis));
        lauf = i + 1;
    }
    bytes.append(text.sliced(lauf).toUtf8());
    return bytes;
}

char16_t einheit16(const char *zeiger, bool bigEndian)
{
    const auto erstes = static_cast<unsigned char>(zeiger[0]);
    const auto zweites = static_cast<unsigned char>(zeiger[1]);
    return bigEndian ? char16_t(erstes << 8 | zweites) : char16_t(zweites << 8 | erstes);
}

// The code units as they are, unpaired surrogates included. A byte left over at the end is
// half a code unit and shows as the replacement character.
QString utf16Text(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype einheiten = bytes.size() / 2;
    QString text(einheiten + bytes.size() % 2, Qt::Uninitialized);
    char16_t *ziel = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < einheiten; ++i)
        ziel[i] = einheit16(bytes.data() + 2 * i, bigEndian);
    if (bytes.size() % 2 != 0)
        ziel[einheiten] = QChar::ReplacementCharacter;
    return text;
}

QByteArray utf16Bytes(QStringView text, bool bigEndian)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        bytes[2 * i + (bigEndian ? 1 : 0)] = char(c & 0xFF);
        bytes[2 * i + (bigEndian ? 0 : 1)] = char(c >> 8);
    }
    return bytes;
}

// Writes the UTF-8 form of one code point (or unpaired surrogate) to `ziel` when it is given;
// returns the number of bytes either way.
qsizetype utf8Bytes(char32_t zeichen, char *ziel)
{
    if (zeichen < 0x80) {
        if (ziel)
            ziel[0] = char(zeichen);
        return 1;
    }
    const qsizetype laenge = zeichen < 0x800 ? 2 : zeichen < 0x10000 ? 3 : 4;
    if (ziel) {
        for (qsizetype i = laenge - 1; i > 0; --i, zeichen >>= 6)
            ziel[i] = char(0x80 | (zeichen & 0x3F));
        constexpr unsigned char kopf[] = {0, 0, 0xC0, 0xE0, 0xF0};
        ziel[0] = char(kopf[laenge] | zeichen);
    }
    return laenge;
}

// The UTF-8 form of a whole UTF-16 text: counts only when `ziel` is null.
qsizetype utf8AusUtf16(QByteArrayView bytes, bool bigEndian, char *ziel)
{
    qsizetype laenge = 0;
    const qsizetype einheiten = bytes.size() / 2;
    for (qsizetype i = 0; i < einheiten; ++i) {
        char32_t zeichen = einheit16(bytes.data() + 2 * i, bigEndian);
        if (QChar::isHighSurrogate(zeichen) && i + 1 < einheiten) {
            const char16_t folgt = einheit16(bytes.data() + 2 * i + 2, bigEndian);
            if (QChar::isLowSurrogate(folgt)) {
                zeichen = QChar::surrogateToUcs4(char16_t(zeichen), folgt);
                ++i;
            }
        }
        laenge += utf8Bytes(zeichen, ziel ? ziel + laenge : nullptr);
    }
    return laenge;
}

} // namespace

Textdatei::Textdatei()
    : m_anfaenge(1, Datensaetze::Satzanfang{})
{
}

Textdatei Textdatei::ausBytes(QByteArray inhalt, const QString &trennzeichen,
                              const Fortschrittsmeldung &meldung)
{
    Textdatei datei;
    datei.m_anfaenge = {};
    datei.m_inhalt = std::move(inhalt);
    const QByteArrayView alles(datei.m_inhalt);

    if (alles.startsWith(utf8Bom))
        datei.m_kodierung = Kodierung::Utf8;
    else if (alles.startsWith(utf16LeBom))
        datei.m_kodierung = Kodierung::Utf16Le;
    else if (alles.startsWith(utf16BeBom))
        datei.m_kodierung = Kodierung::Utf16Be;
    else if (istGueltigesUtf8(alles, meldung))
        datei.m_kodierung = Kodierung::Utf8;
    else
        datei.m_kodierung = Kodierung::Windows1252;
    datei.m_bom = alles.startsWith(utf8Bom) || datei.istUtf16();
    // Checking a large file for UTF-8 takes a while; the window may paint in between.
    if (meldung)
        meldung(0, 1);

    datei.teileNeu(trennzeichen, meldung);
    return datei;
}

void Textdatei::teileNeu(const QString &trennzeichen, const Fortschrittsmeldung &meldung)
{
    // In a UTF-16 file the UTF-8 text of its lines takes about as long again.
    teileInSaetze(trennzeichen, istUtf16() ? teilVon(meldung, 0, 0.5) : meldung);
    if (istUtf16()) {
        m_schluesseltext.clear();
        m_schluesselanfang = {};
        legeSchluesseltextAn(teilVon(meldung, 0.5, 1));
    }
}

void Textdatei::teileInSaetze(const QString &trennzeichen, const Fortschrittsmeldung &meldung)
{
    const QByteArrayView alles(m_inhalt);
    Datensaetze::Teilung teilung =
        istUtf16()
            ? Datensaetze::teileUtf16(alles, utf16LeBom.size(), m_kodierung == Kodierung::Utf16Be,
                                      trennzeichen, meldung)
            : Datensaetze::teile8Bit(alles, m_bom ? utf8Bom.size() : 0,
                                     schluesselTrennzeichen(trennzeichen), meldung);
    m_anfaenge = std::move(teilung.anfaenge);
    m_letzteOffen = teilung.letzterOffen;
    m_zeilenende = teilung.nurLf ? Zeilenende::Lf : Zeilenende::CrLf;
    m_offen = teilung.offen;
    m_zeilenweise = m_offen.has_value() || trennzeichen.contains(u'"');
}

void Textdatei::legeSchluesseltextAn(const Fortschrittsmeldung &meldung)
{
    const bool bigEndian = m_kodierung == Kodierung::Utf16Be;
    // A line cut off inside a code unit has no serial number: it cannot be listed and moved
    // up, where its odd byte would shift every line after it.
    const auto ganz = [](QByteArrayView zeile) { return zeile.size() % 2 == 0; };
    qsizetype gesamt = 0;
    for (qsizetype zeile = 0; zeile < size(); ++zeile) {
        meldeAlle(meldung, zeile, zeile, 2 * size());
        if (ganz(bytes(zeile)))
            gesamt += utf8AusUtf16(bytes(zeile), bigEndian, nullptr);
    }

    m_schluesseltext = QByteArray(gesamt, Qt::Uninitialized);
    m_schluesselanfang.reserve(size() + 1);
    qsizetype laenge = 0;
    for (qsizetype zeile = 0; zeile < size(); ++zeile) {
        meldeAlle(meldung, zeile, size() + zeile, 2 * size());
        m_schluesselanfang.push_back(laenge);
        if (ganz(bytes(zeile)))
            laenge += utf8AusUtf16(bytes(zeile), bigEndian, m_schluesseltext.data() + laenge);
    }
    m_schluesselanfang.push_back(laenge);
}

qsizetype Textdatei::endlaenge(qsizetype naechster) const
{
    const qsizetype einheit = istUtf16() ? 2 : 1;
    if (m_zeilenende == Zeilenende::Lf)
        return einheit;
    // Where records end at CR, an LF in front of a record is the second half of CR LF.
    const char *vorher = m_inhalt.constData() + naechster - einheit;
    const bool lf = istUtf16() ? einheit16(vorher, m_kodierung == Kodierung::Utf16Be) == u'\n'
                               : *vorher == '\n';
    return lf ? 2 * einheit : einheit;
}

QByteArrayView Textdatei::bytes(qsizetype zeile) const
{
    Q_ASSERT(zeile >= 0 && zeile < size());
    const qsizetype anfang = m_anfaenge[zeile].anfang;
    const bool letzte = zeile + 1 == size();
    const qsizetype naechster = letzte ? m_inhalt.size() : m_anfaenge[zeile + 1].anfang;
    const qsizetype ende = letzte && m_letzteOffen ? naechster : naechster - endlaenge(naechster);
    return QByteArrayView(m_inhalt).sliced(anfang, ende - anfang);
}

QByteArrayView Textdatei::schluesselbytes(qsizetype zeile) const
{
    if (m_schluesselanfang.empty())
        return bytes(zeile);
    const qsizetype anfang = m_schluesselanfang[zeile];
    return QByteArrayView(m_schluesseltext).sliced(anfang, m_schluesselanfang[zeile + 1] - anfang);
}

QString Textdatei::text(qsizetype zeile) const
{
    return dekodieren(bytes(zeile));
}

QByteArray Textdatei::schluesselTrennzeichen(const QString &trennzeichen) const
{
    if (trennzeichen.isEmpty())
        return QByteArray("");
    if (!istUtf16())
        return kodieren(trennzeichen).value_or(QByteArray());
    const QByteArray einheiten = utf16Bytes(trennzeichen, false);
    QByteArray bytes(utf8AusUtf16(einheiten, false, nullptr), Qt::Uninitialized);
    utf8AusUtf16(einheiten, false, bytes.data());
    return bytes;
}

QString Textdatei::dekodieren(QByteArrayView bytes) const
{
    switch (m_kodierung) {
    case Kodierung::Utf8: {
        // The fast way serves nearly every line. It replaces what is not UTF-8 by U+FFFD and
        // drops a mark at the start of a line, which is text of that line.
        QString text = QString::fromUtf8(bytes);
        if (text.contains(QChar::ReplacementCharacter) || bytes.startsWith(utf8Bom))
            return utf8MitFremdbytes(bytes);
        return text;
    }
    case Kodierung::Windows1252:
        return QStringDecoder(windows1252, QStringDecoder::Flag::Stateless).decode(bytes);
    case Kodierung::Utf16Le:
    case Kodierung::Utf16Be:
        return utf16Text(bytes, m_kodierung == Kodierung::Utf16Be);
    }
    return {};
}

QByteArrayView Textdatei::vorspann() const
{
    switch (m_kodierung) {
    case Kodierung::Utf8:
        return m_bom ? utf8Bom : QByteArrayView();
    case Kodierung::Windows1252:
        return {};
    case Kodierung::Utf16Le:
        return utf16LeBom;
    case Kodierung::Utf16Be:
        return utf16BeBom;
    }
    return {};
}

QByteArrayView Textdatei::zeilenendeBytes() const
{
    const bool crLf = m_zeilenende == Zeilenende::CrLf;
    switch (m_kodierung) {
    case Kodierung::Utf8:
    case Kodierung::Windows1252:
        break;
    case Kodierung::Utf16Le:
        return crLf ? QByteArrayView("\r\0\n\0", 4) : QByteArrayView("\n\0", 2);
    case Kodierung::Utf16Be:
        return crLf ? QByteArrayView("\0\r\0\n", 4) : QByteArrayView("\0\n", 2);
    }
    return crLf ? QByteArrayView("\r\n") : QByteArrayView("\n");
}

qsizetype Textdatei::ersteNichtKodierbareStelle(const QString &text) const
{
    if (kodieren(text))
        return -1;
    // Nearly always one character is at fault on its own.
    for (qsizetype pos = 0; pos < text.size();) {
        const bool paar =
            text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate();
        const qsizetype laenge = paar ? 2 : 1;
        if (!kodieren(text.sliced(pos, laenge)))
            return pos;
        pos += laenge;
    }
    // Otherwise two characters fail only side by side (stray bytes that would read back as one
    // character): the shortest beginning of the text that fails ends with the second.
    qsizetype gut = 0;
    qsizetype schlecht = text.size();
    while (schlecht - gut > 1) {
        const qsizetype mitte = gut + (schlecht - gut) / 2;
        (kodieren(text.first(mitte)) ? gut : schlecht) = mitte;
    }
    return schlecht - 1;
}

std::optional<QByteArray> Textdatei::kodieren(const QString &text) const
{
    QByteArray bytes;
    switch (m_kodierung) {
    case Kodierung::Utf8:
        // Only a file with a mark stays UTF-8 with such bytes in it: without one, the next
        // reading would take the whole file for Windows-1252.
        bytes = m_bom ? utf8MitFremdbytes(QStringView(text)) : text.toUtf8();
        break;
    case Kodierung::Windows1252: {
        QStringEncoder encoder(windows1252, QStringEncoder::Flag::Stateless);
        bytes = encoder.encode(text);
        if (encoder.hasError())
            return std::nullopt;
        break;
    }
    case Kodierung::Utf16Le:
    case Kodierung::Utf16Be:
        bytes = utf16Bytes(text, m_kodierung == Kodierung::Utf16Be);
        break;
    }
    // What is written must read back as what the user saw: an unpaired surrogate has no place
    // in UTF-8, and two bytes of their own typed side by side could read back as one character.
    if (dekodieren(bytes) != text)
        return std::nullopt;
    return bytes;
}
