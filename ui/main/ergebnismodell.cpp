#include "ergebnismodell.h"

#include "anzeigetext.h"
#include "gruppenmodell.h"
#include "gruppenvergleich.h"

void ErgebnisModell::setVergleich(Gruppenvergleich *vergleich, int spalten)
{
    beginResetModel();
    m_vergleich = vergleich;
    m_spalten = vergleich ? spalten : 0;
    endResetModel();
}

void ErgebnisModell::setSpalten(int spalten)
{
    if (spalten <= m_spalten || !m_vergleich)
        return;
    beginInsertColumns({}, m_spalten, spalten - 1);
    m_spalten = spalten;
    endInsertColumns();
}

void ErgebnisModell::aktualisiere()
{
    if (m_spalten > 0)
        Q_EMIT dataChanged(index(0, 0), index(0, m_spalten - 1));
}

int ErgebnisModell::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_vergleich ? 0 : 1;
}

int ErgebnisModell::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_spalten;
}

QVariant ErgebnisModell::data(const QModelIndex &index, int role) const
{
    if (!m_vergleich || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const qsizetype spalte = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return zellentext(m_vergleich->ergebniswert(spalte));
    case Qt::EditRole:
        return alsAnzeige(m_vergleich->ergebniswert(spalte));
    case Qt::BackgroundRole:
        return m_vergleich->geaendert(spalte) ? QVariant(m_toenung) : QVariant();
    case Qt::AccessibleDescriptionRole:
        if (!m_vergleich->geaendert(spalte))
            return {};
        [[fallthrough]];
    case Qt::ToolTipRole: {
        const qsizetype herkunft = m_vergleich->herkunft(spalte);
        const QString woher = herkunft < 0
                                  ? QStringLiteral("Bearbeitet")
                                  : QStringLiteral("Aus Zeile ") +
                                        QString::number(m_vergleich->dateizeile(herkunft) + 1);
        const QVariant ganz = zellentooltip(m_vergleich->ergebniswert(spalte));
        return ganz.isValid() ? QString(woher + QStringLiteral(":\n") + ganz.toString()) : woher;
    }
    default:
        return {};
    }
}

bool ErgebnisModell::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_vergleich || role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString vorher = m_vergleich->ergebniswert(index.column());
    const QString anzeige = value.toString();
    if (anzeige == alsAnzeige(vorher))
        return false;
    // A break the cell held stays the characters it was; a new one is written as spreadsheets
    // write it in a cell.
    m_vergleich->bearbeite(index.column(), ausAnzeige(anzeige, vorher, u"\n"));
    Q_EMIT dataChanged(index, index);
    Q_EMIT bearbeitet();
    return true;
}

Qt::ItemFlags ErgebnisModell::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant ErgebnisModell::headerData(int section, Qt::Orientation orientation, int role) const
{
    Q_UNUSED(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QStringLiteral("Behalten");
    return {};
}
