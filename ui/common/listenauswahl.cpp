#include "listenauswahl.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

class Auswahlwaechter : public QObject
{
public:
    explicit Auswahlwaechter(QAbstractItemView &liste)
        : QObject(&liste)
        , m_liste(liste)
    {
        // Clicks arrive at the list's viewport, keys at the list itself.
        liste.viewport()->installEventFilter(this);
        liste.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            if (watched != m_liste.viewport())
                return false;
            const auto *maus = static_cast<const QMouseEvent *>(event);
            const QModelIndex zeile = m_liste.indexAt(maus->position().toPoint());
            return !zeile.isValid() || (maus->modifiers().testFlag(Qt::ControlModifier) &&
                                        m_liste.selectionModel()->isSelected(zeile));
        }
        case QEvent::KeyPress: {
            const auto *taste = static_cast<const QKeyEvent *>(event);
            return watched == &m_liste && taste->modifiers().testFlag(Qt::ControlModifier) &&
                   (taste->key() == Qt::Key_Space || taste->key() == Qt::Key_Select);
        }
        default:
            return false;
        }
    }

private:
    QAbstractItemView &m_liste;
};

} // namespace

void behalteListenauswahl(QAbstractItemView &liste)
{
    new Auswahlwaechter(liste);
}
