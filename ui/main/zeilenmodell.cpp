#include "zeilenmodell.h"

void ZeilenModell::setListe(Zeilenliste liste)
{
    beginResetModel();
    m_liste = std::move(liste);
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
        return m_liste.text(zeile(index.row()));
    case Qt::UserRole:
        return QVariant::fromValue<qlonglong>(zeile(index.row()));
    default:
        return {};
    }
}
