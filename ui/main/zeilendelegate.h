#pragma once

#include "schluesselregel.h"

#include <QList>
#include <QStringView>
#include <QStyledItemDelegate>

#include <utility>

// Draws the rows of LstZeilen. The list gives all its rows the size of one (so a group of a
// million lines is laid out at once); that size must be as wide as the widest row, or the
// horizontal scroll bar would stop short of a long line.
//
// Within a group, the columns of a row whose text differs from the same column of the group's
// first line are drawn in bold, so what sets the lines apart shows at a glance. Only the drawing
// changes: the rows' texts and data stay as the model gives them.
class ZeilenDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QSize zeilengroesse(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    QList<std::pair<qsizetype, qsizetype>> fetteSpalten(const QStyleOptionViewItem &option,
                                                        const QModelIndex &index) const;
};

// The columns of `zeile` (start and length, the delimiters left out; a delimiter inside quotes
// splits nothing) whose text differs from the
// column at the same place in `erste`; none without a delimiter. The serial number's column
// counts as the same where the rule ignores what sets the two apart.
QList<std::pair<qsizetype, qsizetype>> abweichendeSpalten(QStringView zeile, QStringView erste,
                                                          QStringView trennzeichen,
                                                          const Schluesselregel &regel = {});
