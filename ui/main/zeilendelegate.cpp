#include "zeilendelegate.h"

#include <algorithm>

namespace {

// Rows measured for the common width: every row of an ordinary group, and a quick answer for a
// huge one, whose later rows may then be cut at the list's edge.
constexpr int gemesseneZeilen = 1000;

} // namespace

QSize ZeilenDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize groesse = QStyledItemDelegate::sizeHint(option, index);
    const QAbstractItemModel *modell = index.model();
    if (!modell)
        return groesse;
    const int anzahl = std::min(modell->rowCount(), gemesseneZeilen);
    for (int zeile = 0; zeile < anzahl; ++zeile) {
        const QSize andere = QStyledItemDelegate::sizeHint(option, modell->index(zeile, 0));
        groesse.setWidth(std::max(groesse.width(), andere.width()));
    }
    return groesse;
}
