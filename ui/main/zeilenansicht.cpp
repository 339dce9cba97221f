#include "zeilenansicht.h"

void Zeilenansicht::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (hasFocus())
        QListView::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous); // without the announcement
}
