#pragma once

#include <QStyledItemDelegate>

// Draws the rows of LstZeilen. The list gives all its rows the size of one (so a group of a
// million lines is laid out at once); that size must be as wide as the widest row, or the
// horizontal scroll bar would stop short of a long line.
class ZeilenDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
