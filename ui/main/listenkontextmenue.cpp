#include "listenkontextmenue.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

ListenKontextmenue::ListenKontextmenue(QAbstractItemView *liste)
    : QObject(liste)
    , m_liste(liste)
{
    liste->setContextMenuPolicy(Qt::CustomContextMenu);
    liste->installEventFilter(this);
    liste->viewport()->installEventFilter(this);
}

bool ListenKontextmenue::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return watched == m_liste->viewport() &&
               static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
    case QEvent::KeyPress: {
        const auto *taste = static_cast<QKeyEvent *>(event);
        if (watched != m_liste || taste->key() != Qt::Key_F10 ||
            taste->modifiers() != Qt::ShiftModifier)
            return false;
        // Where the Menu key puts the menu: at the current row.
        const QPoint stelle = m_liste->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent anfrage(QContextMenuEvent::Keyboard, stelle,
                                  m_liste->mapToGlobal(stelle));
        QApplication::sendEvent(m_liste, &anfrage);
        return true;
    }
    default:
        return false;
    }
}
