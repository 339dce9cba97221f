#include "ordnerliste.h"

#include <QHeaderView>

Ordnerliste::Ordnerliste(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Long folder names scroll sideways instead of being cut off.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void Ordnerliste::drawBranches(QPainter *, const QRect &, const QModelIndex &) const {}
