#include "ergebnisliste.h"
#include "testdateien.h"
#include "textdatei.h"
#include "trennzeichenwahl.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Kodierung = Textdatei::Kodierung;
using Zeilenende = Textdatei::Zeilenende;

namespace {

QList<QByteArray> zeilenVon(const Textdatei &datei)
{
    QList<QByteArray> zeilen;
    for (qsizetype i = 0; i < datei.size(); ++i)
        zeilen.append(datei.bytes(i).toByteArray());
    return zeilen;
}

// Every byte value except the given ones, in 16 lines of 16.
QByteArray alleBytes(QByteArrayView ohne, QByteArrayView zeilenende)
{
    QByteArray inhalt;
    for (int b = 0; b < 256; ++b) {
        if (!ohne.contains(char(b)))
            inhalt.append(char(b));
        if (b % 16 == 15)
            inhalt.append(zeilenende);
    }
    return inhalt;
}

// Every kind of code unit: ASCII, umlauts, the euro sign, a surrogate pair, unpaired
// surrogates, with the mark in front.
QByteArray utf16Zeilen(QSysInfo::Endian reihenfolge, const QString &zeilenende)
{
    const QString text = u"\uFEFFNr\tName"_s + zeilenende + u"1\tMüller"_s + zeilenende +
                         u"2\t€ 😀"_s + zeilenende + u"3\t"_s + QChar(0xD800) + u'x' +
                         QChar(0xDFFF) + zeilenende;
    return alsUtf16(text, reihenfolge);
}

QByteArray unveraendertGeschrieben(const Textdatei &datei)
{
    Ergebnisliste ergebnis;
    for (qsizetype i = 0; i < datei.size(); ++i)
        ergebnis.uebernehmeZeile(i);
    return ergebnis.dateiinhalt(datei);
}

} // namespace

class TestTextdatei : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trennzeichenvorschlag_data();
    void trennzeichenvorschlag();
    void zeilen_data();
    void zeilen();
    void unveraendertZurueck_data();
    void unveraendertZurueck();
    void textUndKodierungSindUmkehrbar_data();
    void textUndKodierungSindUmkehrbar();
    void kodieren_data();
    void kodieren();
};

void TestTextdatei::zeilen_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QList<QByteArray>>("zeilen");
    QTest::addColumn<Kodierung>("kodierung");
    QTest::addColumn<Zeilenende>("zeilenende");

    const auto utf8 = Kodierung::Utf8;
    const auto cp1252 = Kodierung::Windows1252;
    const auto crlf = Zeilenende::CrLf;
    const auto lf = Zeilenende::Lf;
    using L = QList<QByteArray>;

    QTest::newRow("empty file") << QByteArray() << L{} << utf8 << lf;
    QTest::newRow("one line end only") << QByteArray("\r\n") << L{""} << utf8 << crlf;
    QTest::newRow("crlf, last line ended")
        << QByteArray("a\r\nb\r\n") << L{"a", "b"} << utf8 << crlf;
    QTest::newRow("crlf, last line open") << QByteArray("a\r\nb") << L{"a", "b"} << utf8 << crlf;
    QTest::newRow("lone cr ends a line") << QByteArray("a\rb\r") << L{"a", "b"} << utf8 << crlf;
    QTest::newRow("cr then crlf gives an empty line")
        << QByteArray("a\r\r\nb") << L{"a", "", "b"} << utf8 << crlf;
    QTest::newRow("lone lf belongs to its line when the file has cr")
        << QByteArray("a\nb\r\nc") << L{"a\nb", "c"} << utf8 << crlf;
    QTest::newRow("unix file") << QByteArray("a\nb\n\nc") << L{"a", "b", "", "c"} << utf8 << lf;
    QTest::newRow("utf-8 with bom")
        << QByteArray("\xEF\xBB\xBFx\r\n\xC3\xA4") << L{"x", "\xC3\xA4"} << utf8 << crlf;
    QTest::newRow("invalid utf-8 is windows-1252")
        << QByteArray("M\xFCller\r\n") << L{"M\xFCller"} << cp1252 << crlf;
    QTest::newRow("bom decides: utf-8 despite an invalid byte")
        << QByteArray("\xEF\xBB\xBF\xFC\n") << L{"\xFC"} << utf8 << lf;
    const QByteArray le("\xFF\xFE", 2);
    const QByteArray be("\xFE\xFF", 2);
    QTest::newRow("utf-16 le, cr lf in code units, lone lf inside")
        << le + QByteArray("1\0\n\0\r\0\n\0\r\0\x0A\x0D", 12)
        << L{QByteArray("1\0\n\0", 4), QByteArray(), QByteArray("\x0A\x0D", 2)}
        << Kodierung::Utf16Le << crlf;
    QTest::newRow("utf-16 be without cr is lf-ended")
        << be + QByteArray("\0a\0\n\x0A\0\0\n", 8)
        << L{QByteArray("\0a", 2), QByteArray("\x0A\0", 2)} << Kodierung::Utf16Be << lf;
    QTest::newRow("utf-16 odd last byte stays with the last line")
        << le + QByteArray("a\0\r\0b\0c", 7) << L{QByteArray("a\0", 2), QByteArray("b\0c", 3)}
        << Kodierung::Utf16Le << crlf;
    QTest::newRow("utf-16 without a mark is never guessed")
        << QByteArray("1\0\r\0\n\0", 6) << L{QByteArray("1\0", 2), QByteArray("\0\n\0", 3)} << utf8
        << crlf;
    QTest::newRow("truncated utf-8 sequence at the end")
        << QByteArray("ok\n\xC3") << L{"ok", "\xC3"} << cp1252 << lf;
    QTest::newRow("overlong utf-8 is not utf-8")
        << QByteArray("\xC0\xAF\n") << L{"\xC0\xAF"} << cp1252 << lf;
    QTest::newRow("utf-8 surrogate is not utf-8")
        << QByteArray("\xED\xA0\x80\n") << L{"\xED\xA0\x80"} << cp1252 << lf;
}

