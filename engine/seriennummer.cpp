#include "seriennummer.h"

#include "datensaetze.h"

namespace {

QByteArrayView ohneLeerzeichen(QByteArrayView text)
{
    qsizetype anfang = 0;
    qsizetype ende = text.size();
    while (anfang < ende && text[anfang] == ' ')
        ++anfang;
    while (ende > anfang && text[ende - 1] == ' ')
        --ende;
    return text.sliced(anfang, ende - anfang);
}

bool istZwischenraum(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// Walks the text as the BASIC reader does, skipping white space between any two characters.
class Leser
{
public:
    explicit Leser(QByteArrayView text)
        : m_text(text)
    {
    }

    // The next character that is not white space, or 0 at the end.
    char schau()
    {
        while (m_pos < m_text.size() && istZwischenraum(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void weiter() { ++m_pos; }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
};

int ziffernwert(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// True when a digit below `basis` other than 0 follows before the first foreign character.
bool ziffernNichtNull(Leser &leser, int basis, bool mitDezimalpunkt)
{
    bool punktGesehen = !mitDezimalpunkt;
    for (char c = leser.schau();; leser.weiter(), c = leser.schau()) {
        if (c == '.' && !punktGesehen) {
            punktGesehen = true;
            continue;
        }
        const int wert = ziffernwert(c);
        if (wert >= basis)
            return false;
        if (wert != 0)
            return true;
    }
}

} // namespace

namespace {

// A first field that starts with a quote; the rare case, kept out of the way of the others.
Seriennummer quotierteSeriennummer(QByteArrayView text, QByteArrayView trennzeichen)
{
    // The quoted serial number of a spreadsheet export: no quote inside, the delimiter or the end
    // right after the closing quote.
    const qsizetype zu = text.indexOf('"', 1);
    if (zu > 0 && !trennzeichen.contains('"')) {
        const QByteArrayView danach = text.sliced(zu + 1);
        if (danach.isEmpty())
            return {text.sliced(1, zu - 1), false};
        if (!trennzeichen.isNull() && danach.startsWith(trennzeichen))
            return {text.sliced(1, zu - 1), true};
    }
    const Datensaetze::ErstesFeld feld = Datensaetze::erstesFeld(text, trennzeichen);
    if (feld.auf < 0)
        return {text.first(feld.ende), feld.mitTrenner};

    // Inside the quotes "" is one quote; what follows the closing quote up to the delimiter
    // belongs to the field too, without the spaces around it.
    const QByteArrayView innen = text.sliced(feld.auf + 1, feld.zu - feld.auf - 1);
    const QByteArrayView danach =
        ohneLeerzeichen(text.sliced(feld.zu + 1, feld.ende - feld.zu - 1));
    if (!innen.contains("\"\"") && danach.isEmpty())
        return {innen, feld.mitTrenner};
    QByteArray eigen = innen.toByteArray().replace("\"\"", "\"");
    eigen.append(danach);
    return {std::move(eigen), feld.mitTrenner};
}

} // namespace

Seriennummer seriennummerVon(QByteArrayView zeile, QByteArrayView trennzeichen)
{
    const QByteArrayView text = ohneLeerzeichen(zeile);
    if (!trennzeichen.isNull() && trennzeichen.isEmpty())
        return {QByteArrayView(""), !text.isEmpty()};
    if (text.startsWith('"'))
        return quotierteSeriennummer(text, trennzeichen);
    const qsizetype pos = trennzeichen.isNull() ? -1 : text.indexOf(trennzeichen);
    return pos < 0 ? Seriennummer{text, false} : Seriennummer{text.first(pos), true};
}

bool wertIstNull(QByteArrayView text)
{
    Leser leser(text);
    const char erstes = leser.schau();
    if (erstes == '&') {
        leser.weiter();
        const char art = leser.schau();
        leser.weiter();
        if (art == 'H' || art == 'h')
            return !ziffernNichtNull(leser, 16, false);
        if (art == 'O' || art == 'o')
            return !ziffernNichtNull(leser, 8, false);
        return true;
    }
    if (erstes == '+' || erstes == '-')
        leser.weiter();
    // The exponent cannot turn a non-zero mantissa into zero, so it need not be read.
    return !ziffernNichtNull(leser, 10, true);
}

bool istSeriennummer(QByteArrayView serie)
{
    return serie.startsWith('0') || !wertIstNull(serie);
}
