#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <span>
#include <variant>

// Which record of a group is suggested to be kept. The first and the last record need nothing
// but the group; the others read the records' fields, split as a spreadsheet's CSV reader splits
// them.
class Kriterium
{
public:
    enum class Art { Erste, Letzte, Vollstaendigste, Groesster, Kleinster };

    static Kriterium erste() { return Kriterium(Art::Erste, 0); }
    static Kriterium letzte() { return Kriterium(Art::Letzte, 0); }
    static Kriterium vollstaendigste() { return Kriterium(Art::Vollstaendigste, 0); }
    // `spalte` counts from 1, as the user counts columns.
    static Kriterium groesster(int spalte) { return Kriterium(Art::Groesster, spalte); }
    static Kriterium kleinster(int spalte) { return Kriterium(Art::Kleinster, spalte); }

    Art art() const { return m_art; }
    int spalte() const { return m_spalte; }
    bool liestWerte() const { return m_art == Art::Groesster || m_art == Art::Kleinster; }
    // The criterion as the menu and the questions name it.
    QString name() const;

    bool operator==(const Kriterium &) const = default;

private:
    Kriterium(Art art, int spalte)
        : m_art(art)
        , m_spalte(spalte)
    {
    }
    Art m_art;
    int m_spalte;
};

// How the values of one column are read, decided once for the whole column by what most of its
// non-empty values read as: dates (31.12.2024, 31.12.24, 2024-12-31, each with an optional time),
// numbers (German 1.234,56 and 1234,56 or English 1,234.56 and 1234.56, a unit or currency sign
// may follow), or else text in German order. A number with only points between groups of three
// digits (1.234) is read as the column's other numbers are written: German unless the column's
// unambiguous numbers are mostly English.
class Spaltenlesart
{
public:
    enum class Typ { Datum, Zahl, Text };
    using Wert = std::variant<QDateTime, double, QString>;

    static Spaltenlesart bestimme(std::span<const QString> werte);
    static Spaltenlesart als(Typ typ, bool englisch = false) { return {typ, englisch}; }

    Typ typ() const { return m_typ; }
    bool englisch() const { return m_englisch; }
    // Nothing for an empty value and for one the column cannot read (a word in a date column).
    std::optional<Wert> lies(QStringView text) const;
    // Below zero when `a` comes before `b` in the column's order.
    int vergleiche(const Wert &a, const Wert &b) const;

private:
    Spaltenlesart(Typ typ, bool englisch)
        : m_typ(typ)
        , m_englisch(englisch)
    {
    }
    Typ m_typ = Typ::Text;
    bool m_englisch = false;
};

// The column the user names: its number from 1, or a name of `namen` (the fields of the file's
// first record, compared without case), or "3: Datum" as the offer reads; nothing otherwise.
std::optional<int> spalteAus(const QString &eingabe, const QStringList &namen);

// A record's fields as their text: quotes removed, "" read as one quote, spaces around a field
// kept out.
QStringList feldtexte(QStringView satz, QStringView trennzeichen);
// The text of the field in column `spalte` (from 1), read as feldtexte() reads it; empty when
// the record has fewer fields.
QString feldtext(QStringView satz, QStringView trennzeichen, int spalte);

// The suggested record of a group given as the records' texts in list order: its index there.
// Ties go to the earliest record, and so does a group in which no value can win; a record
// without the column counts as an empty value there.
qsizetype vorgeschlagen(const Kriterium &kriterium, std::span<const QString> saetze,
                        QStringView trennzeichen, const Spaltenlesart &lesart);
