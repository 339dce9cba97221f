#pragma once

#include <optional>

#include <QObject>

class QWidget;

// Keeps the rest of a mouse gesture away from a window's controls. A click that changes what lies
// under the mouse (the help page covering or uncovering the window, a menu entry closing its
// menu) must not hand the second click of a double-click to whatever is there now. After
// sperreRest(), a press that follows the last release within the desktop's double-click time
// reaches nothing, and neither does anything the mouse does until its buttons are up again.
class Gestensperre : public QObject
{
public:
    explicit Gestensperre(QWidget &fenster);

    // Called by the handler of a click whose effect changed what lies under the mouse.
    void sperreRest();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool gehoertZumFenster(QObject *objekt) const;

    QWidget &m_fenster;
    std::optional<quint64> m_letztesLoslassen;
    std::optional<quint64> m_gesperrtAb;
    bool m_schluckeBisLoslassen = false;
};
