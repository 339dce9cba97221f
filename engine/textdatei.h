#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// The lines of a serial-number file, kept as the bytes they were read as.
//
// A file is UTF-8 when it is valid UTF-8 (a byte-order mark is allowed), otherwise
// Windows-1252, where every byte value stands for one character. Lines end at CR or CR LF, and
// a lone LF belongs to its line, unless the file holds no CR at all: then it is a Unix text file
// and its lines end at LF. Keeping the bytes lets an unchanged line go back to disk exactly as it
// came; text is decoded only for the lines the user gets to see.
class Textdatei
{
public:
    enum class Kodierung { Utf8, Windows1252 };
    enum class Zeilenende { CrLf, Lf };

    // One empty line: the state of a run before any file was loaded.
    Textdatei();

    static Textdatei ausBytes(QByteArray inhalt);

    qsizetype size() const { return qsizetype(m_zeilen.size()); }
    QByteArrayView bytes(qsizetype zeile) const;
    QString text(qsizetype zeile) const;

    Kodierung kodierung() const { return m_kodierung; }
    bool hatBom() const { return m_bom; }
    Zeilenende zeilenende() const { return m_zeilenende; }

    // What goes in front of the first line and after every line when the file is written.
    QByteArrayView vorspann() const;
    QByteArrayView zeilenendeBytes() const;

    // Bytes in this file's encoding as text.
    QString dekodieren(QByteArrayView bytes) const;
    // The text in this file's encoding, or nothing when a character has no place in it.
    std::optional<QByteArray> kodieren(const QString &text) const;
    // True when the text holds a character that would end a line in this file.
    bool enthaeltZeilenende(const QString &text) const;

private:
    struct Spanne
    {
        qsizetype anfang = 0;
        qsizetype laenge = 0;
    };

    QByteArray m_inhalt;
    std::vector<Spanne> m_zeilen;
    Kodierung m_kodierung = Kodierung::Utf8;
    bool m_bom = false;
    Zeilenende m_zeilenende = Zeilenende::CrLf;
};
