#include "gestensperre.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

Gestensperre::Gestensperre(QWidget &fenster)
    : QObject(&fenster)
    , m_fenster(fenster)
{
    // Mouse events reach the window's native window first and its widgets after; watching the
    // application sees both, so events sent straight to a widget count as well.
    QCoreApplication::instance()->installEventFilter(this);
}

void Gestensperre::sperreRest()
{
    // Qt itself counts a double-click from the first press; its release comes later still, so
    // counting from there covers every second press Qt would pair with it.
    m_gesperrtAb = m_letztesLoslassen;
}

bool Gestensperre::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type art = event->type();
    if (art != QEvent::MouseButtonPress && art != QEvent::MouseButtonDblClick &&
        art != QEvent::MouseButtonRelease && art != QEvent::MouseMove)
        return false;
    const auto *maus = static_cast<const QMouseEvent *>(event);
    if (!gehoertZumFenster(watched)) {
        // A release in a popup of the window counts too: a menu entry's click can uncover
        // the control that the rest of a double-click would reach.
        if (art == QEvent::MouseButtonRelease)
            m_letztesLoslassen = maus->timestamp();
        return false;
    }
    if (m_schluckeBisLoslassen) {
        if (art == QEvent::MouseButtonRelease && maus->buttons() == Qt::NoButton)
            m_schluckeBisLoslassen = false;
        return true;
    }
    if (art == QEvent::MouseButtonRelease) {
        m_letztesLoslassen = maus->timestamp();
        return false;
    }
    if (art == QEvent::MouseMove || !m_gesperrtAb)
        return false;
    const auto doppelklickZeit = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    // Unsigned: a clock that went backwards gives a huge difference and lets the press through.
    if (maus->timestamp() - *m_gesperrtAb >= doppelklickZeit)
        return false;
    m_schluckeBisLoslassen = maus->buttons() != Qt::NoButton;
    return true;
}

bool Gestensperre::gehoertZumFenster(QObject *objekt) const
{
    if (objekt == m_fenster.windowHandle())
        return true;
    return objekt->isWidgetType() && static_cast<QWidget *>(objekt)->window() == &m_fenster;
}
