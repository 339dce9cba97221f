#pragma once

#include "datensaetze.h"
#include "fortschritt.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// The records of a serial-number file, kept as the bytes they were read as. The run calls them
// lines, as the user's spreadsheet numbers its rows; a record holds several lines of text when a
// quoted field holds line breaks (Datensaetze says how a file falls into records).
//
// A byte-order mark decides the encoding: EF BB BF is UTF-8, FF FE UTF-16 little-endian, FE FF
// UTF-16 big-endian. A file without a mark is UTF-8 when it is valid UTF-8, otherwise
// Windows-1252, where every byte value stands for one character; it is never taken for UTF-16.
// Outside quoted fields, records end at CR or CR LF, and a lone LF belongs to its record, unless
// the file holds no CR there: then it is a Unix text file and its records end at LF. In UTF-16
// files these are code units, not bytes. Keeping the bytes lets an unchanged line go back to disk
// exactly as it came; text is decoded only for the lines the user gets to see.
class Textdatei
{
public:
    enum class Kodierung { Utf8, Windows1252, Utf16Le, Utf16Be };
    enum class Zeilenende { CrLf, Lf };

    // One empty line: the state of a run before any file was loaded.
    Textdatei();

    // The delimiter decides where fields start, and so which quotes open a quoted field.
    // `meldung` hears how far the split has come.
    static Textdatei ausBytes(QByteArray inhalt, const QString &trennzeichen,
                              const Fortschrittsmeldung &meldung = {});

    // Splits the same bytes anew by another delimiter, which moves where quoted fields, and so
    // records, begin; the encoding stays as read.
    void teileNeu(const QString &trennzeichen, const Fortschrittsmeldung &meldung = {});

    qsizetype size() const { return m_anfaenge.size(); }
    QByteArrayView bytes(qsizetype zeile) const;
    QString text(qsizetype zeile) const;

    // The line as the serial-number reader sees it: its bytes, except in UTF-16 files, where it
    // is the line's text in UTF-8 (an unpaired surrogate written as its own three bytes). Either
    // way every ASCII character is one byte of its own and two lines differ here exactly when
    // their text differs. The last line of a UTF-16 file cut off inside a code unit is empty
    // here, so it keeps its place at the end of the file.
    QByteArrayView schluesselbytes(qsizetype zeile) const;
    // Asks the processor to fetch the beginning of the record, where its serial number stands,
    // ahead of reading it.
    void holeVoraus(qsizetype zeile) const
    {
        const char *text = m_schluesselanfang.empty()
                               ? m_inhalt.constData() + m_anfaenge[zeile].anfang
                               : m_schluesseltext.constData() + m_schluesselanfang[zeile];
        holeCachezeile(text);
    }
    // Four bytes beside each record's start for the group index to keep its notes in.
    std::uint32_t vermerk(qsizetype zeile) const { return m_anfaenge[zeile].vermerk; }
    void setzeVermerk(qsizetype zeile, std::uint32_t vermerk)
    {
        m_anfaenge[zeile].vermerk = vermerk;
    }
    void ergaenzeVermerk(qsizetype zeile, std::uint32_t bits) { m_anfaenge[zeile].vermerk |= bits; }
    // The step before: fetches where the record starts, so that holeVoraus() need not wait.
    void holeAnfangVoraus(qsizetype zeile) const
    {
        holeCachezeile(m_anfaenge.data() + zeile);
        if (!m_schluesselanfang.empty())
            holeCachezeile(m_schluesselanfang.data() + zeile);
    }
    // The delimiter as it would stand in schluesselbytes(): null when no line can hold it,
    // empty (not null) for an empty delimiter.
    QByteArray schluesselTrennzeichen(const QString &trennzeichen) const;

    Kodierung kodierung() const { return m_kodierung; }
    bool hatBom() const { return m_bom; }
    Zeilenende zeilenende() const { return m_zeilenende; }
    // Set when a quote could not be read as a spreadsheet writes it, so the file was split at
    // every line end instead.
    const std::optional<Datensaetze::Teilung::Anfuehrungszeichen> &offenesAnfuehrungszeichen() const
    {
        return m_offen;
    }
    // True when quotes do not shape records: after such a quote, or with a delimiter that holds
    // a quote itself. A record may then hold no line break of its own.
    bool zeilenweise() const { return m_zeilenweise; }

    // What goes in front of the first line and after every line when the file is written.
    QByteArrayView vorspann() const;
    QByteArrayView zeilenendeBytes() const;

    // Bytes in this file's encoding as text. In a UTF-8 file each byte that is not part of valid
    // UTF-8 becomes a character of its own, U+DC80 to U+DCFF, which valid UTF-8 never yields.
    QString dekodieren(QByteArrayView bytes) const;
    // The text in this file's encoding, or nothing when it cannot be written so that it reads
    // back as the same text.
    std::optional<QByteArray> kodieren(const QString &text) const;
    // Where the first character stands that kodieren() cannot write, -1 when there is none.
    qsizetype ersteNichtKodierbareStelle(const QString &text) const;

private:
    // GCC takes a function that does nothing but __builtin_prefetch for one without effect and
    // drops the calls to it, prefetch and all; the empty asm statement is an effect it keeps.
    static void holeCachezeile(const void *adresse)
    {
        __builtin_prefetch(adresse);
        asm volatile("" : : "r"(adresse));
    }
    bool istUtf16() const
    {
        return m_kodierung == Kodierung::Utf16Le || m_kodierung == Kodierung::Utf16Be;
    }
    void teileInSaetze(const QString &trennzeichen, const Fortschrittsmeldung &meldung);
    // The bytes of the line end in front of `naechster`, where the next record starts.
    qsizetype endlaenge(qsizetype naechster) const;
    void legeSchluesseltextAn(const Fortschrittsmeldung &meldung);

    QByteArray m_inhalt;
    // Where each record starts; 8 bytes a record, its end follows from the next one's start.
    Grossfeld<Datensaetze::Satzanfang> m_anfaenge;
    bool m_letzteOffen = true;
    Kodierung m_kodierung = Kodierung::Utf8;
    bool m_bom = false;
    Zeilenende m_zeilenende = Zeilenende::CrLf;
    std::optional<Datensaetze::Teilung::Anfuehrungszeichen> m_offen;
    bool m_zeilenweise = false;
    // UTF-16 files only: the UTF-8 text of every line one after the other, and where each
    // line's text starts in it (one more entry than lines: the end).
    QByteArray m_schluesseltext;
    Grossfeld<qint64> m_schluesselanfang;
};