void TestTextdatei::zeilen()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QList<QByteArray>, zeilen);
    QFETCH(Kodierung, kodierung);
    QFETCH(Zeilenende, zeilenende);

    const Textdatei datei = Textdatei::ausBytes(inhalt, u";"_s);
    QCOMPARE(zeilenVon(datei), zeilen);
    QCOMPARE(datei.kodierung(), kodierung);
    QCOMPARE(datei.zeilenende(), zeilenende);
}

void TestTextdatei::unveraendertZurueck_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QByteArray>("erwartet");

    const QByteArray crlf = alleBytes("\r\n", "\r\n");
    QTest::newRow("windows-1252, crlf, every byte") << crlf << crlf;
    const QByteArray lfImZeilentext = alleBytes("\r", "\r\n");
    QTest::newRow("windows-1252, lone lf inside lines") << lfImZeilentext << lfImZeilentext;
    const QByteArray unixDatei = alleBytes("\r\n", "\n");
    QTest::newRow("windows-1252, unix line ends") << unixDatei << unixDatei;
    const QByteArray utf8 = QByteArray("\xEF\xBB\xBF"
                                       "Nr;Name\r\n1;M\xC3\xBCller\r\n2;\xE2\x82\xAC\r\n"
                                       "3;\xF0\x9F\x98\x80\r\n");
    QTest::newRow("utf-8 with bom") << utf8 << utf8;
    const QByteArray utf8Unix("1;\xC3\xA4\n2;\xEF\xBF\xBF\n");
    QTest::newRow("utf-8, unix") << utf8Unix << utf8Unix;
    QTest::newRow("last line gets its line end")
        << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone cr becomes cr lf") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n");
    // The odd last byte is kept too, though the line end written after it is out of step.
    const QByteArray le = utf16Zeilen(QSysInfo::LittleEndian, u"\r\n"_s) + 'Z';
    QTest::newRow("utf-16 le, crlf, every kind of code unit, odd last byte")
        << le << le + QByteArray("\r\0\n\0", 4);
    const QByteArray be = utf16Zeilen(QSysInfo::BigEndian, u"\n"_s);
    QTest::newRow("utf-16 be, unix, every kind of code unit") << be << be;
    const QByteArray fremd("\xEF\xBB\xBF"
                           "1;\xFF\xC3\r\n2;\xE2\x82\r\n");
    QTest::newRow("utf-8 with bom, invalid bytes") << fremd << fremd;
}

void TestTextdatei::unveraendertZurueck()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QByteArray, erwartet);
    QCOMPARE(unveraendertGeschrieben(Textdatei::ausBytes(inhalt, u";"_s)), erwartet);
}

