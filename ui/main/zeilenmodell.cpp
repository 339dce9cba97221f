#include "zeilenmodell.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

// The mark of the suggested row: a small filled triangle pointing at it, in the highlight colour
// of no theme in particular, so that it reads on light and dark lists alike.
QIcon vorschlagsmarke()
{
    static const QIcon marke = [] {
        QPixmap bild(12, 12);
        bild.fill(Qt::transparent);
        QPainter maler(&bild);
        maler.setRenderHint(QPainter::Antialiasing);
        maler.setPen(Qt::NoPen);
        maler.setBrush(QColor(0, 150, 70));
        maler.drawPolygon(QPolygonF{{2, 1}, {11, 6}, {2, 11}});
        return QIcon(bild);
    }();
    return marke;
}

} // namespace

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
    case Qt::DecorationRole:
        return index.row() == m_liste.vorschlag ? QVariant(vorschlagsmarke()) : QVariant();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return index.row() == m_liste.vorschlag ? QVariant(QStringLiteral("Vorschlag"))
                                                : QVariant();
    default:
        return {};
    }
}
