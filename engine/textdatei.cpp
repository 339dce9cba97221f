#include "textdatei.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace {

constexpr QByteArrayView utf8Bom("\xEF\xBB\xBF");
constexpr const char *windows1252 = "windows-1252";

bool istFolgebyte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Qt's decoder is the judge of valid UTF-8. It runs over slices that end before a lead byte, so
// no character is cut and the whole file never has to exist a second time as UTF-16.
bool istGueltigesUtf8(QByteArrayView inhalt)
{
    constexpr qsizetype scheibe = 1 << 16;
    QString puffer(scheibe, Qt::Uninitialized);
    qsizetype anfang = 0;
    while (anfang < inhalt.size()) {
        qsizetype ende = std::min(anfang + scheibe, inhalt.size());
        while (ende < inhalt.size() && ende > anfang && istFolgebyte(inhalt[ende]))
            --ende;
        if (ende == anfang) // only continuation bytes ahead: certainly invalid
            return false;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        decoder.appendToBuffer(puffer.data(), inhalt.sliced(anfang, ende - anfang));
        if (decoder.hasError())
            return false;
        anfang = ende;
    }
    return true;
}

} // namespace

Textdatei::Textdatei()
    : m_zeilen{Spanne{}}
{
}

Textdatei Textdatei::ausBytes(QByteArray inhalt)
{
    Textdatei datei;
    datei.m_zeilen.clear();
    datei.m_inhalt = std::move(inhalt);
    const QByteArrayView alles(datei.m_inhalt);

    qsizetype anfang = 0;
    if (istGueltigesUtf8(alles)) {
        datei.m_kodierung = Kodierung::Utf8;
        datei.m_bom = alles.startsWith(utf8Bom);
        if (datei.m_bom)
            anfang = utf8Bom.size();
    } else {
        datei.m_kodierung = Kodierung::Windows1252;
    }

    const bool ohneCr = !alles.contains('\r');
    datei.m_zeilenende = ohneCr ? Zeilenende::Lf : Zeilenende::CrLf;
    const char trenner = ohneCr ? '\n' : '\r';

    const char *daten = alles.data();
    const qsizetype groesse = alles.size();
    while (anfang < groesse) {
        const void *fund = std::memchr(daten + anfang, trenner, size_t(groesse - anfang));
        const qsizetype ende = fund ? static_cast<const char *>(fund) - daten : groesse;
        datei.m_zeilen.push_back({anfang, ende - anfang});
        anfang = ende + 1;
        if (!ohneCr && anfang < groesse && daten[anfang] == '\n')
            ++anfang;
    }
    return datei;
}

QByteArrayView Textdatei::bytes(qsizetype zeile) const
{
    const Spanne &spanne = m_zeilen.at(size_t(zeile));
    return QByteArrayView(m_inhalt).sliced(spanne.anfang, spanne.laenge);
}

QString Textdatei::text(qsizetype zeile) const
{
    return dekodieren(bytes(zeile));
}

QString Textdatei::dekodieren(QByteArrayView bytes) const
{
    if (m_kodierung == Kodierung::Utf8)
        return QString::fromUtf8(bytes);
    return QStringDecoder(windows1252, QStringDecoder::Flag::Stateless).decode(bytes);
}

QByteArrayView Textdatei::vorspann() const
{
    return m_bom ? utf8Bom : QByteArrayView();
}

QByteArrayView Textdatei::zeilenendeBytes() const
{
    return m_zeilenende == Zeilenende::CrLf ? QByteArrayView("\r\n") : QByteArrayView("\n");
}

std::optional<QByteArray> Textdatei::kodieren(const QString &text) const
{
    constexpr auto flags = QStringEncoder::Flag::Stateless;
    QStringEncoder encoder = m_kodierung == Kodierung::Utf8
                                 ? QStringEncoder(QStringEncoder::Utf8, flags)
                                 : QStringEncoder(windows1252, flags);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

bool Textdatei::enthaeltZeilenende(const QString &text) const
{
    if (m_zeilenende == Zeilenende::Lf)
        return text.contains(u'\n');
    return text.contains(u'\r');
}