// A line that the user leaves as it was shown must encode to its original bytes.
void TestTextdatei::textUndKodierungSindUmkehrbar_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::newRow("windows-1252, every byte") << alleBytes("\r\n", "\r\n");
    QTest::newRow("utf-8") << QByteArray(
        "\xC3\xA4\xC3\xB6\r\n\xE2\x82\xAC\r\n\xF0\x9F\x98\x80\r\n");
    QByteArray fremd = "\xEF\xBB\xBF\xEF\xBB\xBF\xF0\x90\x82\x80\r\n";
    for (int b = 0x80; b <= 0xFF; ++b) // in this order no two of them make a character
        fremd += char(b);
    QTest::newRow("utf-8 with bom, every byte that is not utf-8") << fremd;
    QTest::newRow("utf-16 le") << utf16Zeilen(QSysInfo::LittleEndian, u"\r\n"_s);
    QTest::newRow("utf-16 be") << utf16Zeilen(QSysInfo::BigEndian, u"\r"_s);
}

void TestTextdatei::textUndKodierungSindUmkehrbar()
{
    QFETCH(QByteArray, inhalt);
    const Textdatei datei = Textdatei::ausBytes(inhalt, u";"_s);
    for (qsizetype i = 0; i < datei.size(); ++i)
        QCOMPARE(datei.kodieren(datei.text(i)), std::optional(datei.bytes(i).toByteArray()));
}

void TestTextdatei::kodieren_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<QByteArray>>("bytes");

    QTest::newRow("euro sign in windows-1252")
        << QByteArray("\xFC\r\n") << QStringLiteral("5 €") << std::optional(QByteArray("5 \x80"));
    QTest::newRow("greek omega has no place in windows-1252")
        << QByteArray("\xFC\r\n") << QStringLiteral("Ω") << std::optional<QByteArray>();
    QTest::newRow("omega in utf-8")
        << QByteArray("a\r\n") << QStringLiteral("Ω") << std::optional(QByteArray("\xCE\xA9"));
    QTest::newRow("stray byte has no place in utf-8 without bom")
        << QByteArray("a\r\n") << QString(QChar(0xDCFF)) << std::optional<QByteArray>();
    QTest::newRow("stray bytes that would read back as one character")
        << QByteArray("\xEF\xBB\xBF\xFF") << QString(QChar(0xDCC3)) + QChar(0xDCA4)
        << std::optional<QByteArray>();
}

void TestTextdatei::kodieren()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, text);
    QFETCH(std::optional<QByteArray>, bytes);
    QCOMPARE(Textdatei::ausBytes(inhalt, u";"_s).kodieren(text), bytes);
}

// Loading with a delimiter that no record holds suggests the usual one most records hold.
void TestTextdatei::trennzeichenvorschlag_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("gewaehlt");
    QTest::addColumn<QString>("vorschlag"); // empty for none
    QTest::addColumn<int>("saetze");

    const QByteArray semikolon("Nr;Name\r\n1;a\r\n1;b\r\n2;c\r\n");
    QTest::newRow("semicolon file, tab chosen") << semikolon << u"\t"_s << u";"_s << 4;
    QTest::newRow("chosen delimiter in one record")
        << QByteArray("Nr\tName\r\n1;a\r\n1;b\r\n2;c\r\n") << u"\t"_s << QString() << 0;
    QTest::newRow("chosen delimiter only inside quotes counts as none")
        << QByteArray("\"a;b\",c\n1,a\n1,b\n2,c\n") << u";"_s << u","_s << 4;
    QTest::newRow("half the records is not more than half")
        << QByteArray("1;a\n2;b\nx\ny\n") << u"\t"_s << QString() << 0;
    QTest::newRow("the one in the most records")
        << QByteArray("1;a,b\n2;c\n3,d\n4;e\n5;f,g\n") << u"|"_s << u";"_s << 4;
    QTest::newRow("utf-16") << alsUtf16(u"\uFEFFNr;Name\r\n1;a\r\n1;b\r\n2;c"_s,
                                        QSysInfo::LittleEndian)
                            << u"\t"_s << u";"_s << 4;
}

void TestTextdatei::trennzeichenvorschlag()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, gewaehlt);
    QFETCH(QString, vorschlag);
    QFETCH(int, saetze);

    const auto ergebnis = schlageTrennzeichenVor(Textdatei::ausBytes(inhalt, gewaehlt), gewaehlt);
    QCOMPARE(ergebnis.has_value(), !vorschlag.isEmpty());
    if (ergebnis) {
        QCOMPARE(ergebnis->trennzeichen, vorschlag);
        QCOMPARE(ergebnis->saetze, saetze);
    }
}

QTEST_GUILESS_MAIN(TestTextdatei)
#include "tst_textdatei.moc"
