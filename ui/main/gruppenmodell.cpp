#include "gruppenmodell.h"

#include <QFont>

#include "anzeigetext.h"
#include "gruppenvergleich.h"

namespace {

// About a column of a narrow table: the whole group stays in view, and a long address or
// remark is read in the tooltip.
constexpr qsizetype zellenGrenze = 40;

} // namespace

QString zellentext(const QString &wert)
{
    QString text = alsAnzeige(wert);
    if (text.size() > zellenGrenze) {
        qsizetype ende = zellenGrenze;
        if (text.at(ende - 1).isHighSurrogate())
            --ende;
        text.truncate(ende);
        text.append(u'…');
    }
    return text;
}

QVariant zellentooltip(const QString &wert)
{
    if (wert.size() <= zellenGrenze && !wert.contains(u'\n') && !wert.contains(u'\r'))
        return {};
    return wert;
}

void GruppenModell::setVergleich(const Gruppenvergleich *vergleich)
{
    beginResetModel();
    m_vergleich = vergleich;
    m_spalten = vergleich ? int(vergleich->spalten()) : 0;
    m_wachsenAngefragt = false;
    endResetModel();
}

int GruppenModell::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_vergleich ? 0 : int(m_vergleich->saetze());
}

int GruppenModell::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_spalten;
}

QVariant GruppenModell::data(const QModelIndex &index, int role) const
{
    if (!m_vergleich || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const qsizetype satz = index.row();
    const qsizetype spalte = index.column();
    QVariant ergebnis;
    switch (role) {
    case Qt::DisplayRole:
        ergebnis = zellentext(m_vergleich->wert(satz, spalte));
        break;
    case Qt::ToolTipRole:
        ergebnis = zellentooltip(m_vergleich->wert(satz, spalte));
        break;
    case Qt::FontRole:
        if (m_vergleich->weichtAb(satz, spalte)) {
            QFont fett;
            fett.setBold(true);
            ergebnis = fett;
        }
        break;
    case Qt::BackgroundRole:
        if (m_vergleich->weichtAb(satz, spalte))
            ergebnis = m_toenung;
        break;
    case Qt::AccessibleDescriptionRole:
        // What bold and tint say to the eye, said to a listener.
        if (m_vergleich->weichtAb(satz, spalte))
            ergebnis = QStringLiteral("weicht von der ersten Zeile ab");
        break;
    default:
        break;
    }
    // A record drawn only now may have more fields than those counted when the group opened.
    if (m_vergleich->spalten() > m_spalten && !m_wachsenAngefragt) {
        m_wachsenAngefragt = true;
        QMetaObject::invokeMethod(const_cast<GruppenModell *>(this), &GruppenModell::wachse,
                                  Qt::QueuedConnection);
    }
    return ergebnis;
}

void GruppenModell::wachse()
{
    m_wachsenAngefragt = false;
    if (!m_vergleich || m_vergleich->spalten() <= m_spalten)
        return;
    beginInsertColumns({}, m_spalten, int(m_vergleich->spalten()) - 1);
    m_spalten = int(m_vergleich->spalten());
    endInsertColumns();
}

QVariant GruppenModell::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_vergleich)
        return {};
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return QString(QStringLiteral("Zeile ") +
                           QString::number(m_vergleich->dateizeile(section) + 1));
        return {};
    }
    const bool serie = m_vergleich && section == m_vergleich->seriennummernspalte();
    switch (role) {
    case Qt::DisplayRole:
        return QString(zellentext(m_vergleich->spaltenname(section)) +
                       (serie ? QStringLiteral(" (Seriennr.)") : QString()));
    case Qt::ToolTipRole:
        return serie ? QStringLiteral("Die Spalte mit der Seriennummer") : QVariant();
    case Qt::FontRole:
        if (serie) {
            QFont fett;
            fett.setBold(true);
            return fett;
        }
        return {};
    default:
        return {};
    }
}
