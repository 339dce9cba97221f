#include "zeilenmodell.h"

void ZeilenModell::setListe(Zeilenliste liste)
{
    beginResetModel();
    m_liste = std::move(liste);
    m_ersteZeile = m_liste.zeilen.empty() ? QString() : m_liste.text(m_liste.zeilen.front());
    endResetModel();
}

int ZeilenModell::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_liste.zeilen.size());
}

QVariant ZeilenModell::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return index.row() == 0 ? m_ersteZeile : m_liste.text(zeile(index.row()));
    case Qt::UserRole:
        return QVariant::fromValue<qlonglong>(zeile(index.row()));
    case TrennzeichenRolle:
        return m_liste.trennzeichen;
    default:
        return {};
    }
}
